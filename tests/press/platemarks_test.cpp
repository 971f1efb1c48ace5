#include "pressfixture.h"

#include "press/platetitle.h"

#include "pdfbinding/presscolour.h"
#include "press/platemarks.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <numeric>
#include <set>
#include <string>

namespace {

using pdfreadback::Shape;

class PlateMarksTest : public PressFixture {
protected:
    void SetUp() override {
        PressFixture::SetUp();
        art = Artwork(QStringLiteral("a.pdf"), {{90, 50}, {90, 50}});
    }
    void OpenWithOneItem(const PlateProperties& p, std::vector<FreeLine> lines = {},
                         std::vector<TextBox> boxes = {}) {
        std::vector<std::unique_ptr<CZelItem>> items;
        items.push_back(
            Item(QStringLiteral("A-1"), art, 50, 60, 0, p.paperSideSetting == 1 ? 2 : 1));
        Open(p, std::move(items), std::move(lines), std::move(boxes));
    }
    // Forms other than the artwork (which is 90 x 50).
    static std::vector<Shape> Furniture(const QString& file) {
        std::vector<Shape> forms = Shapes(file, Shape::Form);
        forms.erase(std::remove_if(forms.begin(), forms.end(),
                                   [](const Shape& s) {
                                       return std::fabs(s.formW - 90) < 0.01 &&
                                              std::fabs(s.formH - 50) < 0.01;
                                   }),
                    forms.end());
        return forms;
    }
    static std::vector<Shape> Lines(const QString& file) { return Shapes(file, Shape::Line); }
    QString art;
};

// x of the vertical marks whose ends are y1 and y2.
std::multiset<double> VerticalAt(const std::vector<Shape>& lines, double y1, double y2) {
    std::multiset<double> xs;
    for (const Shape& s : lines)
        if (std::fabs(s.x - s.x2) < 1e-6 && std::fabs(s.y - y1) < 0.01 &&
            std::fabs(s.y2 - y2) < 0.01)
            xs.insert(std::round(s.x * 1000) / 1000);
    return xs;
}

} // namespace

TEST_F(PlateMarksTest, ColourBarOnBothSidesTakesTheExchangedMargins) {
    MarkPreset(bars, QStringLiteral("ColorBars"), QStringLiteral("바"), 100, 5);
    PlateProperties p = Sheet(1, 0);
    p.colorBarName = QStringLiteral("바");
    p.colorBar[0] = 1; // top-left
    p.colorBar[7] = 1; // bottom-right
    OpenWithOneItem(p);
    ASSERT_TRUE(Succeeded(Run()));
    for (auto [suffix, left, right] :
         {std::tuple{"_A.pdf", 12.0, 16.0}, std::tuple{"_B.pdf", 16.0, 12.0}}) {
        SCOPED_TRACE(suffix);
        const auto forms = Furniture(Side(suffix));
        ASSERT_EQ(forms.size(), 2u);
        EXPECT_NEAR(forms[0].x, left, 0.01);
        EXPECT_NEAR(forms[0].y, 0, 0.01);
        EXPECT_NEAR(forms[0].w, 100, 0.01);
        EXPECT_NEAR(forms[0].h, 5, 0.01);
        EXPECT_NEAR(forms[1].x, 400 - (right + 100), 0.01);
        EXPECT_NEAR(forms[1].y, 300 - 5, 0.01);
    }
}

TEST_F(PlateMarksTest, RegistrationMarkThickerThanItsMarginMeetsThePrintableArea) {
    MarkPreset(regMarks, QStringLiteral("RegistrationMarks"), QStringLiteral("맞춤"), 30, 20);
    PlateProperties p = Sheet(0, 0);
    p.registrationMarkName = QStringLiteral("맞춤");
    p.registrationMark = {0, 1, 0, 1}; // left, right
    p.margin[PlateProperties::Edge::Right] = 25;
    p.registrationMarkAlign = 1;
    OpenWithOneItem(p);
    ASSERT_TRUE(Succeeded(Run()));
    const auto forms = Furniture(Side("_A.pdf"));
    ASSERT_EQ(forms.size(), 2u);
    // Left: 20 thick in a 12 margin, against the printable area, turned 270.
    EXPECT_NEAR(forms[0].x, 12 - 20, 0.01);
    EXPECT_NEAR(forms[0].y, (300 - 30) / 2.0, 0.01);
    EXPECT_NEAR(forms[0].w, 20, 0.01);
    EXPECT_NEAR(forms[0].h, 30, 0.01);
    EXPECT_EQ(forms[0].rotation, 270);
    // Right: fits its 25 margin, centred in it, turned 90.
    EXPECT_NEAR(forms[1].x, 400 - 25 + 2.5, 0.01);
    EXPECT_EQ(forms[1].rotation, 90);
}

