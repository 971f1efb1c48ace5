#include "pressfixture.h"
#include "tests/succeeded.h"

#include "markup/cp949.h"
#include "markup/durablefile.h"
#include "press/pressoutput.h"
#include "tests/fulldisk.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <algorithm>
#include <map>
#include <tuple>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using pdfreadback::Shape;

// Pages of a double-sided order's artwork: each its own size, so that a
// placed page tells which it is; all smaller than the 90 x 50 card, so that
// centring shows.
const std::vector<std::pair<double, double>> kPages = {{90, 50}, {88, 48}, {86, 46}, {84, 44}};

struct Placed {
    int page; // 1-based
    double x, y;
    int rotation;
    bool operator<(const Placed& o) const {
        return std::tie(x, y, page) < std::tie(o.x, o.y, o.page);
    }
};

// Where the page lands: centred in the item's box at (bx, by).
Placed Expect(const CZelItem& item, int page, double bx, double by, int rotation) {
    const auto [cx, cy] = kPages[page - 1];
    const bool quarter = rotation == 90 || rotation == 270;
    return {page, bx + (item.EffectiveWidth() - (quarter ? cy : cx)) / 2,
            by + (item.EffectiveHeight() - (quarter ? cx : cy)) / 2, rotation};
}

// The pages placed, told apart by the size each is drawn at (sizes[page - 1]).
std::vector<Placed> PlacedPages(const QString& file,
                                const std::vector<std::pair<double, double>>& sizes = kPages) {
    std::vector<Placed> placed;
    for (const Shape& s : PressFixture::Shapes(file, Shape::Form)) {
        int page = 0;
        for (size_t i = 0; i < sizes.size(); ++i)
            if (std::fabs(s.formW - sizes[i].first) < 0.01 &&
                std::fabs(s.formH - sizes[i].second) < 0.01)
                page = static_cast<int>(i) + 1;
        placed.push_back({page, s.x, s.y, s.rotation});
    }
    std::sort(placed.begin(), placed.end());
    return placed;
}

void ExpectSame(std::vector<Placed> expected, const std::vector<Placed>& actual,
                const std::string& what) {
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].page, expected[i].page) << what << " #" << i;
        EXPECT_NEAR(actual[i].x, expected[i].x, 0.01) << what << " #" << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 0.01) << what << " #" << i;
        EXPECT_EQ(actual[i].rotation, expected[i].rotation) << what << " #" << i;
    }
}

struct PlateKind {
    const char* name;
    int paperSide, turn;
    std::vector<const char*> sides;
};

