#include "recordingobserver.h"
#include "scriptedoperator.h"
#include "tests/succeeded.h"

#include "engine/tesseldoc.h"
#include "pdfbinding/pdfserver.h"
#include "records/progresssink.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Writes down what an open reports, and at each step whether that item's
// front preview is already there.
class PreviewProgress : public ProgressSink {
public:
    explicit PreviewProgress(const CTesselDoc& doc) : m_doc(doc) {}
    QStringList log;

    void Begin(const QString& text, int range) override {
        log << QStringLiteral("begin %1 %2").arg(text).arg(range);
    }
    void Detail(const QString& text) override { log << text; }
    void Step(int position) override {
        const bool made = position <= m_doc.ItemCount() &&
                          QFileInfo(m_doc.PagePreviewPath(*m_doc.ItemAt(position - 1), 0)).isFile();
        log << QStringLiteral("step %1%2")
                   .arg(position)
                   .arg(made ? QString() : QStringLiteral(" without preview"));
    }
    void End() override { log << QStringLiteral("end"); }

private:
    const CTesselDoc& m_doc;
};

class ItemPreviews : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << pdf.LoadError().toStdString();
        plate = dir.filePath(QStringLiteral("P-0001.tzmp"));
    }

    // A PDF of pages of the given size, each with a coloured corner.
    QString MakePdf(const QString& name, double w, double h, int pages = 1) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(pdf.ComposeBeginDoc(path));
        for (int i = 0; i < pages; ++i) {
            EXPECT_TRUE(pdf.ComposeBeginPage(w, h));
            EXPECT_TRUE(pdf.ComposeCMYKRect(0, 0, w / 2, h / 2, 0, -1, -1, -1, -1, 0, 1, 1, 0));
            EXPECT_TRUE(pdf.ComposeEndPage());
        }
        EXPECT_TRUE(pdf.ComposeEndDoc()) << pdf.LastError().toStdString();
        return path;
    }

    std::unique_ptr<CZelItem> Item(const QString& ordernum, const QString& pdfPath,
                                   int numSide = 1) {
        auto item = std::make_unique<CZelItem>();
        item->ordernum = ordernum;
        item->objPath = pdfPath;
        item->width = 90;
        item->height = 50;
        item->numSide = numSide;
        item->pdfPage = numSide;
        item->pcases = 1;
        return item;
    }

    // Saves a plate holding the items, then opens it in a document with the library.
    void SaveAndOpen(std::vector<std::unique_ptr<CZelItem>> items, CTesselDoc& opened) {
        CTesselDoc doc;
        for (auto& item : items)
            doc.AddItem(std::move(item));
        ASSERT_TRUE(doc.Save(plate));
        opened.SetContext({.op = &op, .pdf = &pdf});
        ASSERT_TRUE(Succeeded(opened.Open(plate)));
    }

    QTemporaryDir dir;
    CPDFServer pdf;
    ScriptedOperator op;
    QString plate;
};

} // namespace

TEST_F(ItemPreviews, MadeOnceAndRemadeWhenTheArtworkChanges) {
    const QString artwork = MakePdf(QStringLiteral("카드 1.pdf"), 94, 54, 2);
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), artwork, 2));
    CTesselDoc doc;
    SaveAndOpen(std::move(items), doc);
    const CZelItem& item = *doc.ItemAt(0);
    EXPECT_TRUE(doc.MissingArtwork().isEmpty());
    EXPECT_TRUE(op.messages.isEmpty());
    EXPECT_FALSE(item.checksum.isEmpty());
    EXPECT_EQ(item.checksum.count(QLatin1Char('-')), 12);
    EXPECT_NEAR(item.cx, 94, 0.01);
    EXPECT_NEAR(item.cy, 54, 0.01);
    EXPECT_EQ(item.mediaRotate, 0); // bleed is not a turned page
    const QString front = doc.PagePreviewPath(item, 0);
    const QString back = doc.PagePreviewPath(item, 1);
    EXPECT_TRUE(front.endsWith(QLatin1String("/P-0001/A-1-000.jpg")));
    EXPECT_TRUE(back.endsWith(QLatin1String("/P-0001/A-1-001.jpg")));
    ASSERT_TRUE(QFileInfo(front).isFile());
    ASSERT_TRUE(QFileInfo(back).isFile());
    EXPECT_TRUE(item.pages[1].Picture().IsLoaded());

    // An unchanged artwork reuses the previews.
    ASSERT_TRUE(doc.Save(plate));
    QFile::remove(back);
    const QDateTime frontTime = QFileInfo(front).lastModified();
    QThread::msleep(1100);
    CTesselDoc again;
    again.SetContext({.op = &op, .pdf = &pdf});
    ASSERT_TRUE(again.Open(plate));
    EXPECT_EQ(again.ItemAt(0)->checksum, item.checksum);
    EXPECT_EQ(QFileInfo(front).lastModified(), frontTime);
    EXPECT_TRUE(QFileInfo(back).isFile()); // a missing one is made again

    // A replaced artwork of another size gets a new stamp and new previews.
    QFile::remove(artwork);
    MakePdf(QStringLiteral("카드 1.pdf"), 50, 90, 2);
    ASSERT_TRUE(Succeeded(again.RefreshItemPreviews(again.ItemAt(0))));
    EXPECT_NE(again.ItemAt(0)->checksum, item.checksum);
    EXPECT_GT(QFileInfo(front).lastModified(), frontTime);
    EXPECT_EQ(again.ItemAt(0)->mediaRotate, 1); // a 50 x 90 page for a 90 x 50 card lies turned
}