TEST_F(PlateMarksTest, BandPositionLeavesOutWhatLiesLessThanOneMillimetreInside) {
    using E = PlateProperties::Edge;
    const CPlateMarks::Margins m{10, 0.5, 10, 10};
    double at = 0;
    EXPECT_FALSE(CPlateMarks::BandPosition(E::Left, 0.4, 2, m, 400, 300, at)); // 0.1 + 0.4 < 1
    EXPECT_FALSE(
        CPlateMarks::BandPosition(E::Left, 2, 0, m, 400, 300, at)); // against the area: -1.5 + 2
    EXPECT_TRUE(
        CPlateMarks::BandPosition(E::Top, 12, 0, m, 400, 300, at)); // thicker than its margin
    EXPECT_NEAR(at, -2, 1e-9);
    EXPECT_TRUE(CPlateMarks::BandPosition(E::Bottom, 4, 1, m, 400, 300, at));
    EXPECT_NEAR(at, 300 - 3 - 4, 1e-9);
    EXPECT_TRUE(CPlateMarks::BandPosition(E::Right, 4, 0, m, 400, 300, at));
    EXPECT_NEAR(at, 396, 1e-9);
}

TEST_F(PlateMarksTest, PlateCutMarksFollowTheGridAndTheEdges) {
    PlateProperties p = Sheet(1, 0);
    p.margin[PlateProperties::Edge::Top] = 1.5;
    p.gridWidth = 100;
    p.gridHeight = 100;
    p.plateCrop = {1, 1, 0, 0}; // top, left
    OpenWithOneItem(p);
    ASSERT_TRUE(Succeeded(Run()));
    const std::multiset<double> front{14, 108, 114, 208, 214, 308, 314};
    EXPECT_EQ(VerticalAt(Lines(Side("_A.pdf")), 0, 1.5), front);
    // Side B, turned about the width: the same marks mirrored.
    std::multiset<double> mirrored;
    for (double x : front)
        mirrored.insert(400 - x);
    EXPECT_EQ(VerticalAt(Lines(Side("_B.pdf")), 0, 1.5), mirrored);
    // Horizontal marks in the left band, from max(0, 12 - 2) to 12.
    std::multiset<double> ys;
    for (const Shape& s : Lines(Side("_A.pdf")))
        if (std::fabs(s.y - s.y2) < 1e-6 && std::fabs(s.x - 10) < 0.01 &&
            std::fabs(s.x2 - 12) < 0.01)
            ys.insert(std::round(s.y * 1000) / 1000);
    EXPECT_EQ(ys, (std::multiset<double>{2.5, 98.5, 102.5, 198.5, 202.5}));
    for (const Shape& s : Lines(Side("_A.pdf"))) {
        EXPECT_NEAR(s.lineWidth, 0.25, 0.001);
        EXPECT_EQ(s.stroke, (std::vector<double>{1, 1, 1, 1}));
    }

    // A grid narrower than 10 mm has no vertical marks.
    p.gridWidth = 9.9;
    OpenWithOneItem(p);
    ASSERT_TRUE(Succeeded(Run()));
    for (const Shape& s : Lines(Side("_A.pdf")))
        EXPECT_GT(std::fabs(s.x - s.x2), 1e-6) << "vertical mark at " << s.x;
    EXPECT_FALSE(Lines(Side("_A.pdf")).empty());
}