class MakePressTest : public PressFixture {};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(MakePressTest, ArtworkOfEveryItemOnEverySideOfEveryPlateKind) {
    const PlateKind kinds[] = {
        {"single", 0, 0, {"_A.pdf", "_L.pdf"}},
        {"double, horizontal turn", 1, 0, {"_A.pdf", "_B.pdf", "_L.pdf"}},
        {"double, vertical turn", 1, 1, {"_A.pdf", "_B.pdf", "_L.pdf"}},
        {"double, no turn", 1, 2, {"_A.pdf", "_B.pdf", "_L.pdf"}},
        {"work-and-turn, horizontal", 2, 0, {"_A.pdf", "_L.pdf"}},
        {"work-and-turn, vertical", 2, 1, {"_A.pdf", "_L.pdf"}},
        {"work-and-turn, no turn", 2, 2, {"_A.pdf", "_L.pdf"}},
    };
    Label();
    const QString twoSided = Artwork(QStringLiteral("양면 주문.pdf"), kPages);
    const QString oneSided = Artwork(QStringLiteral("단면.pdf"), {kPages[0], kPages[1]});
    options.itemFrame = {1, 1, 1};
    for (const PlateKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        std::vector<std::unique_ptr<CZelItem>> items;
        // The second case of a two-sided order, framed; a turned one; a
        // one-sided order; one whose artwork lies turned in its slot; and
        // one wholly on the pasteboard.
        items.push_back(Item(QStringLiteral("D-1"), twoSided, 30, 40, 0, 2, 1));
        items.back()->ownFrame = 1;
        items.back()->ownFrameColor = QStringLiteral(" [C=100 M=0 Y=0 K=0]");
        items.push_back(Item(QStringLiteral("D-2"), twoSided, 130, 20, 90, 2, 0));
        items.push_back(Item(QStringLiteral("S-1"), oneSided, 20, 95, 180, 1, 1));
        items.push_back(Item(QStringLiteral("M-1"), oneSided, 110, 100, 270, 1, 0));
        items.back()->mediaRotate = 1;
        items.push_back(Item(QStringLiteral("OUT"), oneSided, -100, 40, 0, 1, 0));
        Open(Sheet(kind.paperSide, kind.turn), std::move(items));
        ASSERT_TRUE(Succeeded(Run()));
        const PlateGeometry& g = doc->Geometry();
        ASSERT_EQ(g.sideCount, static_cast<int>(kind.sides.size()));
        QStringList expectedFiles;
        for (const char* suffix : kind.sides)
            expectedFiles << Side(suffix);
        EXPECT_EQ(written, expectedFiles);

        std::vector<Placed> front, back, previews;
        std::vector<std::pair<double, double>> labelCorners, orderNumberFrames;
        const int turn = kind.turn;
        for (int i = 0; i < 4; ++i) {
            const CZelItem& item = *doc->ItemAt(i);
            const int page = 1 + item.mediaInd * item.numSide;
            front.push_back(Expect(item, page, item.x, item.y, item.rotate));
            if (item.numSide == 2 && (turn != 2 || kind.paperSide == 1)) {
                double x = item.x, y = item.y;
                int rotation = item.rotate;
                if (turn == 0) {
                    x = 400 - (item.EffectiveWidth() + item.x);
                    rotation = rotation == 90 ? 270 : rotation == 270 ? 90 : rotation;
                } else if (turn == 1) {
                    y = 300 - (item.EffectiveHeight() + item.y);
                    rotation = rotation == 0 ? 180 : rotation == 180 ? 0 : rotation;
                }
                back.push_back(Expect(item, page + 1, x, y, rotation));
            }
            // The 90 x 50 label turns with the item, a quarter further when
            // the artwork lies turned, and is drawn straight into the sheet:
            // its preview box (24 x 24 at 64, 2) shows the front page itself,
            // fitted, and its order number's box (60 x 10 at 2, 2) is framed.
            const int labelTurn = item.mediaRotate ? (item.rotate + 90) % 360 : item.rotate;
            const Placed label = Expect(item, 1, item.x, item.y, labelTurn);
            labelCorners.push_back({label.x, label.y});
            const auto onSheet = [&](double u, double v, double w, double h) {
                // Top-left of the box (u, v, w, h) of the label once turned.
                const double lx = labelTurn == 90    ? 50 - v - h
                                  : labelTurn == 180 ? 90 - u - w
                                  : labelTurn == 270 ? v
                                                     : u;
                const double ly = labelTurn == 90    ? u
                                  : labelTurn == 180 ? 50 - v - h
                                  : labelTurn == 270 ? 90 - u - w
                                                     : v;
                return std::make_pair(label.x + lx, label.y + ly);
            };
            const auto [cx, cy] = kPages[page - 1];
            const double fit = std::min(24 / cx, 24 / cy);
            const auto preview =
                onSheet(64 + (24 - cx * fit) / 2, 2 + (24 - cy * fit) / 2, cx * fit, cy * fit);
            previews.push_back({page, preview.first, preview.second, labelTurn});
            orderNumberFrames.push_back(onSheet(2, 2, 60, 10));
        }
        if (kind.paperSide == 2) {
            std::vector<Placed> both = front;
            both.insert(both.end(), back.begin(), back.end());
            ExpectSame(both, PlacedPages(Side("_A.pdf")), "work-and-turn sheet");
        } else {
            ExpectSame(front, PlacedPages(Side("_A.pdf")), "side A");
            if (kind.paperSide == 1)
                ExpectSame(back, PlacedPages(Side("_B.pdf")), "side B");
        }
        std::vector<std::pair<double, double>> previewSizes;
        for (const auto& [cx, cy] : kPages) {
            const double fit = std::min(24 / cx, 24 / cy);
            previewSizes.push_back({cx * fit, cy * fit});
        }
        ExpectSame(previews, PlacedPages(Side("_L.pdf"), previewSizes), "label previews");
        const auto labelRects = Shapes(Side("_L.pdf"), Shape::Rect);
        auto hasRect = [&](std::pair<double, double> at, auto&& is) {
            return std::any_of(labelRects.begin(), labelRects.end(), [&](const Shape& r) {
                return std::fabs(r.x - at.first) < 0.01 && std::fabs(r.y - at.second) < 0.01 &&
                       is(r);
            });
        };
        for (size_t i = 0; i < labelCorners.size(); ++i) {
            EXPECT_TRUE(hasRect(
                labelCorners[i],
                [](const Shape& r) {
                    return r.filled && !r.stroked && r.fill == std::vector<double>{0, 0, 0, 0};
                }))
                << "white under label #" << i;
            EXPECT_TRUE(hasRect(orderNumberFrames[i],
                                [](const Shape& r) {
                                    return r.stroked &&
                                           r.stroke == std::vector<double>{0, 0, 0, 1} &&
                                           std::fabs(r.w * r.h - 600) < 0.1;
                                }))
                << "order number frame of label #" << i;
        }
        // One embedded font for the face of every label on the sheet.
        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {Side("_L.pdf")});
        fonts.waitForFinished(60000);
        EXPECT_EQ(QString::fromUtf8(fonts.readAll()).count(QStringLiteral("NanumGothic")), 1);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {Side("_L.pdf"), QStringLiteral("-")});
        text.waitForFinished(60000);
        const QString labelText = QString::fromUtf8(text.readAll());
        for (const char* shown : {"D-1", "D-2", "S-1", "M-1", "한글 라벨"})
            EXPECT_TRUE(labelText.contains(QString::fromUtf8(shown))) << shown;

        // White under each page; the framed item's frame over it in its colour.
        const auto rects = Shapes(Side("_A.pdf"), Shape::Rect);
        const auto forms = Shapes(Side("_A.pdf"), Shape::Form);
        for (const Shape& form : forms) {
            const bool underlay = std::any_of(rects.begin(), rects.end(), [&](const Shape& r) {
                return r.filled && !r.stroked && r.fill == std::vector<double>{0, 0, 0, 0} &&
                       std::fabs(r.x - form.x) < 0.01 && std::fabs(r.y - form.y) < 0.01 &&
                       std::fabs(r.w - form.w) < 0.01 && std::fabs(r.h - form.h) < 0.01;
            });
            EXPECT_TRUE(underlay) << "at " << form.x << ", " << form.y;
        }
        const long frames = std::count_if(rects.begin(), rects.end(), [](const Shape& r) {
            return r.stroked && !r.filled && r.stroke == std::vector<double>{1, 0, 0, 0} &&
                   std::fabs(r.lineWidth - 0.9) < 0.01;
        });
        EXPECT_EQ(frames, kind.paperSide == 2 && turn != 2 ? 2 : 1);

        for (const QString& file : written)
            EXPECT_EQ(QpdfCheck(file), QString()) << file.toStdString();
    }
}