TEST_F(ItemPreviews, MissingArtworkKeepsTheItemAndIsReportedOnce) {
    const QString artwork = MakePdf(QStringLiteral("b.pdf"), 90, 50);
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("GONE"), dir.filePath(QStringLiteral("gone.pdf"))));
    items.push_back(Item(QStringLiteral("GONE"), dir.filePath(QStringLiteral("gone.pdf"))));
    items.push_back(Item(QStringLiteral("OK"), artwork));
    items.push_back(Item(QStringLiteral("../escape"), artwork));
    // An artwork damaged since it was placed.
    const QString broken = dir.filePath(QStringLiteral("broken.pdf"));
    QFile junk(broken);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("%PDF-1.4 overwritten");
    junk.close();
    items.push_back(Item(QStringLiteral("BROKEN"), broken));
    CTesselDoc doc;
    SaveAndOpen(std::move(items), doc);
    EXPECT_EQ(doc.ItemCount(), 5);
    EXPECT_EQ(doc.MissingArtwork(),
              (QStringList{QStringLiteral("GONE"), QStringLiteral("../escape"),
                           QStringLiteral("BROKEN")}));
    ASSERT_EQ(op.messages.size(), 1);
    // The message names each order with its file and the reason.
    const QStringList reasons = doc.MissingArtworkReasons();
    ASSERT_EQ(reasons.size(), 3);
    EXPECT_TRUE(reasons[0].startsWith(QStringLiteral("GONE: ")) &&
                reasons[0].contains(QStringLiteral("gone.pdf")))
        << reasons[0].toStdString();
    EXPECT_TRUE(reasons[2].contains(broken) &&
                reasons[2].contains(QStringLiteral("not a readable PDF")))
        << reasons[2].toStdString();
    for (const QString& reason : reasons)
        EXPECT_TRUE(op.messages[0].contains(reason)) << op.messages[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("escape-000.jpg"))));

    // Saved, the kept items lose nothing.
    ASSERT_TRUE(doc.Save(plate));
    CTesselDoc reopened;
    ASSERT_TRUE(reopened.Open(plate));
    EXPECT_EQ(reopened.ItemCount(), 5);
    EXPECT_EQ(reopened.ItemAt(0)->objPath, dir.filePath(QStringLiteral("gone.pdf")));
}

TEST_F(ItemPreviews, EachItemsPreviewsAreMadeWithinItsProgressStep) {
    const QString artwork = MakePdf(QStringLiteral("a.pdf"), 90, 50, 2);
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), artwork));
    items.push_back(Item(QStringLiteral("B-2"), artwork));
    items.back()->pcases = 2;
    items.back()->mediaInd = 1;
    CTesselDoc made;
    for (auto& item : items)
        made.AddItem(std::move(item));
    ASSERT_TRUE(made.Save(plate));

    CTesselDoc doc;
    PreviewProgress progress(doc);
    doc.SetContext({.op = &op, .progress = &progress, .pdf = &pdf});
    ASSERT_TRUE(doc.Open(plate));
    EXPECT_EQ(progress.log, (QStringList{QStringLiteral("begin 작업 파일 로드: P-0001.tzmp 2"),
                                         QStringLiteral("A-1.pdf - 1/1"), QStringLiteral("step 1"),
                                         QStringLiteral("B-2.pdf - 2/2"), QStringLiteral("step 2"),
                                         QStringLiteral("end")}));
}

