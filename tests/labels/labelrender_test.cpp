#include "labels/labelrender.h"
#include "labels/labelusers.h"
#include "tests/succeeded.h"

#include "../engine/recordingobserver.h"
#include "../engine/scriptedoperator.h"

#include "engine/tesseldoc.h"
#include "engine/textlayout.h"
#include "engine/zelitem.h"
#include "pdfbinding/pdfserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LabelRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "labels_tests";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
    }
    void SetUp() override {
        ASSERT_TRUE(pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << pdf.LoadError().toStdString();
        presetDir = dir.path();
        QDir().mkpath(presetDir + QStringLiteral("/Labels"));
        item.ordernum = QStringLiteral("ORD-77");
        item.product = QStringLiteral("명함");
        item.uname = QStringLiteral("홍길동");
        item.afterWork = QStringLiteral("UV;");
        item.quantity = 2.5;
        item.width = 90;
        item.height = 50;
    }

    CZelLabObject& Add(CZelLabel& label, const char* tag, const QString& text = QString()) {
        auto o = std::make_unique<CZelLabObject>();
        o->tag = QLatin1String(tag);
        o->text = text;
        o->x = 2, o->y = 2 + 9.0 * label.objects.size(), o->w = 70, o->h = 8;
        o->frame = 1;
        o->font.lfHeight = -14;
        o->font.lfFaceName = QStringLiteral("NanumGothic");
        label.objects.push_back(std::move(o));
        return *label.objects.back();
    }

    // A label of this size in the preset folder.
    void SaveLabel(const QString& name, double w, double h) {
        CZelLabel label;
        ASSERT_TRUE(label.SetSize(w, h));
        Add(label, "Ordernum");
        ASSERT_TRUE(Succeeded(
            label.Save(presetDir + QStringLiteral("/Labels/") + name + QStringLiteral(".tzlp"))));
    }

    // A one-page artwork of the given size.
    QString Artwork(double w, double h) {
        const QString path = dir.filePath(QStringLiteral("art-%1x%2.pdf").arg(w).arg(h));
        EXPECT_TRUE(pdf.ComposeBeginDoc(path));
        EXPECT_TRUE(pdf.ComposeBeginPage(w, h));
        EXPECT_TRUE(pdf.ComposeEndPage());
        EXPECT_TRUE(pdf.ComposeEndDoc()) << pdf.LastError().toStdString();
        return path;
    }

    std::unique_ptr<CZelItem> PlacedItem(const QString& ordernum, double w, double h,
                                         const QString& labelName = QString()) {
        auto placed = std::make_unique<CZelItem>();
        placed->ordernum = ordernum;
        placed->objPath = Artwork(w, h);
        placed->width = w;
        placed->height = h;
        placed->pcases = 1;
        placed->labelName = labelName;
        return placed;
    }

    // Saves a plate of these items in plates/ and opens it with label previews.
    void SaveAndOpen(std::vector<std::unique_ptr<CZelItem>> items, CTesselDoc& opened) {
        const QString plate = dir.filePath(QStringLiteral("plates/P-1.tzmp"));
        QDir().mkpath(QFileInfo(plate).path());
        CTesselDoc doc;
        for (auto& placed : items)
            doc.AddItem(std::move(placed));
        ASSERT_TRUE(doc.Save(plate));
        ShopContext context;
        context.op = &op;
        context.pdf = &pdf;
        context.labelPreview = CLabelRender(presetDir, &pdf).PreviewFunction();
        opened.SetContext(context);
        ASSERT_TRUE(Succeeded(opened.Open(plate)));
    }

    QTemporaryDir dir;
    QString presetDir;
    CPDFServer pdf;
    CZelItem item;
    ScriptedOperator op;
};

} // namespace

