#include "scriptedoperator.h"
#include "tests/succeeded.h"

#include "engine/tesseldoc.h"
#include "records/programfolder.h"
#include "records/zelcolorpresets.h"
#include "tests/fulldisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<CZelItem> FullItem(int index) {
    auto item = std::make_unique<CZelItem>();
    item->ordernum = QStringLiteral("2026120900%1").arg(index);
    item->rework = QStringLiteral("N");
    item->branchShop = QStringLiteral("본점");
    item->rokDate = QStringLiteral("2026-12-09");
    item->product = QStringLiteral("명함");
    item->kind = QStringLiteral("일반");
    item->paper = QStringLiteral("스노우지");
    item->sizeKind = QStringLiteral("90*50");
    item->afterWork = QStringLiteral("코팅;");
    item->afterWork2 = QStringLiteral("귀도리;");
    item->deliveryM = QStringLiteral("택배");
    item->deliveryA = QStringLiteral("서울 중구 <1/2>");
    item->uid = QStringLiteral("kim");
    item->ucom = QStringLiteral("김씨네");
    item->uname = QStringLiteral("김철수");
    item->utel = QStringLiteral("02-123-4567");
    item->uhp = QStringLiteral("010-1234-5678");
    item->receiptS = QStringLiteral("카드");
    item->pcom = QStringLiteral("P사");
    item->pname = QStringLiteral("담당");
    item->mmemo = QStringLiteral("\"급함\"");
    item->color = 4;
    item->pdfPage = 2;
    item->pcases = 3;
    item->quantity = 2.5;
    item->pquantity = 1000;
    item->width = 90;
    item->height = 50;
    item->objPath = QStringLiteral("/shop/progress/demo/P1/2026120900%1.pdf").arg(index);
    item->pageNum = 2 * index;
    item->numSide = 2;
    item->mediaInd = index;
    item->mediaRotate = index % 2;
    item->rotate = 90 * index;
    item->x = 10.125 + index;
    item->y = 20.5;
    item->ownCut = 1;
    item->crop = {1, 2, 3, 4};
    item->cropMarks = {1, 0, 1, 0, 1, 0, 1, 0};
    item->ownFrame = 1;
    item->ownFrameColor = QStringLiteral("Cyan");
    item->checksum = QStringLiteral("1-0-2026-12-9-1-2-3-2026-12-9-1-2");
    item->cx = 94;
    item->cy = 54;
    item->labelName = index == 1 ? QStringLiteral("card") : QString();
    return item;
}

PlateProperties FullProperties() {
    PlateProperties p;
    p.presetName = QStringLiteral("명함 국전");
    p.jobCode = QStringLiteral("P20261209-001");
    p.userName = QStringLiteral("데모");
    p.userAccount = QStringLiteral("demo");
    p.userInitial = QStringLiteral("DM");
    p.jobDate = QStringLiteral("2026-12-09");
    p.pageCount = 1;
    p.pressQuantityText = QStringLiteral("1.0");
    p.paperType = QStringLiteral("스노우지 250g");
    p.paperSideSetting = 1;
    p.turnDirection = 0;
    p.colorA = 1;
    p.colorB = 1;
    p.quantity = 1.0;
    p.pressUnit = 1;
    p.pressCount = 500;
    p.comment = QStringLiteral("메모");
    p.afterWork = QStringLiteral("코팅;재단;");
    p.size = QStringLiteral("국전");
    p.width = 636;
    p.height = 469;
    p.margin = {10, 11, 12, 13};
    p.gridWidth = 92;
    p.gridHeight = 52;
    p.cutMargin = {1, 1, 1, 1};
    p.arrangeDirection = 2;
    p.arrangeMaxJob = 1;
    p.titlePosition = 1;
    p.titleAlign = 2;
    p.titleItems = QStringLiteral("[판번호];[지질]");
    p.titleFont.lfHeight = -16;
    p.titleFont.lfCharSet = 129;
    p.titleFont.lfFaceName = QStringLiteral("굴림");
    p.barcodeFont.lfHeight = -12;
    p.barcodeFont.lfFaceName = QStringLiteral("Arial");
    p.colorBar = {1, 0, 0, 1, 0, 0, 1, 0};
    p.colorBarAlign = 1;
    p.colorBarName = QStringLiteral("컬러바");
    p.plateCrop = {1, 1, 0, 1};
    p.registrationMark = {0, 1, 1, 0};
    p.registrationMarkAlign = 2;
    p.registrationMarkName = QStringLiteral("돔보");
    return p;
}

