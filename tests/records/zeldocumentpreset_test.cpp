#include "records/programfolder.h"
#include "records/zeldocumentpreset.h"
#include "records/zelmtdocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Edge = CZelDocumentPreset::Edge;
using Bar = CZelDocumentPreset::ColorBarPosition;
using FontKind = CZelDocumentPreset::FontKind;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

LogFont SampleFont(const QString& face) {
    LogFont font;
    font.lfHeight = -24;
    font.lfWidth = 0;
    font.lfEscapement = 900;
    font.lfOrientation = 900;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfUnderline = 0;
    font.lfStrikeOut = 1;
    font.lfCharSet = 129;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 1;
    font.lfPitchAndFamily = 34;
    font.lfFaceName = face;
    return font;
}

void AddLine(CZelDocumentPreset& preset, int dir, double start, const QString& color) {
    CTzmpItem* lines = preset.Lines() ? preset.Lines() : preset.AddLines();
    CTzmpItem* line = preset.AddLine(lines);
    preset.LineValue(line, "LINE_DIR") = std::int32_t(dir);
    preset.LineValue(line, "LINE_START") = start;
    preset.LineValue(line, "LINE_END") = start + 100;
    preset.LineValue(line, "LINE_OFFSET") = 12.5;
    preset.LineValue(line, "LINE_WEIGHT") = 0.25;
    preset.LineValue(line, "LINE_COLOR") = color;
}

std::vector<double> LineStarts(CZelDocumentPreset& preset) {
    std::vector<double> starts;
    for (CMTItem* line = preset.FirstLine(); line; line = line->NextSibling())
        starts.push_back(preset.LineValue(CTzmpTree::Typed(line), "LINE_START").toDouble());
    return starts;
}

} // namespace