TEST_F(LabelRender, ObjectTexts) {
    struct Case {
        const char* tag;
        double quantity;
        const char* text;
    };
    const Case cases[] = {
        {"Quantity", 3.0, "3"},         {"Quantity", 2.5, "2.5"},     {"AfterWork", 0, "UV"},
        {"MF_OrderNum", 0, "[ORD-77]"}, {"Uname", 0, "홍길동"},       {"Width", 0, "90"},
        {"MF_PanCode", 0, "P-9"},       {"MF_TextBox", 0, "고정 글"}, {"MF_FrameBox", 0, ""},
        {"MF_Preview", 0, ""},
    };
    item.jobCode = QStringLiteral("P-9");
    for (const Case& c : cases) {
        CZelLabObject o;
        o.tag = QLatin1String(c.tag);
        o.text = QStringLiteral("고정 글");
        item.quantity = c.quantity;
        EXPECT_EQ(CLabelRender::ObjectText(o, &item), QString::fromUtf8(c.text)) << c.tag;
    }
    CZelLabObject order;
    order.tag = QStringLiteral("Ordernum");
    EXPECT_EQ(CLabelRender::ObjectText(order, nullptr), QStringLiteral("NUM0709170003"));
}

TEST_F(LabelRender, TextWrapsByCharactersAndDropsLinesThatDoNotFit) {
    const QFont font = textlayout::FontOf([] {
        LogFont f;
        f.lfHeight = -20;
        f.lfFaceName = QStringLiteral("NanumGothic");
        return f;
    }());
    double lineHeight = 0;
    const QString text = QStringLiteral("가나다라마바사아자차카타파하");
    const QStringList all = textlayout::BreakLines(font, text, 60, 1000, &lineHeight);
    ASSERT_GT(all.size(), 2);
    EXPECT_EQ(all.join(QString()), text);
    // Room for two lines and a half: the third is not drawn at all.
    const QStringList two = textlayout::BreakLines(font, text, 60, lineHeight * 2.5);
    EXPECT_EQ(two, all.mid(0, 2));
}

TEST_F(LabelRender, PictureAndPdfForAnItem) {
    CZelLabel label;
    ASSERT_TRUE(label.SetSize(80, 40));
    Add(label, "Uname");
    Add(label, "AfterWork");
    Add(label, "MF_TextBox", QStringLiteral("한글 고정")).invert = 1;
    Add(label, "Quantity");
    ASSERT_TRUE(Succeeded(label.Save(presetDir + QStringLiteral("/Labels/작은 라벨.tzlp"))));
    item.labelName = QStringLiteral("작은 라벨");

    const CLabelRender render(presetDir, &pdf);
    const QString picture = QDir(dir.path()).filePath(QStringLiteral("ORD-77-000-L.emf"));
    ASSERT_TRUE(Succeeded(render.RenderForItem(item, picture, QString())));
    ASSERT_TRUE(QSvgRenderer(picture).isValid());
    QFile svg(picture);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString svgText = QString::fromUtf8(svg.readAll());
    EXPECT_TRUE(svgText.contains(QStringLiteral("tessel Label")));
    EXPECT_TRUE(svgText.contains(QStringLiteral("#ff0000"))); // after-work in red

    const QString pdfPath = QDir(dir.path()).filePath(QStringLiteral("ORD-77-000-L.pdf"));
    double w = 0, h = 0;
    ASSERT_TRUE(pdf.MiscGetPageSize(pdfPath, 1, w, h));
    EXPECT_NEAR(w, 80, 0.01);
    EXPECT_NEAR(h, 40, 0.01);
    QProcess check;
    check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdfPath});
    check.waitForFinished(60000);
    EXPECT_EQ(check.exitCode(), 0);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdfPath, QStringLiteral("-")});
    text.waitForFinished(60000);
    const QString extracted = QString::fromUtf8(text.readAll());
    for (const char* expected : {"홍길동", "UV", "한글 고정", "2.5"})
        EXPECT_TRUE(extracted.contains(QString::fromUtf8(expected)))
            << expected << " in " << extracted.toStdString();

    // A chosen label that exists and cannot be read fails the render and writes nothing.
    QFile broken(presetDir + QStringLiteral("/Labels/깨진 라벨.tzlp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a label");
    broken.close();
    item.labelName = QStringLiteral("깨진 라벨");
    QFile::remove(pdfPath);
    EXPECT_FALSE(render.RenderForItem(item, picture, QString()).ok());
    EXPECT_FALSE(QFile::exists(pdfPath));
}