TEST_F(ItemPreviews, MissingArtworkFollowsTheItemsOnThePlate) {
    const QString artwork = MakePdf(QStringLiteral("b.pdf"), 90, 50);
    const QString late = dir.filePath(QStringLiteral("late.pdf"));
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("GONE"), dir.filePath(QStringLiteral("gone.pdf"))));
    items.push_back(Item(QStringLiteral("LATE"), late));
    items.push_back(Item(QStringLiteral("GONE"), dir.filePath(QStringLiteral("gone.pdf"))));
    items.push_back(Item(QStringLiteral("OK"), artwork));
    CTesselDoc doc;
    SaveAndOpen(std::move(items), doc);
    EXPECT_EQ(doc.MissingArtwork(), (QStringList{QStringLiteral("GONE"), QStringLiteral("LATE")}));

    // An order leaves the list with its last item.
    doc.RemoveItem(doc.ItemAt(0));
    EXPECT_EQ(doc.MissingArtwork(), (QStringList{QStringLiteral("LATE"), QStringLiteral("GONE")}));
    EXPECT_EQ(doc.RemoveOrder(QStringLiteral("GONE")), 1);
    EXPECT_EQ(doc.MissingArtwork(), QStringList{QStringLiteral("LATE")});

    // A retry while the artwork is still away changes nothing; once it is back
    // the order leaves the list and its item shows the artwork.
    EXPECT_EQ(doc.RetryMissingArtwork(), QStringList{QStringLiteral("LATE")});
    ASSERT_TRUE(QFile::copy(artwork, late));
    RecordingObserver observer(doc);
    EXPECT_TRUE(doc.RetryMissingArtwork().isEmpty());
    EXPECT_TRUE(doc.MissingArtwork().isEmpty());
    const CZelItem& back = *doc.FindByOrdernum(QStringLiteral("LATE"));
    EXPECT_TRUE(back.pages[0].Picture().IsLoaded());
    EXPECT_FALSE(back.checksum.isEmpty());
    EXPECT_FALSE(observer.TakeRects().empty()); // the view repaints it
}

TEST_F(ItemPreviews, AnOpenReadsThenPreparesAndReportsEachPhase) {
    const QString artwork = MakePdf(QStringLiteral("card.pdf"), 90, 50);
    {
        CTesselDoc made;
        made.AddItem(Item(QStringLiteral("A-1"), artwork));
        made.AddItem(Item(QStringLiteral("GONE"), dir.filePath(QStringLiteral("gone.pdf"))));
        ASSERT_TRUE(made.Save(plate));
    }
    CTesselDoc doc;
    doc.SetContext({.op = &op, .pdf = &pdf});
    RecordingObserver observer(doc);

    // Reading gives the plate its items, without previews and without a word.
    const Result<void> read = doc.ReadPlateFile(plate);
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    ASSERT_EQ(doc.ItemCount(), 2);
    EXPECT_FALSE(doc.ItemAt(0)->pages[0].Picture().IsLoaded());
    EXPECT_FALSE(QFileInfo::exists(doc.PagePreviewPath(*doc.ItemAt(0), 0)));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(op.messages.isEmpty());
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_TRUE(observer.changes[0].wholePlate);
    for (PlateChange::Kind kind :
         {PlateChange::Items, PlateChange::Selection, PlateChange::Properties,
          PlateChange::Furniture, PlateChange::Orders})
        EXPECT_TRUE(observer.changes[0].Has(kind)) << kind;

    // Preparing makes the previews and tells what could not be had.
    doc.PreparePreviews();
    EXPECT_TRUE(doc.ItemAt(0)->pages[0].Picture().IsLoaded());
    EXPECT_EQ(doc.MissingArtwork(), QStringList{QStringLiteral("GONE")});
    EXPECT_EQ(op.messages.size(), 1);
    ASSERT_EQ(observer.changes.size(), 2u);
    EXPECT_TRUE(observer.changes[1].wholePlate);
    EXPECT_TRUE(observer.changes[1].Has(PlateChange::Items));

    // A file that is no plate fails the read and leaves the plate as it was.
    QFile other(dir.filePath(QStringLiteral("other.tzmp")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("<TESSEL_DOCUMENT_MARKUPS><DOCUMENT_TYPE>\"Tessel Job Ticket\"</DOCUMENT_TYPE>"
                "</TESSEL_DOCUMENT_MARKUPS>");
    other.close();
    EXPECT_FALSE(doc.ReadPlateFile(other.fileName()).ok());
    EXPECT_EQ(doc.ItemCount(), 2);
    EXPECT_EQ(observer.changes.size(), 2u);

    // Open is both phases, reported once.
    CTesselDoc opened;
    opened.SetContext({.op = &op, .pdf = &pdf});
    RecordingObserver openObserver(opened);
    ASSERT_TRUE(opened.Open(plate));
    EXPECT_EQ(openObserver.changes.size(), 1u);
    EXPECT_TRUE(opened.ItemAt(0)->pages[0].Picture().IsLoaded());
}