TEST(DocumentPreset, EveryKeyRoundTripsThroughAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("명함 90x50.tzdp"));

    CZelDocumentPreset preset;
    preset.Name() = QStringLiteral("명함 90x50");
    preset.PaperType() = QStringLiteral("스노우지 250g");
    preset.PaperSide() = std::int32_t(2);
    preset.Color(false) = std::int32_t(1);
    preset.Color(true) = std::int32_t(0);
    preset.Imposition() = std::int32_t(1);
    preset.Quantity() = 1000.0;
    preset.PressUnit() = std::int32_t(1);
    preset.PQuantity() = std::int32_t(500);
    preset.Comment() = QStringLiteral("급함 <오늘>");
    preset.AfterWork() = QStringLiteral("코팅;재단");
    preset.Size() = QStringLiteral("국전지");
    preset.Width() = 636.0;
    preset.Height() = 469.0;
    preset.GridWidth() = 92.0;
    preset.GridHeight() = 52.0;
    for (int e = 0; e < 4; ++e) {
        preset.Margin(Edge(e)) = 10.0 + e;
        preset.CutMargin(Edge(e)) = 1.0 + e / 10.0;
        preset.PlateCrop(Edge(e)) = std::int32_t(e % 2);
        preset.RegistrationMark(Edge(e)) = std::int32_t(1 - e % 2);
    }
    for (int b = 0; b < 8; ++b)
        preset.ColorBar(Bar(b)) = std::int32_t(b % 3 == 0);
    preset.ArrangeDirection() = std::int32_t(5);
    preset.ArrangeMaxJob() = std::int32_t(1);
    preset.TitlePosition() = std::int32_t(2);
    preset.TitleItems() = QStringLiteral("1;2;5");
    preset.TitleAlign() = std::int32_t(1);
    preset.ColorBarAlign() = std::int32_t(2);
    preset.ColorBarName() = QStringLiteral("기본 컬러바");
    preset.RegistrationMarkAlign() = std::int32_t(1);
    preset.RegistrationMarkName() = QStringLiteral("Register/Small");
    preset.SetFont(FontKind::Title, SampleFont(QStringLiteral("맑은 고딕")));
    preset.SetFont(FontKind::Barcode, SampleFont(QString(31, QLatin1Char('F'))));
    AddLine(preset, 0, 5.0, QStringLiteral("Registration"));
    AddLine(preset, 1, 7.5, QStringLiteral("Cyan"));
    ASSERT_TRUE(preset.Save(path));

    const QByteArray bytes = ReadAll(path);
    EXPECT_TRUE(bytes.startsWith(
        "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<TESSEL_DOCUMENT_MARKUPS>\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n      <QUANTITY>1000.0</QUANTITY>\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n      <WIDTH>636.000</WIDTH>\r\n"));
    EXPECT_TRUE(bytes.contains("<lfCharSet>129</lfCharSet>"));
    EXPECT_TRUE(
        bytes.contains("<REGISTRATION_MARK_NAME>\"Register$$2fSmall\"</REGISTRATION_MARK_NAME>"));

    CZelDocumentPreset loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded.Name().toString(), QStringLiteral("명함 90x50"));
    EXPECT_EQ(loaded.PaperType().toString(), QStringLiteral("스노우지 250g"));
    EXPECT_EQ(loaded.PaperSide().toInt(), 2);
    EXPECT_EQ(loaded.Color(false).toInt(), 1);
    EXPECT_EQ(loaded.Color(true).toInt(), 0);
    EXPECT_EQ(loaded.Imposition().toInt(), 1);
    EXPECT_EQ(loaded.Quantity().toDouble(), 1000.0);
    EXPECT_EQ(loaded.PressUnit().toInt(), 1);
    EXPECT_EQ(loaded.PQuantity().toInt(), 500);
    EXPECT_EQ(loaded.Comment().toString(), QStringLiteral("급함 <오늘>"));
    EXPECT_EQ(loaded.AfterWork().toString(), QStringLiteral("코팅;재단"));
    EXPECT_EQ(loaded.Size().toString(), QStringLiteral("국전지"));
    EXPECT_EQ(loaded.Width().toDouble(), 636.0);
    EXPECT_EQ(loaded.Height().toDouble(), 469.0);
    EXPECT_EQ(loaded.GridWidth().toDouble(), 92.0);
    EXPECT_EQ(loaded.GridHeight().toDouble(), 52.0);
    for (int e = 0; e < 4; ++e) {
        EXPECT_EQ(loaded.Margin(Edge(e)).toDouble(), 10.0 + e);
        EXPECT_DOUBLE_EQ(loaded.CutMargin(Edge(e)).toDouble(), 1.0 + e / 10.0);
        EXPECT_EQ(loaded.PlateCrop(Edge(e)).toInt(), e % 2);
        EXPECT_EQ(loaded.RegistrationMark(Edge(e)).toInt(), 1 - e % 2);
    }
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(loaded.ColorBar(Bar(b)).toInt(), b % 3 == 0) << b;
    EXPECT_EQ(loaded.ArrangeDirection().toInt(), 5);
    EXPECT_EQ(loaded.ArrangeMaxJob().toInt(), 1);
    EXPECT_EQ(loaded.TitlePosition().toInt(), 2);
    EXPECT_EQ(loaded.TitleItems().toString(), QStringLiteral("1;2;5"));
    EXPECT_EQ(loaded.TitleAlign().toInt(), 1);
    EXPECT_EQ(loaded.ColorBarAlign().toInt(), 2);
    EXPECT_EQ(loaded.ColorBarName().toString(), QStringLiteral("기본 컬러바"));
    EXPECT_EQ(loaded.RegistrationMarkAlign().toInt(), 1);
    EXPECT_EQ(loaded.RegistrationMarkName().toString(), QStringLiteral("Register/Small"));
    LogFont title, barcode;
    ASSERT_TRUE(loaded.GetFont(FontKind::Title, title));
    ASSERT_TRUE(loaded.GetFont(FontKind::Barcode, barcode));
    EXPECT_EQ(title, SampleFont(QStringLiteral("맑은 고딕")));
    EXPECT_EQ(barcode, SampleFont(QString(31, QLatin1Char('F'))));
    EXPECT_EQ(LineStarts(loaded), (std::vector<double>{5.0, 7.5}));
    EXPECT_EQ(loaded.LineValue(loaded.FirstLine(), "LINE_COLOR").toString(),
              QStringLiteral("Registration"));

    // Reading changed nothing: the file written back is the same file.
    const QString again = dir.filePath(QStringLiteral("again.tzdp"));
    ASSERT_TRUE(loaded.Save(again));
    EXPECT_EQ(ReadAll(again), bytes);
}