TEST_F(LabelRender, LabelPreviewsOfAnOpenedPlate) {
    SaveLabel(QStringLiteral("명함 90x50"), 90, 50);
    QFile broken(presetDir + QStringLiteral("/Labels/깨진 라벨.tzlp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a label");
    broken.close();
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(PlacedItem(QStringLiteral("SMALL"), 80, 40));
    items.push_back(PlacedItem(QStringLiteral("GONE"), 90, 50, QStringLiteral("지운 라벨")));
    items.back()->rotate = 90;
    items.push_back(PlacedItem(QStringLiteral("BROKEN"), 90, 50, QStringLiteral("깨진 라벨")));
    CTesselDoc doc;
    SaveAndOpen(std::move(items), doc);
    ASSERT_EQ(doc.ItemCount(), 3);

    // No label fits: the item loads without a label preview.
    const CZelItem& small = *doc.ItemAt(0);
    EXPECT_FALSE(small.label.IsLoaded());
    EXPECT_FALSE(QFileInfo::exists(doc.LabelPreviewPath(small)));

    // A chosen label deleted since: the automatic one, the choice kept.
    const CZelItem& gone = *doc.ItemAt(1);
    EXPECT_EQ(gone.labelName, QStringLiteral("지운 라벨"));
    EXPECT_EQ(gone.label.picturePath, doc.LabelPreviewPath(gone));
    EXPECT_TRUE(QFileInfo(gone.label.picturePath).isFile());
    EXPECT_EQ(gone.label.width, 90);
    EXPECT_EQ(gone.label.height, 50);
    EXPECT_EQ(gone.label.rotation, 90);

    // A label that exists and cannot be read fails its item as a label.
    EXPECT_TRUE(doc.MissingArtwork().isEmpty());
    EXPECT_FALSE(doc.ItemAt(2)->label.IsLoaded());
    ASSERT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(op.messages[0].contains(QStringLiteral("레이블"))) << op.messages[0].toStdString();
    EXPECT_TRUE(op.messages[0].contains(QStringLiteral("BROKEN")));
    EXPECT_FALSE(op.messages[0].contains(QStringLiteral("GONE")));
    EXPECT_FALSE(op.messages[0].contains(QStringLiteral("PDF")));

    // Saved, the stored choice is still the operator's.
    ASSERT_TRUE(doc.Save(doc.Path()));
    CTesselDoc reopened;
    ASSERT_TRUE(reopened.Open(doc.Path()));
    EXPECT_EQ(reopened.ItemAt(1)->labelName, QStringLiteral("지운 라벨"));
}

TEST_F(LabelRender, ChangingTheLabelOfAnOrderWithAHostileNumberWritesNothing) {
    SaveLabel(QStringLiteral("명함 90x50"), 90, 50);
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(PlacedItem(QStringLiteral("../escape"), 90, 50));
    items.push_back(PlacedItem(QStringLiteral("OK-1"), 90, 50));
    CTesselDoc doc;
    SaveAndOpen(std::move(items), doc);
    op.messages.clear();
    const CZelItem& hostile = *doc.ItemAt(0);
    EXPECT_TRUE(doc.PagePreviewPath(hostile, 0).isEmpty());
    EXPECT_TRUE(doc.LabelPreviewPath(hostile).isEmpty());

    doc.SelectItem(&hostile);
    EXPECT_FALSE(doc.ChangeLabel(QStringLiteral("명함 90x50")));
    ASSERT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(op.messages[0].contains(QStringLiteral("레이블")));
    const QString plates = dir.filePath(QStringLiteral("plates"));
    EXPECT_EQ(QDir(plates).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("P-1"), QStringLiteral("P-1.tzmp")}));

    // An ordinary order takes the chosen label.
    doc.DeselectAll();
    const CZelItem& ordinary = *doc.ItemAt(1);
    doc.SelectItem(&ordinary);
    EXPECT_TRUE(doc.ChangeLabel(QStringLiteral("명함 90x50")));
    EXPECT_EQ(ordinary.labelName, QStringLiteral("명함 90x50"));
    EXPECT_TRUE(ordinary.label.IsLoaded());
    EXPECT_EQ(op.messages.size(), 1);
}