TEST_F(MakePressTest, SummaryFileListsEverySlot) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0], kPages[1]});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("O-1"), art, 20, 20, 0, 1, 0));
    items.back()->pcases = 2;
    items.push_back(Item(QStringLiteral("O-1"), art, 120, 20, 0, 1, 1));
    items.back()->pcases = 2;
    items.push_back(Item(QStringLiteral("O-2"), art, 20, 120, 0, 1, 0));
    items.back()->pquantity = 0;
    items.back()->quantity = 499.5;
    PlateProperties p = Sheet(1, 0);
    p.comment = QStringLiteral("급함");
    p.afterWork = QStringLiteral("코팅;UV;");
    Open(p, std::move(items));
    CMakePress press(*doc, nullptr, nullptr);
    const QByteArray expected =
        cp949::FromUnicode(QStringLiteral("P-0001:스노우 250:국전:4/1:500:2026-12-10:KJ:급함\n"
                                          "인쇄:코팅:UV::::출력\n"
                                          "O-1:001001\nO-1:001002\nO-1:002001\nO-1:002002\n"
                                          "O-2:001001\n"));
    EXPECT_EQ(press.SummaryBytes(), expected);
    ASSERT_TRUE(Succeeded(Run()));
    EXPECT_EQ(recordfiles::Read(QDir(root).filePath(QStringLiteral("P-0001.txt"))), expected);

    // A plate that prints no sheets lists each case once instead of never ending.
    p.pressCount = 0;
    p.quantity = 0;
    doc->SetProperties(p);
    const QString text = cp949::ToUnicode(press.SummaryBytes());
    EXPECT_TRUE(text.endsWith(QStringLiteral("O-1:001001\nO-1:002001\nO-2:001001\n")))
        << text.toStdString();
}