class DocumentFile : public ::testing::Test {
protected:
    void SetUp() override { path = dir.filePath(QStringLiteral("판 P1.tzmp")); }

    void Fill(CTesselDoc& doc) {
        doc.SetProperties(FullProperties());
        for (int i = 0; i < 3; ++i)
            doc.AddItem(FullItem(i));
        doc.SetLines({{1, 5, 600, 12.5, 0.3, QStringLiteral("Black")},
                      {0, 7, 400, 300, 0.2, QStringLiteral("가게 색")}});
        TextBox box;
        box.name = QStringLiteral("tb_261209101010.emf");
        box.x = 30;
        box.y = 40;
        box.width = 60;
        box.height = 20;
        box.frameColor = QStringLiteral("Black");
        box.contentColor = QStringLiteral("없는 색");
        box.textColor = QStringLiteral("Red");
        box.font.lfHeight = -20;
        box.font.lfEscapement = 900;
        box.font.lfFaceName = QStringLiteral("돋움");
        box.rotate = 90;
        box.text = QStringLiteral("급 <주의>");
        doc.SetTextBoxes({box});
    }

    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(DocumentFile, SavedPlateOpensAsTheSameModel) {
    CTesselDoc doc;
    Fill(doc);
    ASSERT_TRUE(Succeeded(doc.Save(path)));
    EXPECT_FALSE(doc.IsModified());

    CTesselDoc reopened;
    ASSERT_TRUE(Succeeded(reopened.Open(path)));
    EXPECT_EQ(reopened.Properties(), doc.Properties());
    ASSERT_EQ(reopened.ItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const CZelItem& a = *doc.ItemAt(i);
        const CZelItem& b = *reopened.ItemAt(i);
        EXPECT_EQ(b.ordernum, a.ordernum);
        EXPECT_EQ(b.deliveryA, a.deliveryA);
        EXPECT_EQ(b.mmemo, a.mmemo);
        EXPECT_EQ(b.afterWork2, a.afterWork2);
        EXPECT_EQ(b.quantity, a.quantity);
        EXPECT_EQ(b.pquantity, a.pquantity);
        EXPECT_EQ(b.pageNum, a.pageNum);
        EXPECT_EQ(b.mediaRotate, a.mediaRotate);
        EXPECT_EQ(b.rotate, a.rotate);
        EXPECT_EQ(b.x, a.x);
        EXPECT_EQ(b.crop, a.crop);
        EXPECT_EQ(b.cropMarks, a.cropMarks);
        EXPECT_EQ(b.ownFrameColor, a.ownFrameColor);
        EXPECT_EQ(b.checksum, a.checksum);
        EXPECT_EQ(b.cx, a.cx);
        EXPECT_EQ(b.labelName, a.labelName);
        EXPECT_EQ(b.jobCode, QStringLiteral("P20261209-001"));
    }
    EXPECT_EQ(reopened.Lines(), doc.Lines());
    EXPECT_EQ(reopened.TextBoxes(), doc.TextBoxes());
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("판 P1"))).exists()); // the work folder

    // Saved again unchanged, the file is the same file.
    const QByteArray first = ReadAll(path);
    ASSERT_TRUE(reopened.Save(path));
    EXPECT_EQ(ReadAll(path), first);
    ASSERT_TRUE(reopened.Save(path));
    const QByteArray twice = ReadAll(path);
    EXPECT_EQ(twice.count("<PAGE>"), 1);
    EXPECT_EQ(twice.count("<LINES>"), 1);
    EXPECT_EQ(twice.count("<TEXTS>"), 1);
    EXPECT_TRUE(twice.contains("\r\n            <Quantity>2.5</Quantity>\r\n"));
    EXPECT_TRUE(twice.contains("\r\n            <Width>90.000</Width>\r\n"));
    // Header, sections and document information come first, then the page.
    EXPECT_LT(twice.indexOf("<DOCUMENT_INFORMATION>"), twice.indexOf("<PAGE>"));
    EXPECT_LT(twice.indexOf("<PAGE>"), twice.indexOf("<LINES>"));
    EXPECT_LT(twice.indexOf("<LINES>"), twice.indexOf("<TEXTS>"));
}