TEST(DocumentPreset, LoadRewritesTheHeaderAndReadsMissingValuesAsZero) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.tzdp"));
    WriteAll(path, "<TESSEL_DOCUMENT_MARKUPS><DOCUMENT_TYPE>\"Something Else\"</DOCUMENT_TYPE>"
                   "<PAPER_PROPERTY><WIDTH>297</WIDTH></PAPER_PROPERTY></TESSEL_DOCUMENT_MARKUPS>");
    CZelDocumentPreset preset;
    ASSERT_TRUE(preset.Load(path));
    EXPECT_EQ(preset.Width().toDouble(), 297.0);
    EXPECT_EQ(preset.Margin(Edge::Top).toDouble(), 0.0);
    EXPECT_EQ(preset.PaperType().toString(), QString());
    LogFont font;
    EXPECT_FALSE(preset.GetFont(FontKind::Title, font));
    ASSERT_TRUE(preset.Save(path));
    const QByteArray bytes = ReadAll(path);
    EXPECT_TRUE(bytes.contains("<DOCUMENT_TYPE>\"Imposer Document Preset\"</DOCUMENT_TYPE>"));
    EXPECT_TRUE(bytes.contains("<WIDTH>297.000</WIDTH>"));
}

TEST(DocumentPreset, FailedLoadsNeverLeaveDanglingSections) {
    QTemporaryDir dir;
    CZelDocumentPreset preset;
    preset.Width() = 500.0;

    // A file that cannot be read leaves the object as it was.
    EXPECT_FALSE(preset.Load(dir.filePath(QStringLiteral("missing.tzdp"))));
    EXPECT_EQ(preset.Width().toDouble(), 500.0);
    EXPECT_FALSE(preset.LastError().isEmpty());

    // Files that give no element: the object is empty but whole.
    for (const QByteArray& content :
         {QByteArray(), QByteArray("<?xml version=\"1.0\"?>\r\n"), QByteArray("</X>")}) {
        const QString path = dir.filePath(QStringLiteral("broken.tzdp"));
        WriteAll(path, content);
        EXPECT_FALSE(preset.Load(path));
        EXPECT_EQ(preset.Width().toDouble(), 0.0);
        preset.Height() = 300.0;
        ASSERT_TRUE(preset.Save(path));
        CZelDocumentPreset reread;
        ASSERT_TRUE(reread.Load(path));
        EXPECT_EQ(reread.Height().toDouble(), 300.0);
    }
}

TEST(DocumentPreset, FaceNamesLongerThanTheFieldAreCut) {
    CZelDocumentPreset preset;
    const QString longName(40, QLatin1Char('N'));
    preset.SetFont(FontKind::Title, SampleFont(longName));
    LogFont font;
    ASSERT_TRUE(preset.GetFont(FontKind::Title, font));
    EXPECT_EQ(font.lfFaceName, longName.left(31));
}