TEST_F(MakePressTest, PressFolderFilesForEachType) {
    struct Case {
        int paperSide, type;
        bool titleName;
        QStringList files;
        // With the plate title as the name: JOB_CODE, PAPER_TYPE and TITLE_ITEMS.
        const char *jobCode = "", *paperType = "", *titleItems = "";
    };
    const Case cases[] = {
        {0, 0, false, {QStringLiteral("P-0001.pdf")}},
        {0, 1, false, {QStringLiteral("P-0001.pdf"), QStringLiteral("P-0001_L.pdf")}},
        {0, 2, false, {QStringLiteral("P-0001.pdf"), QStringLiteral("P-0001_L.pdf")}},
        {1, 0, false, {QStringLiteral("P-0001.pdf")}},
        {1, 1, false, {QStringLiteral("P-0001.pdf"), QStringLiteral("P-0001_L.pdf")}},
        {1,
         2,
         false,
         {QStringLiteral("P-0001_A.pdf"), QStringLiteral("P-0001_B.pdf"),
          QStringLiteral("P-0001_L.pdf")}},
        // A work-and-turn plate has one printed side.
        {2, 2, false, {QStringLiteral("P-0001.pdf"), QStringLiteral("P-0001_L.pdf")}},
        // Title items that vary by side or shop are not in the name; "/" and ":" cannot stand in
        // it.
        {0,
         0,
         true,
         {QStringLiteral("P_0001-국전-a_b.pdf")},
         "P/0001",
         "a:b",
         "[회사코드][판번호][판형크기][판구분][지질][후가공]"},
        // A title that cleans to nothing gives JOB_CODE; a device name is not a file.
        {0,
         1,
         true,
         {QStringLiteral("J-77.pdf"), QStringLiteral("J-77_L.pdf")},
         "J-77",
         "..",
         "[지질]"},
        {0, 0, true, {QStringLiteral("con_.pdf")}, "J-77", "con", "[지질]"},
    };
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0], kPages[1]});
    options.pressDir = pressDir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.join(QLatin1Char(' ')).toStdString());
        QDir(pressDir).removeRecursively();
        QDir().mkpath(pressDir);
        PlateProperties p = Sheet(c.paperSide, 0);
        if (c.titleName) {
            p.jobCode = QString::fromUtf8(c.jobCode);
            p.paperType = QString::fromUtf8(c.paperType);
            p.titleItems = QString::fromUtf8(c.titleItems);
        }
        std::vector<std::unique_ptr<CZelItem>> items;
        items.push_back(Item(QStringLiteral("A-1"), art, 20, 20, 0, c.paperSide == 0 ? 1 : 2));
        Open(p, std::move(items));
        options.pdfType = c.type;
        options.titleFileName = c.titleName;
        ASSERT_TRUE(Succeeded(Run()));
        QStringList expected;
        for (int side = 0; side < doc->Geometry().sideCount; ++side)
            expected << CMakePress(*doc, nullptr, nullptr).SideFilePath(side);
        for (const QString& name : c.files)
            expected << QDir(pressDir).filePath(name);
        EXPECT_EQ(written, expected);
        // Nothing else in the press folder: no temporary file is left behind.
        EXPECT_EQ(QDir(pressDir).entryList(QDir::Files | QDir::Hidden), c.files);
        int pages = 0;
        for (const QString& name : c.files) {
            const QString file = QDir(pressDir).filePath(name);
            EXPECT_EQ(QpdfCheck(file), QString());
            std::string error;
            pages += static_cast<int>(pdfreadback::Read(file.toStdString(), &error).size());
        }
        EXPECT_EQ(pages, doc->Geometry().sideCount);
    }
}