TEST_F(LabelRender, ASetScopeReadsTheLabelsOnceForEveryItem) {
    SaveLabel(QStringLiteral("명함 90x50"), 90, 50);
    const CLabelRender render(presetDir, nullptr);
    const auto preview = render.PreviewFunction(); // a copy shares the scope
    const QString picture = dir.filePath(QStringLiteral("label.svg"));
    item.width = 92; // the order's own size chooses; its turn does not
    item.height = 52;
    item.rotate = 90;
    {
        const CLabelRender::SetScope scope(render);
        // The folder changes under an open scope: the set read at its start serves.
        QFile::remove(presetDir + QStringLiteral("/Labels/명함 90x50.tzlp"));
        EXPECT_EQ(render.LabelNameFor(item), QStringLiteral("명함 90x50"));
        const Result<QSizeF> drawn = preview(item, picture, QString());
        ASSERT_TRUE(Succeeded(drawn));
        EXPECT_EQ(drawn.value(), QSizeF(90, 50));
    }
    // Closed, the folder is read again.
    EXPECT_TRUE(render.LabelNameFor(item).isEmpty());
}

TEST_F(LabelRender, ItemsUsingALabelAreDrawnAgainAfterTheEditorSavesIt) {
    SaveLabel(QStringLiteral("명함 90x50"), 90, 50);
    SaveLabel(QStringLiteral("다른 라벨"), 85, 45);
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(PlacedItem(QStringLiteral("AUTO"), 90, 50));
    items.push_back(PlacedItem(QStringLiteral("CHOSEN"), 90, 50, QStringLiteral("명함 90x50")));
    items.push_back(PlacedItem(QStringLiteral("OTHER"), 90, 50, QStringLiteral("다른 라벨")));
    items.push_back(PlacedItem(QStringLiteral("GONE"), 90, 50, QStringLiteral("지운 라벨")));
    CTesselDoc doc;
    SaveAndOpen(std::move(items), doc);

    std::vector<const CZelItem*> expected{doc.ItemAt(0), doc.ItemAt(1), doc.ItemAt(3)};
    EXPECT_EQ(labelusers::ItemsUsing(doc, presetDir, QStringLiteral("명함 90x50")), expected);

    // The editor saves the label larger: the items that use it take the new size.
    SaveLabel(QStringLiteral("명함 90x50"), 88, 48);
    RecordingObserver observer(doc);
    EXPECT_TRUE(
        labelusers::RefreshItemsUsing(doc, presetDir, QStringLiteral("명함 90x50")).isEmpty());
    EXPECT_EQ(doc.ItemAt(1)->label.width, 88);
    EXPECT_EQ(doc.ItemAt(2)->label.width, 85); // its own label, untouched
    // One report: the before and after of three items.
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_EQ(observer.changes[0].kinds, PlateChange::Items);
    EXPECT_EQ(observer.TakeRects().size(), 6u);

    EXPECT_TRUE(labelusers::Fits(90, 50, *doc.ItemAt(0)));
    // Turned on the plate, the order still 90 x 50.
    doc.RotateItem(doc.ItemAt(0), true);
    EXPECT_TRUE(labelusers::Fits(90, 50, *doc.ItemAt(0)));
    EXPECT_FALSE(labelusers::Fits(91, 50, *doc.ItemAt(0)));
}