TEST_F(DocumentFile, OnlyTheFirstPageIsReadAndPlatesWithoutFurnitureWriteNone) {
    CTesselDoc doc;
    doc.SetProperties(FullProperties());
    doc.AddItem(FullItem(0));
    ASSERT_TRUE(doc.Save(path));
    QByteArray bytes = ReadAll(path);
    EXPECT_FALSE(bytes.contains("<LINES>"));
    EXPECT_FALSE(bytes.contains("<TEXTS>"));
    // A second page after the first one.
    const int start = bytes.indexOf("   <PAGE>");
    const int end = bytes.indexOf("</PAGE>\r\n") + 9;
    bytes.insert(end, bytes.mid(start, end - start).replace("2026120900", "9999999999"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    CTesselDoc reopened;
    ASSERT_TRUE(reopened.Open(path));
    ASSERT_EQ(reopened.ItemCount(), 1);
    EXPECT_EQ(reopened.ItemAt(0)->ordernum, QStringLiteral("20261209000"));
    ASSERT_TRUE(reopened.Save(path));
    EXPECT_EQ(ReadAll(path).count("<PAGE>"), 1);
}

TEST_F(DocumentFile, FilesThatCannotBeReadLeaveThePlateAlone) {
    CTesselDoc doc;
    Fill(doc);
    ASSERT_TRUE(doc.Save(path));
    const QByteArray plate = ReadAll(path);
    // A plate read only up to a break would be saved back short.
    QByteArray closedWrong = plate;
    const qsizetype second = closedWrong.indexOf("</ITEM>", closedWrong.indexOf("</ITEM>") + 1);
    closedWrong.replace(second, 7, "</ITEMX>");
    const struct {
        QByteArray content;
        QString reason; // a part of the error
    } cases[] = {
        {QByteArray(), {}},
        {QByteArray("<?xml version=\"1.0\"?>"), {}},
        {QByteArray("</A>"), {}},
        {closedWrong, QStringLiteral("</ITEMX> does not match the open element <ITEM>")},
        {plate.left(plate.size() / 2), QStringLiteral("offset")},
        {QByteArray(plate).replace("\"Imposer Document\"", "\"Tessel Job Ticket\""),
         QStringLiteral("not a plate file (it is a job ticket)")},
        {QByteArray(plate).replace("\"Imposer Document\"", "\"Imposer Document Preset\""),
         QStringLiteral("not a plate file (it is a document preset)")},
        {QByteArray(plate).replace("\"Imposer Document\"", "\"Someone Else\""),
         QStringLiteral("not a plate file (it is a DOCUMENT_TYPE \"Someone Else\")")},
        {QByteArray("%PDF-1.4\n%%EOF\n"), QStringLiteral("not a plate file (it is a PDF file)")},
    };
    const QString broken = dir.filePath(QStringLiteral("broken.tzmp"));
    for (const auto& c : cases) {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        const Result<void> failed = doc.Open(broken);
        EXPECT_FALSE(failed.ok()) << c.content.left(300).toStdString();
        const QString& error = failed.error();
        EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
        EXPECT_EQ(doc.ItemCount(), 3);
        EXPECT_EQ(doc.Path(), QFileInfo(path).absoluteFilePath());
        EXPECT_EQ(ReadAll(broken), c.content); // the failed open wrote nothing
    }
    const Result<void> none = doc.Open(dir.filePath(QStringLiteral("missing.tzmp")));
    EXPECT_FALSE(none.ok());
    const QString& missing = none.error();
    EXPECT_TRUE(missing.endsWith(QStringLiteral("missing.tzmp: no such file")))
        << missing.toStdString();

    // A save that fails keeps the modified flag: nothing is lost.
    doc.SetModified(true);
    const Result<void> failed = doc.Save(dir.filePath(QStringLiteral("no/such/folder.tzmp")));
    EXPECT_FALSE(failed.ok());
    const QString& error = failed.error();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(DocumentFile, ItemTextsTheFileCannotCarryFailTheSave) {
    CTesselDoc doc;
    Fill(doc);
    ASSERT_TRUE(doc.Save(path));
    const auto entries = [this] {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const struct {
        const char* key;
        QString CZelItem::*member;
        QString value;
    } cases[] = {
        {"OBJ_PATH", &CZelItem::objPath, QStringLiteral("/shop/progress/demo/P1/주문 😀.pdf")},
        {"Uname", &CZelItem::uname, QStringLiteral("สมชาย")},
    };
    for (const auto& c : cases) {
        const QByteArray saved = ReadAll(path);
        CTesselDoc edited;
        ASSERT_TRUE(edited.Open(path));
        const QStringList before = entries();
        const CZelItem& item = *edited.ItemAt(1);
        edited.ChangeItem(&item, [&](CZelItem& changed) { changed.*c.member = c.value; });
        EXPECT_TRUE(edited.IsModified());
        const Result<void> failed = edited.Save(path);
        EXPECT_FALSE(failed.ok()) << c.key;
        const QString& error = failed.error();
        EXPECT_TRUE(error.contains(item.ordernum)) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.key))) << error.toStdString();
        EXPECT_TRUE(edited.IsModified());
        EXPECT_EQ(ReadAll(path), saved);
        // No temporary file is left beside the plate.
        EXPECT_EQ(entries(), before);
        // Code page characters, Korean among them, are written.
        edited.ChangeItem(
            &item, [&](CZelItem& changed) { changed.*c.member = QStringLiteral("김 철수"); });
        EXPECT_TRUE(Succeeded(edited.Save(path)));
    }
}

TEST_F(DocumentFile, PlateTextsTheFileCannotCarryFailTheSave) {
    CTesselDoc doc;
    Fill(doc);
    ASSERT_TRUE(doc.Save(path));
    const QByteArray saved = ReadAll(path);
    const struct {
        const char* named;
        std::function<void(CTesselDoc&)> edit;
    } cases[] = {
        {"COMMENT",
         [](CTesselDoc& d) {
             PlateProperties p = d.Properties();
             p.comment = QStringLiteral("급함 🔥");
             d.SetProperties(p);
         }},
        {"text box 2", // after the one the plate has
         [](CTesselDoc& d) {
             TextBox box;
             box.name = QStringLiteral("tb_1.emf");
             box.text = QStringLiteral("재단 ✂︎ 주의");
             std::vector<TextBox> boxes = d.TextBoxes();
             boxes.push_back(box);
             d.SetTextBoxes(boxes);
         }},
    };
    for (const auto& c : cases) {
        CTesselDoc edited;
        ASSERT_TRUE(edited.Open(path));
        c.edit(edited);
        edited.SetModified(true);
        const Result<void> failed = edited.Save(path);
        EXPECT_FALSE(failed.ok()) << c.named;
        const QString& error = failed.error();
        EXPECT_TRUE(error.contains(QLatin1String(c.named))) << error.toStdString();
        EXPECT_TRUE(edited.IsModified());
        EXPECT_EQ(ReadAll(path), saved);
    }
}

TEST_F(DocumentFile, SaveIfModifiedKeepsTheChangesWhenTheSaveFails) {
    const QString share = dir.filePath(QStringLiteral("share"));
    const QString away = dir.filePath(QStringLiteral("share-away"));
    const QString plate = QDir(share).filePath(QStringLiteral("P1.tzmp"));
    QDir().mkpath(share);
    {
        CTesselDoc made;
        Fill(made);
        ASSERT_TRUE(made.Save(plate));
    }
    CTesselDoc doc;
    ASSERT_TRUE(doc.Open(plate));
    // The share goes away: an unchanged plate needs no save, a changed one cannot be saved.
    ASSERT_TRUE(QDir().rename(share, away));
    EXPECT_TRUE(doc.SaveIfModified());
    EXPECT_FALSE(QFileInfo::exists(share));
    doc.RotateItem(doc.ItemAt(0), true);
    const Result<void> failed = doc.SaveIfModified();
    EXPECT_FALSE(failed.ok());
    const QString& error = failed.error();
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(QDir().rename(away, share));
    EXPECT_TRUE(Succeeded(doc.SaveIfModified()));
    EXPECT_FALSE(doc.IsModified());
    CTesselDoc reopened;
    ASSERT_TRUE(reopened.Open(plate));
    EXPECT_EQ(reopened.ItemAt(0)->rotate, 90);
}

// A full disk fails the save with its reason; the plate file keeps what it
// held and the plate stays modified, so nothing claims it was saved.
TEST_F(DocumentFile, AFullDiskFailsTheSaveAndKeepsThePlateFile) {
    FullDisk disk;
    SCOPED_TRACE(disk.Kind().toStdString());
    const QString plate = disk.File(QStringLiteral("판 P1.tzmp"));
    {
        CTesselDoc made;
        Fill(made);
        ASSERT_TRUE(made.Save(plate));
    }
    const QByteArray saved = ReadAll(plate);
    CTesselDoc doc;
    ASSERT_TRUE(doc.Open(plate));
    doc.RotateItem(doc.ItemAt(0), true);
    disk.Fill();
    const Result<void> failed = doc.SaveIfModified();
    EXPECT_FALSE(failed.ok());
    const QString& error = failed.error();
    EXPECT_TRUE(error.contains(QStringLiteral("No space left"))) << error.toStdString();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadAll(plate), saved);
    QStringList files = QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QStringLiteral(".filler"));
    EXPECT_EQ(files, QStringList{QStringLiteral("판 P1.tzmp")}) << "no temporary is left";
    disk.Free();
    EXPECT_TRUE(Succeeded(doc.SaveIfModified()));
    CTesselDoc reopened;
    ASSERT_TRUE(reopened.Open(plate));
    EXPECT_EQ(reopened.ItemAt(0)->rotate, 90);
}