TEST_F(MakePressTest, RefusesFilesInUseAndMissingArtwork) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0]});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), art, 20, 20));
    Open(Sheet(0, 0), std::move(items));

    // A side file that cannot be removed stops the run before anything is composed.
    QDir().mkpath(Side("_L.pdf"));
    QString error = FailedRun();
    const QString inUse = QStringLiteral(
        "PDF 파일 \"P-0001_L.pdf\"이(가) 사용중입니다.\n파일을 닫으시고 다시 시도하십시오.");
    EXPECT_EQ(error, inUse);
    EXPECT_EQ(op.messages, QStringList{inUse});
    EXPECT_FALSE(QFileInfo::exists(Side("_A.pdf")));
    QDir().rmdir(Side("_L.pdf"));

    // The same in the press folder, after the side files.
    options.pressDir = pressDir;
    QDir().mkpath(QDir(pressDir).filePath(QStringLiteral("P-0001.pdf")));
    error = FailedRun();
    EXPECT_EQ(error,
              QString(inUse).replace(QStringLiteral("P-0001_L.pdf"), QStringLiteral("P-0001.pdf")));
    QDir().rmdir(QDir(pressDir).filePath(QStringLiteral("P-0001.pdf")));

    // A press folder that does not exist fails the run after the side files.
    options.pressDir = QDir(root).filePath(QStringLiteral("없는 폴더"));
    error = FailedRun();
    EXPECT_TRUE(error.contains(QStringLiteral("does not exist"))) << error.toStdString();

    // Orders whose artwork is gone: nothing is written, the orders are named.
    options.pressDir.clear();
    const QString gonePdf = QDir(root).filePath(QStringLiteral("없음.pdf"));
    const QString backPdf = QDir(root).filePath(QStringLiteral("돌아옴.pdf"));
    std::vector<std::unique_ptr<CZelItem>> gone;
    gone.push_back(Item(QStringLiteral("A-1"), art, 20, 20));
    gone.push_back(Item(QStringLiteral("GONE-7"), gonePdf, 120, 20));
    gone.push_back(Item(QStringLiteral("BACK-8"), backPdf, 220, 20));
    for (const char* suffix : {"_A.pdf", "_L.pdf", ".txt"})
        QFile::remove(Side(suffix));
    Open(Sheet(0, 0), std::move(gone));
    error = FailedRun();
    // Each order with its file and the reason.
    EXPECT_TRUE(error.contains(QStringLiteral("GONE-7: %1: ").arg(gonePdf)) &&
                error.contains(QStringLiteral("BACK-8: %1: ").arg(backPdf)))
        << error.toStdString();
    for (const char* suffix : {"_A.pdf", "_L.pdf", ".txt"})
        EXPECT_FALSE(QFileInfo::exists(Side(suffix))) << suffix;

    // The run tries the missing artwork again: an order whose file is back
    // no longer stops it, and once all are back the press files are made.
    ASSERT_TRUE(QFile::copy(art, backPdf));
    error = FailedRun();
    EXPECT_TRUE(error.contains(QStringLiteral("GONE-7"))) << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("BACK-8"))) << error.toStdString();
    ASSERT_TRUE(QFile::copy(art, gonePdf));
    EXPECT_TRUE(Succeeded(Run()));
    EXPECT_TRUE(QFileInfo::exists(Side("_A.pdf")));
}

TEST_F(MakePressTest, EachArtworkPageIsEmbeddedOncePerSideFile) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0]});
    std::vector<std::unique_ptr<CZelItem>> items;
    for (int i = 0; i < 4; ++i)
        items.push_back(Item(QStringLiteral("A-1"), art, 20 + 95.0 * i, 20));
    Open(Sheet(0, 0), std::move(items));
    ASSERT_TRUE(Succeeded(Run()));
    const auto forms = Shapes(Side("_A.pdf"), Shape::Form);
    ASSERT_EQ(forms.size(), 4u);
    for (const Shape& form : forms)
        EXPECT_EQ(form.name, forms[0].name);
}