TEST(DocumentPreset, CopyLines) {
    CZelDocumentPreset target;
    AddLine(target, 0, 1.0, QStringLiteral("Black"));

    CZelDocumentPreset noLines;
    target.CopyLines(noLines);
    EXPECT_EQ(LineStarts(target), std::vector<double>{1.0});

    CZelDocumentPreset emptyLines;
    emptyLines.AddLines();
    target.CopyLines(emptyLines);
    ASSERT_NE(target.Lines(), nullptr);
    EXPECT_TRUE(LineStarts(target).empty());

    CZelDocumentPreset source;
    AddLine(source, 1, 2.0, QStringLiteral("Cyan"));
    AddLine(source, 0, 3.0, QStringLiteral("Magenta"));
    CTzmpItem* partial = source.AddLine(source.Lines());
    source.LineValue(partial, "LINE_START") = 4.0; // the other keys are missing
    target.CopyLines(source);
    EXPECT_EQ(LineStarts(target), (std::vector<double>{2.0, 3.0, 4.0}));
    CTzmpItem* second = CTzmpTree::Typed(target.FirstLine()->NextSibling());
    EXPECT_EQ(target.LineValue(second, "LINE_COLOR").toString(), QStringLiteral("Magenta"));
    EXPECT_EQ(target.LineValue(second, "LINE_WEIGHT").toDouble(), 0.25);
    // The "LINES" element moved to the end of the root, as a new one.
    EXPECT_EQ(target.Root()->LastChild(), target.Lines());
}

TEST(DocumentPreset, ListingTheFolder) {
    QTemporaryDir dir;
    programfolder::SetHome(dir.filePath(QStringLiteral("설치")));
    QStringList names;
    ASSERT_TRUE(CZelDocumentPreset::ListPresets(names));
    EXPECT_TRUE(names.isEmpty());
    EXPECT_TRUE(QDir(CZelDocumentPreset::Folder()).exists());

    CZelDocumentPreset preset;
    for (const QString& name :
         {QStringLiteral("명함 90x50"), QStringLiteral("A4.v2"), QStringLiteral("스티커")}) {
        preset.Name() = name;
        ASSERT_TRUE(preset.Save(CZelDocumentPreset::PathOf(name)));
    }
    WriteAll(QDir(CZelDocumentPreset::Folder()).filePath(QStringLiteral("notes.txt")), "x");
    QDir(CZelDocumentPreset::Folder()).mkdir(QStringLiteral("folder.tzdp"));
    ASSERT_TRUE(CZelDocumentPreset::ListPresets(names));
    EXPECT_EQ(names, (QStringList{QStringLiteral("A4.v2"), QStringLiteral("명함 90x50"),
                                  QStringLiteral("스티커")}));

    // A folder that cannot be made lists nothing and says so.
    WriteAll(dir.filePath(QStringLiteral("blocked")), "x");
    programfolder::SetHome(dir.filePath(QStringLiteral("blocked")));
    EXPECT_FALSE(CZelDocumentPreset::ListPresets(names));
    EXPECT_TRUE(names.isEmpty());
    programfolder::SetHome(QString());
}