TEST_F(PlateMarksTest, OwnCutMarksPerSwitchAndLines) {
    PlateProperties p = Sheet(0, 0);
    std::vector<FreeLine> lines = {{1, 20, 120, 200, 0.5, QStringLiteral(" [ Black ]")},
                                   {0, 30, 80, 250, 1, QStringLiteral("없는 색")}};
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), art, 50, 60));
    items.back()->ownCut = 1;
    items.back()->crop = {1, 2, 3, 4};
    items.back()->cropMarks = {1, 0, 1, 0, 0, 1, 0, 1};
    Open(p, std::move(items), lines);
    options.itemCut = {1, 0, 0};
    ASSERT_TRUE(Succeeded(Run()));
    std::vector<std::array<double, 4>> marks;
    for (const Shape& s : Lines(Side("_A.pdf")))
        marks.push_back({s.x, s.y, s.x2, s.y2});
    const std::vector<std::array<double, 4>> expected = {
        {51, 59, 51, 60},   // CROP_01
        {140, 62, 141, 62}, // CROP_03
        {51, 110, 51, 111}, // CROP_06
        {49, 62, 50, 62},   // CROP_08
    };
    ASSERT_EQ(marks.size(), expected.size());
    for (size_t i = 0; i < marks.size(); ++i)
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(marks[i][k], expected[i][k], 0.01) << i;
    // The label side has no own cut marks (its switch is off).
    EXPECT_TRUE(Lines(Side("_L.pdf")).empty());

    // Lines are filled rectangles; a colour no preset names prints in registration colour.
    std::vector<Shape> rects;
    for (const Shape& s : Shapes(Side("_A.pdf"), Shape::Rect))
        if (s.filled && s.fill != std::vector<double>{0, 0, 0, 0})
            rects.push_back(s);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_NEAR(rects[0].x, 20, 0.01);
    EXPECT_NEAR(rects[0].y, 200, 0.01);
    EXPECT_NEAR(rects[0].w, 100, 0.01);
    EXPECT_NEAR(rects[0].h, 0.5, 0.01);
    EXPECT_EQ(rects[0].fill, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_NEAR(rects[1].x, 250, 0.01);
    EXPECT_NEAR(rects[1].y, 30, 0.01);
    EXPECT_NEAR(rects[1].h, 50, 0.01);
    EXPECT_EQ(rects[1].fill, (std::vector<double>{1, 1, 1, 1}));
}

TEST_F(PlateMarksTest, EveryTitleItemTheEditorOffersHasItsText) {
    PlateProperties p = Sheet(1, 0);
    p.titleItems = CPlateTitle::Tokens().join(QLatin1Char('-'));
    p.jobCode = QStringLiteral("P-0001");
    p.presetName = QStringLiteral("국2절");
    p.paperType = QStringLiteral("스노우 250");
    p.pressQuantityText = QStringLiteral("500");
    p.afterWork = QStringLiteral("재단");
    p.userName = QStringLiteral("작업자");
    p.jobDate = QStringLiteral("2026-03-11");
    p.comment = QStringLiteral("메모");
    OpenWithOneItem(p);
    const CPlateTitle title(*doc, pdf, QStringLiteral("C1"));
    // The barcode token yields no text; each other one yields one.
    EXPECT_EQ(title.ItemTexts(0).size(), CPlateTitle::Tokens().size() - 1)
        << title.TitleText(0).toStdString();
    EXPECT_TRUE(title.HasBarcode());
}

