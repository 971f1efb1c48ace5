#include "pressfixture.h"

#include "engine/platemarks.h"

#include <QFileInfo>

#include <algorithm>
#include <set>

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
    ASSERT_TRUE(Run());
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
    p.margin[PlateProperties::Right] = 25;
    p.registrationMarkAlign = 1;
    OpenWithOneItem(p);
    ASSERT_TRUE(Run());
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
    p.margin[PlateProperties::Top] = 1.5;
    p.gridWidth = 100;
    p.gridHeight = 100;
    p.plateCrop = {1, 1, 0, 0}; // top, left
    OpenWithOneItem(p);
    ASSERT_TRUE(Run());
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
    ASSERT_TRUE(Run());
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
    ASSERT_TRUE(Run());
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

TEST_F(PlateMarksTest, TitleAndBarcodeAlongTheTopEdge) {
    PlateProperties p = Sheet(0, 0);
    p.titleItems = QStringLiteral("[바코드][판번호][지질]");
    p.titlePosition = 1;
    p.titleFont.lfHeight = -13;
    p.titleFont.lfFaceName = QStringLiteral("NanumGothic");
    OpenWithOneItem(p);
    ASSERT_TRUE(Run());
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
}

TEST_F(PlateMarksTest, TextBoxesOnBothHalvesOfAWorkAndTurnPlate) {
    TextBox box;
    box.x = 30, box.y = 200, box.width = 60, box.height = 20;
    box.text = QStringLiteral("재단 주의");
    box.contentColor = QStringLiteral(" [ White ]");
    box.frameColor = QStringLiteral(" [ Black ]");
    box.font.lfHeight = -16;
    OpenWithOneItem(Sheet(2, 0), {}, {box});
    ASSERT_TRUE(Run());
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