TEST(ZelMTDocument, ReadingEveryKeyLeavesTheTreeAndItsSaveAsTheyWere) {
    // A plate file holding only some of its keys, an item without OBJECT and
    // a text box without a font.
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("sparse.tzmp"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<TESSEL_DOCUMENT_MARKUPS>\r\n"
                   "   <DOCUMENT_TYPE>\"Imposer Document\"</DOCUMENT_TYPE>\r\n"
                   "   <VERSION>\"1.0\"</VERSION>\r\n"
                   "   <PLATE_INFORMATION>\r\n      <PAPER_SIDE>1</PAPER_SIDE>\r\n"
                   "   </PLATE_INFORMATION>\r\n"
                   "   <DOCUMENT_INFORMATION>\r\n      <JOB_CODE>\"P1\"</JOB_CODE>\r\n"
                   "   </DOCUMENT_INFORMATION>\r\n"
                   "   <PAGE>\r\n      <ITEM>\r\n         <JOB>\r\n"
                   "            <Ordernum>\"A\"</Ordernum>\r\n"
                   "         </JOB>\r\n      </ITEM>\r\n   </PAGE>\r\n"
                   "   <LINES>\r\n      <LINE>\r\n         <LINE_DIR>1</LINE_DIR>\r\n"
                   "      </LINE>\r\n   </LINES>\r\n"
                   "   <TEXTS>\r\n      <TEXT>\r\n         <TEXT_NAME>\"t\"</TEXT_NAME>\r\n"
                   "      </TEXT>\r\n   </TEXTS>\r\n"
                   "</TESSEL_DOCUMENT_MARKUPS>\r\n");
    }
    CZelMTDocument loaded;
    ASSERT_TRUE(loaded.LoadWhole(path, CZelMTDocument::kDocumentType))
        << loaded.LastError().toStdString();
    // The sections a plate always has are added on load, on purpose.
    const QByteArray before = loaded.Tree().Serialize();

    const CZelMTDocument& doc = loaded;
    using E = CZelDocumentPreset::Edge;
    QStringList read;
    for (const MarkupValue& value : {doc.Name(),
                                     doc.PaperType(),
                                     doc.PaperSide(),
                                     doc.Color(false),
                                     doc.Color(true),
                                     doc.Imposition(),
                                     doc.Quantity(),
                                     doc.PressUnit(),
                                     doc.PQuantity(),
                                     doc.Comment(),
                                     doc.AfterWork(),
                                     doc.Size(),
                                     doc.Width(),
                                     doc.Height(),
                                     doc.GridWidth(),
                                     doc.GridHeight(),
                                     doc.ArrangeDirection(),
                                     doc.ArrangeMaxJob(),
                                     doc.TitlePosition(),
                                     doc.TitleItems(),
                                     doc.TitleAlign(),
                                     doc.ColorBarAlign(),
                                     doc.ColorBarName(),
                                     doc.RegistrationMarkAlign(),
                                     doc.RegistrationMarkName(),
                                     doc.PresetName(),
                                     doc.JobDate(),
                                     doc.JobCode(),
                                     doc.UserAccount(),
                                     doc.UserInitial(),
                                     doc.UserName(),
                                     doc.PressQuantityText(),
                                     doc.PageCount()})
        read << value.toString();
    for (int e = 0; e < 4; ++e)
        read << doc.Margin(E(e)).toString() << doc.CutMargin(E(e)).toString()
             << doc.PlateCrop(E(e)).toString() << doc.RegistrationMark(E(e)).toString();
    for (int b = 0; b < 8; ++b)
        read << doc.ColorBar(CZelDocumentPreset::ColorBarPosition(b)).toString();
    LogFont font;
    EXPECT_FALSE(doc.GetFont(CZelDocumentPreset::FontKind::Title, font));
    const CTzmpItem* item = doc.FirstItem(doc.FirstPage());
    ASSERT_NE(item, nullptr);
    read << doc.JobValue(item, "Ordernum").toString() << doc.JobValue(item, "Width").toString()
         << doc.ObjectValue(item, "X").toString() << doc.Crop(item, 0).toString()
         << doc.CropMark(item, 7).toString();
    read << doc.LineValue(doc.FirstLine(), "LINE_DIR").toString()
         << doc.LineValue(doc.FirstLine(), "LINE_COLOR").toString();
    read << doc.TextValue(doc.FirstText(), "TEXT_NAME").toString()
         << doc.TextValue(doc.FirstText(), "TEXT_POSX").toString();
    EXPECT_FALSE(doc.GetTextFont(doc.FirstText(), font));

    // What is there reads back; what is missing reads empty and is not added.
    EXPECT_TRUE(read.contains(QStringLiteral("P1")));
    EXPECT_TRUE(read.contains(QStringLiteral("A")));
    EXPECT_EQ(doc.PaperSide().toInt(), 1);
    EXPECT_TRUE(doc.Width().isEmpty());
    EXPECT_EQ(loaded.Tree().Serialize(), before);
    const QString again = QDir(dir.path()).filePath(QStringLiteral("again.tzmp"));
    ASSERT_TRUE(loaded.Save(again));
    QFile saved(again);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
}