TEST_F(PlateMarksTest, TitleAndBarcodeAlongTheTopEdge) {
    PlateProperties p = Sheet(0, 0);
    p.titleItems = QStringLiteral("[바코드][판번호][지질]");
    p.titlePosition = 1;
    p.titleFont.lfHeight = -13;
    p.titleFont.lfFaceName = QStringLiteral("NanumGothic");
    OpenWithOneItem(p);
    ASSERT_TRUE(Succeeded(Run()));
    EXPECT_TRUE(QFileInfo::exists(QDir(doc->WorkFolder()).filePath(QStringLiteral("B_H.pdf"))));
    EXPECT_TRUE(
        QFileInfo::exists(QDir(doc->WorkFolder()).filePath(QStringLiteral("00_imposeTitle.pdf"))));
    EXPECT_TRUE(QFileInfo::exists(
        QDir(doc->WorkFolder()).filePath(QStringLiteral("01_imposeBarcode.pdf"))));
    const auto forms = Furniture(Side("_A.pdf"));
    ASSERT_EQ(forms.size(), 2u);
    const Shape& barcode = forms[0];
    const Shape& title = forms[1];
    EXPECT_NEAR(barcode.x, 12, 0.01);
    EXPECT_NEAR(barcode.y, 0, 0.01);
    EXPECT_LT(barcode.h, 10);
    EXPECT_NEAR(title.x, 12 + barcode.w + 2, 0.01);
    EXPECT_NEAR(title.y, 0, 0.01);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {Side("_A.pdf"), QStringLiteral("-")});
    text.waitForFinished(60000);
    EXPECT_TRUE(QString::fromUtf8(text.readAll()).contains(QStringLiteral("P-0001-스노우 250")));

    // A barcode left from an earlier run is never reused: it may hold another code or size.
    p.jobCode = QStringLiteral("P-0001-2");
    doc->SetProperties(p);
    ASSERT_TRUE(Succeeded(Run()));
    const auto again = Furniture(Side("_A.pdf"));
    ASSERT_EQ(again.size(), 2u);
    EXPECT_GT(again[0].w, barcode.w);
    double width = 0, height = 0;
    ASSERT_TRUE(pdf.MiscGetPageSize(QDir(doc->WorkFolder()).filePath(QStringLiteral("B_H.pdf")), 1,
                                    width, height));
    EXPECT_NEAR(width, again[0].w, 0.01);
}

TEST_F(PlateMarksTest, TextBoxesOnBothHalvesOfAWorkAndTurnPlate) {
    TextBox box;
    box.x = 30, box.y = 200, box.width = 60, box.height = 20;
    box.text = QStringLiteral("재단 주의");
    box.contentColor = QStringLiteral(" [ White ]");
    box.frameColor = QStringLiteral(" [ Black ]");
    box.font.lfHeight = -16;
    OpenWithOneItem(Sheet(2, 0), {}, {box});
    // Opening the plate makes the files of a nameless box and names it.
    EXPECT_TRUE(doc->TextBoxes()[0].name.startsWith(QStringLiteral("tb_")));
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(Succeeded(Run()));
    // Named when it had no name, and the name kept in the plate.
    ASSERT_TRUE(doc->TextBoxes()[0].name.startsWith(QStringLiteral("tb_")));
    EXPECT_FALSE(doc->IsModified());
    const auto forms = Furniture(Side("_A.pdf"));
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_NEAR(forms[0].x, 30, 0.01);
    EXPECT_NEAR(forms[0].y, 200, 0.01);
    EXPECT_NEAR(forms[1].x, 400 - 90, 0.01);
    EXPECT_NEAR(forms[1].y, 200, 0.01);
    EXPECT_TRUE(Furniture(Side("_L.pdf")).size() <= 1u); // once at most on the label side
}