TEST_F(MakePressTest, ALabelFieldThatCannotBeDrawnIsNotedAndTheRestPrints) {
    CZelLabel label;
    label.SetSize(90, 50);
    auto object = [&](const char* tag, const QString& text, double y) {
        auto o = std::make_unique<CZelLabObject>();
        o->tag = QLatin1String(tag);
        o->text = text;
        o->x = 2, o->y = y, o->w = 80, o->h = 10;
        o->font.lfHeight = -16;
        o->font.lfFaceName = QStringLiteral("NanumGothic");
        label.objects.push_back(std::move(o));
    };
    object("Ordernum", QString(), 2);
    object("MF_UID", QString(), 14);
    object("MF_TextBox", QStringLiteral("한글 라벨"), 26);
    ASSERT_TRUE(
        Succeeded(label.Save(QDir(presetDir).filePath(QStringLiteral("Labels/명함 라벨.tzlp")))));
    // The member's picture: its header reads, its data is cut off.
    QImage picture(200, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            picture.setPixel(x, y, qRgb(x, y * 2, (x * y) % 256));
    const QString picturePath = QDir(presetDir).filePath(QStringLiteral("Labels/M-7.jpg"));
    ASSERT_TRUE(picture.save(picturePath, "JPEG"));
    QFile cut(picturePath);
    ASSERT_TRUE(cut.resize(cut.size() * 3 / 4));

    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0]});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("N-1"), art, 20, 20));
    items.back()->uid = QStringLiteral("M-7");
    Open(Sheet(0, 0), std::move(items));
    ASSERT_TRUE(Succeeded(Run()));
    ASSERT_EQ(notes.size(), 1) << notes.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(notes[0].contains(QStringLiteral("N-1"))) << notes[0].toStdString();
    EXPECT_TRUE(notes[0].contains(QStringLiteral("M-7.jpg"))) << notes[0].toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {Side("_L.pdf"), QStringLiteral("-")});
    text.waitForFinished(60000);
    const QString shown = QString::fromUtf8(text.readAll());
    EXPECT_TRUE(shown.contains(QStringLiteral("N-1"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("한글 라벨"))) << shown.toStdString();
    EXPECT_EQ(QpdfCheck(Side("_L.pdf")), QString());
}

TEST(PressFileName, SafeForEveryWorkstationThatReadsThePressFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"P/0001:a*b", "P_0001_a_b"},
        {"  ..판..1.. ", "판.1"},
        {"..", ""},
        {"a\tb", "a_b"},
        // Device names, with or without an extension, in any case.
        {"CON", "CON_"},
        {"con.pdf", "con_.pdf"},
        {"Nul", "Nul_"},
        {"aux ", "aux_"},
        {"PRN .x", "PRN_ .x"},
        {"COM1", "COM1_"},
        {"lpt9.a.b", "lpt9_.a.b"},
        // Not device names.
        {"COM0", "COM0"},
        {"CONSOLE", "CONSOLE"},
        {"ACON", "ACON"},
        {"LPT10", "LPT10"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(CMakePress::SafeFileName(QString::fromUtf8(text)), QString::fromUtf8(expected))
            << text;
}

TEST_F(MakePressTest, AFailedMergeOrCopyNamesItsTarget) {
    struct Case {
        int type;
        const char* target;
    };
    const Case cases[] = {
        {0, "P-0001.pdf"}, {1, "P-0001.pdf"}, {1, "P-0001_L.pdf"}, {2, "P-0001_L.pdf"}};
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0]});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), art, 20, 20));
    Open(Sheet(0, 0), std::move(items));
    options.pressDir = pressDir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        QDir(pressDir).removeRecursively();
        QDir().mkpath(pressDir);
        // A folder where the file is written first: neither copy nor merge can write it.
        const QString target = QDir(pressDir).filePath(QString::fromLatin1(c.target));
        ASSERT_TRUE(QDir().mkpath(durablefile::TemporaryPath(target)));
        options.pdfType = c.type;
        const QString error = FailedRun();
        EXPECT_TRUE(error.contains(target)) << error.toStdString();
        // Nothing of the set reaches the press folder, not even the files that could be written.
        EXPECT_EQ(QDir(pressDir).entryList(QDir::Files | QDir::Hidden), QStringList{});
    }
}