TEST_F(DocumentFile, LinesWithUnknownColoursAreKeptAndReportedOnce) {
    QTemporaryDir stock;
    CZelColorPresets colors;
    colors.Load(stock.path());
    ScriptedOperator op;
    CTesselDoc doc;
    Fill(doc);
    std::vector<FreeLine> lines = doc.Lines();
    lines.push_back({1, 1, 2, 3, 0.1, QStringLiteral("가게 색")});
    doc.SetLines(lines);
    ASSERT_TRUE(doc.Save(path));

    CTesselDoc reopened;
    reopened.SetContext({.colors = &colors, .op = &op});
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_EQ(reopened.Lines().size(), 3u);
    ASSERT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(op.messages[0].contains(QStringLiteral("\"가게 색\"")));
    EXPECT_EQ(reopened.TextBoxes()[0].contentColor, QStringLiteral("없는 색"));
}

TEST_F(DocumentFile, ApplyToPresetCopiesThePlatesOwnLines) {
    QTemporaryDir home;
    programfolder::SetHome(home.path());
    CZelDocumentPreset preset;
    preset.Width() = 636.0;
    QDir().mkpath(CZelDocumentPreset::Folder());
    ASSERT_TRUE(preset.Save(CZelDocumentPreset::PathOf(QStringLiteral("명함 국전"))));

    CTesselDoc doc;
    Fill(doc);
    ASSERT_TRUE(doc.Save(path));
    CTesselDoc reopened;
    ScriptedOperator op;
    reopened.SetContext({.op = &op});
    ASSERT_TRUE(reopened.Open(path));
    ASSERT_TRUE(reopened.ApplyToPreset());
    EXPECT_EQ(op.messages, QStringList{QStringLiteral("프리셋 \"명함 국전\"에 적용되었습니다.")});

    CZelDocumentPreset updated;
    ASSERT_TRUE(updated.Load(CZelDocumentPreset::PathOf(QStringLiteral("명함 국전"))));
    EXPECT_EQ(updated.Width().toDouble(), 636.0);
    int lines = 0;
    for (CMTItem* line = updated.FirstLine(); line; line = line->NextSibling())
        ++lines;
    EXPECT_EQ(lines, 2);

    // A preset read in part, or a file of another kind, is not written back.
    const QString presetPath = CZelDocumentPreset::PathOf(QStringLiteral("명함 국전"));
    const QByteArray good = ReadAll(presetPath);
    for (const QByteArray& bad :
         {QByteArray(good).replace("</LINE>", "</LINEX>"),
          QByteArray(good).replace("\"Imposer Document Preset\"", "\"Imposer Document\"")}) {
        QFile file(presetPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bad);
        file.close();
        op.messages.clear();
        const Result<void> failed = reopened.ApplyToPreset();
        EXPECT_FALSE(failed.ok());
        const QString& error = failed.error();
        EXPECT_TRUE(error.contains(presetPath)) << error.toStdString();
        EXPECT_TRUE(op.messages.isEmpty());
        EXPECT_EQ(ReadAll(presetPath), bad);
    }
    programfolder::SetHome(QString());
}