namespace {

// Marks as end points rounded to 0.001 mm, to compare as sets.
using Mark = std::array<double, 4>;

Mark Rounded(double x1, double y1, double x2, double y2) {
    auto r = [](double v) { return std::round(v * 1000) / 1000; };
    return {r(x1), r(y1), r(x2), r(y2)};
}

std::multiset<Mark> MarksOf(const std::vector<Shape>& lines) {
    std::multiset<Mark> marks;
    for (const Shape& s : lines)
        marks.insert(Rounded(s.x, s.y, s.x2, s.y2));
    return marks;
}

// A group of plate cut marks: vertical ones from y1 to y2 at each x, or
// horizontal ones from x1 to x2 at each y.
struct Band {
    bool vertical;
    double from, to;
    std::vector<double> at;
};

std::multiset<Mark> MarksOf(const std::vector<Band>& bands) {
    std::multiset<Mark> marks;
    for (const Band& b : bands)
        for (double u : b.at)
            marks.insert(b.vertical ? Rounded(u, b.from, u, b.to) : Rounded(b.from, u, b.to, u));
    return marks;
}

std::vector<double> Join(std::vector<double> a, const std::vector<double>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

// The sheet is 400 x 300, margins top 10, left 12, bottom 14, right 16, cut
// margins top 1, left 2, bottom 3, right 4; expected marks are worked out by
// hand from the grid.
TEST_F(PlateMarksTest, PlateCutMarksOnTurnedAndWorkAndTurnPlates) {
    // Work-and-turn about the width, grid 47: boundaries 12 .. 200 (= W/2,
    // the last: no mark after it), then mirrored 388 down to 200.
    const std::vector<double> leftHalf{14, 55, 61, 102, 108, 149, 155, 196};
    const std::vector<double> rightHalf{386, 345, 339, 298, 292, 251, 245, 204};
    // Grid 50 down the full height: boundaries 10 .. 260.
    const std::vector<double> rows{11, 57, 61, 107, 111, 157, 161, 207, 211, 257, 261};
    // Grid 100 across the full width: boundaries 12 .. 312.
    const std::vector<double> columns{14, 108, 114, 208, 214, 308, 314};
    // Work-and-turn about the height: 10 .. 110 above H/2, 290 down to 190 below.
    const std::vector<double> topHalf{11, 57, 61, 107, 111};
    const std::vector<double> bottomHalf{289, 243, 239, 193, 189};
    // Turned about the height: boundaries 290 down to 40 (>= the bottom margin 14).
    const std::vector<double> mirroredRows{289, 243, 239, 193, 189, 143, 139, 93, 89, 43, 39};
    struct Case {
        const char* name;
        int paperSide, turn;
        double gridWidth, gridHeight;
        std::array<int, 4> crop; // top, left, bottom, right
        double bottomMargin, rightMargin;
        const char* file;
        std::vector<Band> expected;
        int range; // grid lines the bar counts
    };
    const Case cases[] = {
        {"work-and-turn about the width: both halves, left and right bands exchanged",
         2,
         0,
         47,
         50,
         {1, 1, 1, 1},
         14,
         16,
         "_A.pdf",
         {{true, 8, 10, Join(leftHalf, rightHalf)},
          {true, 286, 288, Join(leftHalf, rightHalf)},
          {false, 10, 12, rows},   // first half: left margin 12
          {false, 384, 386, rows}, // right margin 16
          {false, 14, 16, rows},   // second half: the right margin 16 on the left
          {false, 388, 390, rows}},
         22},
        {"work-and-turn about the height: both halves, top and bottom bands exchanged",
         2,
         1,
         100,
         50,
         {1, 1, 1, 1},
         14,
         16,
         "_A.pdf",
         {{true, 8, 10, columns},
          {true, 286, 288, columns},
          {true, 12, 14, columns}, // second half: the bottom margin 14 on top
          {true, 290, 292, columns},
          {false, 10, 12, Join(topHalf, bottomHalf)},
          {false, 384, 386, Join(topHalf, bottomHalf)}},
         14},
        {"double-sided, turned about the height, side B",
         1,
         1,
         100,
         50,
         {1, 1, 1, 1},
         14,
         16,
         "_B.pdf",
         {{true, 12, 14, columns},
          {true, 290, 292, columns},
          {false, 10, 12, mirroredRows},
          {false, 384, 386, mirroredRows}},
         10},
        {"bottom and right marks stop at the sheet's edge",
         0,
         0,
         100,
         100,
         {0, 0, 1, 1},
         1.2,
         0.8,
         "_A.pdf",
         {{true, 298.8, 300, columns}, {false, 399.2, 400, {11, 107, 111, 207, 211}}},
         7},
    };
    RecordingProgress recorder;
    progress = &recorder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlateProperties p = Sheet(c.paperSide, c.turn);
        p.gridWidth = c.gridWidth;
        p.gridHeight = c.gridHeight;
        p.plateCrop = c.crop;
        p.margin[PlateProperties::Edge::Bottom] = c.bottomMargin;
        p.margin[PlateProperties::Edge::Right] = c.rightMargin;
        OpenWithOneItem(p);
        recorder.stages.clear();
        ASSERT_TRUE(Succeeded(Run()));
        EXPECT_EQ(MarksOf(Lines(Side(c.file))), MarksOf(c.expected));

        // One step per grid line of the side, never past the range.
        std::vector<RecordingProgress::Stage> cuts;
        for (const auto& stage : recorder.stages)
            if (stage.text == QStringLiteral("판 재단선 생성"))
                cuts.push_back(stage);
        ASSERT_EQ(cuts.size(), static_cast<size_t>(doc->Geometry().sideCount));
        const bool sideB = std::string(c.file) == "_B.pdf";
        const auto& cut = cuts[sideB ? 1 : 0];
        EXPECT_EQ(cut.details, QStringList{sideB ? QStringLiteral("B 판 재단선 생성 중...")
                                                 : QStringLiteral("A 판 재단선 생성 중...")});
        EXPECT_EQ(cut.range, c.range);
        std::vector<int> counted(static_cast<size_t>(c.range));
        std::iota(counted.begin(), counted.end(), 1);
        EXPECT_EQ(cut.positions, counted);
        EXPECT_EQ(cuts.back().details, QStringList{QStringLiteral("레이블 판 재단선 생성 중...")});
        // No stage of the run steps past its range.
        for (const auto& stage : recorder.stages)
            for (int position : stage.positions)
                EXPECT_LE(position, stage.range) << stage.text.toStdString();
    }
}

TEST_F(PlateMarksTest, ATextBoxThatCannotBeMadeIsLeftOffWithANote) {
    TextBox good;
    good.x = 30, good.y = 200, good.width = 60, good.height = 20;
    good.text = QStringLiteral("재단 주의");
    good.font.lfHeight = -16;
    TextBox tiny = good; // below the library's smallest page
    tiny.x = 150, tiny.width = 0.5;
    TextBox outside = good; // a stored name that would leave the work folder: named anew
    outside.name = QStringLiteral("../tb_outside.emf");
    outside.x = 250;
    OpenWithOneItem(Sheet(0, 0), {}, {tiny, good, outside});
    ASSERT_TRUE(Succeeded(Run()));
    notes = notes.filter(QStringLiteral("text box"));
    ASSERT_EQ(notes.size(), 1) << notes.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(notes[0].contains(QStringLiteral("left off the press"))) << notes[0].toStdString();
    const auto forms = Furniture(Side("_A.pdf"));
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_NEAR(forms[0].x, 30, 0.01);
    EXPECT_NEAR(forms[0].y, 200, 0.01);
    EXPECT_NEAR(forms[1].x, 250, 0.01);
    EXPECT_FALSE(QFileInfo::exists(QDir(root).filePath(QStringLiteral("tb_outside.emf"))));
}

TEST_F(PlateMarksTest, PresetColoursReachThePageAsFractions) {
    struct Case {
        int model;
        int c, m, y, k, r, g, b;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {1, 10, 20, 30, 40, 255, 128, 0, {1, 0.502, 0}},    // RGB bytes
        {0, 100, 50, 0, 20, 255, 128, 0, {1, 0.5, 0, 0.2}}, // CMYK percentages
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        CZelColorItem item;
        item.colorModel = c.model;
        item.c = c.c, item.m = c.m, item.y = c.y, item.k = c.k;
        item.r = c.r, item.g = c.g, item.b = c.b;
        const PressColour colour = PressColour::Of(item);
        EXPECT_EQ(colour.kind, c.model ? PressColour::Rgb : PressColour::Cmyk);
        const QString file = QDir(root).filePath(QStringLiteral("colour.pdf"));
        ASSERT_TRUE(pdf.ComposeBeginDoc(file));
        ASSERT_TRUE(pdf.ComposeBeginPage(100, 100));
        ASSERT_TRUE(presscolour::Rect(pdf, 10, 10, 50, 5, 0.3, {}, colour));
        ASSERT_TRUE(pdf.ComposeEndPage());
        ASSERT_TRUE(pdf.ComposeEndDoc());
        const auto rects = Shapes(file, Shape::Rect);
        ASSERT_EQ(rects.size(), 1u);
        ASSERT_EQ(rects[0].fill.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_NEAR(rects[0].fill[i], c.expected[i], 0.001) << i;
    }
}

TEST_F(PlateMarksTest, OwnCutMarksOfAllEightSwitchesOnTurnedSides) {
    // The item turned a quarter: 50 wide, 90 high, at (50, 60); crop left 1,
    // top 2, right 3, bottom 4; every mark 1 mm long. On a turned side the
    // marks turn with the item's box: its left cut lies on the right there.
    const double w = 50, h = 90, L = 1, T = 2, R = 3, B = 4;
    auto marksAt = [&](double x, double y, int mirror) {
        auto X = [&](double lx) { return mirror == 1 ? x + w - lx : x + lx; };
        auto Y = [&](double ly) { return mirror == 2 ? y + h - ly : y + ly; };
        auto mark = [&](double x1, double y1, double x2, double y2) {
            return Rounded(X(x1), Y(y1), X(x2), Y(y2));
        };
        return std::vector<Mark>{
            mark(L, -1, L, 0),            // CROP_01
            mark(w - R, -1, w - R, 0),    // CROP_02
            mark(w, T, w + 1, T),         // CROP_03
            mark(w, h - B, w + 1, h - B), // CROP_04
            mark(w - R, h, w - R, h + 1), // CROP_05
            mark(L, h, L, h + 1),         // CROP_06
            mark(-1, h - B, 0, h - B),    // CROP_07
            mark(-1, T, 0, T),            // CROP_08
        };
    };
    struct Place {
        double x, y; // the item's top-left, as mirrored
        int mirror;  // 1 about the width, 2 about the height
    };
    struct Case {
        const char* name;
        int paperSide, turn;
        const char* file;
        std::vector<Place> at;
    };
    const Case cases[] = {
        {"double-sided, side A", 1, 0, "_A.pdf", {{50, 60, 0}}},
        {"double-sided turned about the width, side B", 1, 0, "_B.pdf", {{400 - (50 + 50), 60, 1}}},
        {"double-sided turned about the height, side B",
         1,
         1,
         "_B.pdf",
         {{50, 300 - (90 + 60), 2}}},
        {"work-and-turn about the width", 2, 0, "_A.pdf", {{50, 60, 0}, {400 - (50 + 50), 60, 1}}},
        {"work-and-turn about the height", 2, 1, "_A.pdf", {{50, 60, 0}, {50, 300 - (90 + 60), 2}}},
    };
    options.itemCut = {1, 1, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::unique_ptr<CZelItem>> items;
        items.push_back(Item(QStringLiteral("A-1"), art, 50, 60, 90, 2));
        items.back()->ownCut = 1;
        items.back()->crop = {L, T, R, B};
        items.back()->cropMarks = {1, 1, 1, 1, 1, 1, 1, 1};
        Open(Sheet(c.paperSide, c.turn), std::move(items));
        ASSERT_TRUE(Succeeded(Run()));
        std::multiset<Mark> expected;
        for (const Place& place : c.at)
            for (const Mark& mark : marksAt(place.x, place.y, place.mirror))
                expected.insert(mark);
        EXPECT_EQ(MarksOf(Lines(Side(c.file))), expected);
    }
}

namespace {

// The margins of a side: top, left, bottom, right, exchanged across the turn on side B.
std::array<double, 4> SideMargins(int turn, bool sideB) {
    std::array<double, 4> m{10, 12, 14, 16};
    if (sideB && turn == 0)
        std::swap(m[1], m[3]);
    else if (sideB && turn == 1)
        std::swap(m[0], m[2]);
    return m;
}

QString PdfText(const QString& file) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    text.waitForFinished(60000);
    return QString::fromUtf8(text.readAll());
}

} // namespace

TEST_F(PlateMarksTest, TitleAndBarcodeAlongTheLeftAndRightEdges) {
    struct Case {
        const char* name;
        int position, align, turn;
    };
    const Case cases[] = {
        {"left edge, centred in the margin", 0, 1, 0},
        {"right edge, against the printable area", 2, 2, 0},
        {"left edge at the sheet's edge, turned about the height", 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlateProperties p = Sheet(1, c.turn);
        p.jobCode = QStringLiteral("7"); // narrower than it is high: the upright barcode
        p.titleItems = QStringLiteral("[바코드][판번호][판구분]");
        p.titlePosition = c.position;
        p.titleAlign = c.align;
        p.titleFont.lfHeight = -13;
        p.titleFont.lfFaceName = QStringLiteral("NanumGothic");
        OpenWithOneItem(p);
        ASSERT_TRUE(Succeeded(Run()));
        EXPECT_TRUE(QFileInfo::exists(QDir(doc->WorkFolder()).filePath(QStringLiteral("B_V.pdf"))));
        EXPECT_FALSE(
            QFileInfo::exists(QDir(doc->WorkFolder()).filePath(QStringLiteral("B_H.pdf"))));
        for (const auto& [file, word] : {std::pair{"_A.pdf", "앞"}, std::pair{"_B.pdf", "뒤"}}) {
            SCOPED_TRACE(file);
            const auto m = SideMargins(c.turn, std::string(file) == "_B.pdf");
            const auto forms = Furniture(Side(file));
            ASSERT_EQ(forms.size(), 2u);
            const Shape& barcode = forms[0];
            const Shape& title = forms[1];
            EXPECT_GT(barcode.formH, barcode.formW);
            for (const Shape* piece : {&barcode, &title}) {
                // Turned a quarter: across the band it is as thick as its page is high.
                const double t = piece->formH;
                EXPECT_EQ(piece->rotation, 90);
                EXPECT_NEAR(piece->w, t, 0.01);
                EXPECT_NEAR(piece->h, piece->formW, 0.01);
                const double x = c.position == 0 ? (c.align == 0   ? 0
                                                    : c.align == 1 ? (m[1] - t) / 2
                                                                   : m[1] - t)
                                                 : (c.align == 0   ? 400 - t
                                                    : c.align == 1 ? 400 - (m[3] - t) / 2 - t
                                                                   : 400 - m[3]);
                EXPECT_NEAR(piece->x, x, 0.01);
            }
            EXPECT_NEAR(barcode.y, m[0], 0.01);
            EXPECT_NEAR(title.y, m[0] + barcode.formW + 2, 0.01);
            EXPECT_TRUE(
                PdfText(Side(file)).contains(QStringLiteral("7-%1").arg(QString::fromUtf8(word))))
                << PdfText(Side(file)).toStdString();
        }
        EXPECT_TRUE(PdfText(Side("_L.pdf")).contains(QStringLiteral("7-레이블")));
    }
}

TEST_F(PlateMarksTest, ColourBarsOnTheLeftAndRightEdgesOfBothSides) {
    MarkPreset(bars, QStringLiteral("ColorBars"), QStringLiteral("바"), 100, 5);
    PlateProperties p = Sheet(1, 1); // turned about the height
    p.colorBarName = QStringLiteral("바");
    p.colorBarAlign = 1;
    p.colorBar[1] = 1; // left-top
    p.colorBar[3] = 1; // right-top
    p.colorBar[4] = 1; // left-bottom
    p.colorBar[6] = 1; // right-bottom
    OpenWithOneItem(p);
    ASSERT_TRUE(Succeeded(Run()));
    for (const char* file : {"_A.pdf", "_B.pdf"}) {
        SCOPED_TRACE(file);
        const auto m = SideMargins(1, std::string(file) == "_B.pdf");
        const double left = (m[1] - 5) / 2, right = 400 - (m[3] - 5) / 2 - 5;
        const double start = m[0], end = 300 - (m[2] + 100);
        // The starts first, then the ends; each turned a quarter, 5 across and 100 along.
        const std::pair<double, double> expected[] = {
            {left, start}, {right, start}, {left, end}, {right, end}};
        const auto forms = Furniture(Side(file));
        ASSERT_EQ(forms.size(), 4u);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(forms[i].x, expected[i].first, 0.01) << i;
            EXPECT_NEAR(forms[i].y, expected[i].second, 0.01) << i;
            EXPECT_NEAR(forms[i].w, 5, 0.01) << i;
            EXPECT_NEAR(forms[i].h, 100, 0.01) << i;
            EXPECT_EQ(forms[i].rotation, 90) << i;
        }
    }
}