// A re-press into a press folder that has no room fails and leaves the
// earlier press files as they were: the new file is written beside the old
// one and renamed over it only when whole.
TEST_F(MakePressTest, ARePressIntoAFullPressFolderKeepsTheEarlierFiles) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0]});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), art, 20, 20));
    Open(Sheet(0, 0), std::move(items));
    // Copies go through the program's writer in either kind of full disk; a
    // merge is written by the library, which only a real full disk stops.
    std::vector<int> types = {2};
    FullDisk disk;
    SCOPED_TRACE(disk.Kind().toStdString());
    if (disk.Mounted())
        types.push_back(0);
    options.pressDir = disk.Path();
    for (const int type : types) {
        SCOPED_TRACE(type);
        options.pdfType = type;
        ASSERT_TRUE(Succeeded(Run()));
        QStringList files = QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden);
        std::map<QString, QByteArray> before;
        for (const QString& name : files)
            before[name] = recordfiles::Read(disk.File(name));
        disk.Fill();
        const QString error = FailedRun();
        EXPECT_FALSE(error.isEmpty());
        disk.Free();
        EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden), files)
            << "no temporary is left: " << error.toStdString();
        for (const auto& [name, bytes] : before)
            EXPECT_EQ(recordfiles::Read(disk.File(name)), bytes) << name.toStdString();
        for (const QString& name : files)
            QFile::remove(disk.File(name));
    }
}

// Temporaries that a stopped run left in the plate's folder, its work folder
// and the press folder are removed by the next run; a live writer's are not.
TEST_F(MakePressTest, TheNextRunRemovesTemporariesOfStoppedRuns) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0]});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), art, 20, 20));
    Open(Sheet(0, 0), std::move(items));
    options.pressDir = pressDir;
    options.pdfType = 0;
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const QString mine =
        QFileInfo(durablefile::TemporaryPath(pressDir + QStringLiteral("/x.pdf"))).fileName();
    const QString host = mine.mid(mine.indexOf(QLatin1Char('@')));
    const QString stopped = QStringLiteral(".P-0001.pdf.%1%2").arg(child).arg(host);
    const QString live = QStringLiteral(".other.pdf.%1%2").arg(::getpid()).arg(host);
    for (const QString& folder : {pressDir, root, doc->WorkFolder()}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        recordfiles::Write(QDir(folder).filePath(stopped), "%PDF-half");
        recordfiles::Write(QDir(folder).filePath(live), "%PDF-busy");
    }
    ASSERT_TRUE(Succeeded(Run()));
    for (const QString& folder : {pressDir, root, doc->WorkFolder()}) {
        SCOPED_TRACE(folder.toStdString());
        EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath(stopped)));
        EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath(live)));
    }
}

TEST_F(MakePressTest, PressFolderKeepsItsFileWhenAWriteFails) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0]});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), art, 20, 20));
    Open(Sheet(0, 0), std::move(items));
    options.pressDir = pressDir;
    options.pdfType = 2;
    const QString target = QDir(pressDir).filePath(QStringLiteral("P-0001_L.pdf"));
    ASSERT_TRUE(Succeeded(Run()));
    const QByteArray before = ReadAll(target);
    ASSERT_FALSE(before.isEmpty());
    // The copy beside it cannot be written: the old file stays whole.
    ASSERT_TRUE(QDir().mkpath(durablefile::TemporaryPath(target)));
    const QString error = FailedRun();
    EXPECT_TRUE(error.contains(target)) << error.toStdString();
    EXPECT_EQ(ReadAll(target), before);
}

TEST_F(MakePressTest, SaveAsOnlyAfterASuccessfulRun) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {kPages[0], kPages[1]});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), art, 20, 20, 0, 2));
    Open(Sheet(1, 0), std::move(items));
    PressOutput output(*doc, &bars, &regMarks);
    const QString chosen = QDir(root).filePath(QStringLiteral("다른 이름.pdf"));

    EXPECT_FALSE(output.IsMade());
    EXPECT_FALSE(output.SaveAs(chosen));

    const Result<QStringList> made = output.Make(options);
    ASSERT_TRUE(made) << made.error().toStdString();
    EXPECT_TRUE(output.IsMade());
    const Result<QString> saved = output.SaveAs(chosen);
    ASSERT_TRUE(saved) << saved.error().toStdString();
    // A, B and the label side merged into the one chosen file.
    EXPECT_EQ(pdfreadback::Read(chosen.toStdString()).size(), 3u);
    EXPECT_FALSE(output.SaveAs(Side("_B.pdf"))); // never over a side file

    // A run that fails takes the state back and returns its reason.
    QFile::remove(Side("_L.pdf"));
    QDir().mkpath(Side("_L.pdf"));
    const Result<QStringList> failed = output.Make(options);
    EXPECT_FALSE(failed);
    EXPECT_FALSE(failed.error().isEmpty());
    EXPECT_FALSE(output.IsMade());
}
