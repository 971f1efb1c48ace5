#include "clirun.h"

#include "../records/recordfiles.h"

#include "engine/tesseldoc.h"
#include "records/zeldocumentpreset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(CliMarkup, DumpAndResaveAPreset) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("명함.tzdp"));
    CZelDocumentPreset preset;
    preset.Name() = QStringLiteral("명함");
    preset.Width() = 636.0;
    preset.Quantity() = 2.5;
    preset.PressUnit() = std::int32_t(1);
    ASSERT_TRUE(preset.Save(path));

    const CliRun dump = Cli({QStringLiteral("markup"), QStringLiteral("dump"), path});
    EXPECT_EQ(dump.code, 0) << dump.err.toStdString();
    EXPECT_TRUE(
        dump.out.startsWith(QStringLiteral("TESSEL_DOCUMENT_MARKUPS (T)\n"
                                           "   DOCUMENT_TYPE (T) = Imposer Document Preset\n"
                                           "   VERSION (T) = 1.0\n"
                                           "   NAME (T) = 명함\n"
                                           "   PLATE_INFORMATION\n")))
        << dump.out.toStdString();
    EXPECT_TRUE(dump.out.contains(QStringLiteral("\n      QUANTITY (D) = 2.5\n")));
    EXPECT_TRUE(dump.out.contains(QStringLiteral("\n      PRESS_UNIT (I) = 1\n")));
    EXPECT_TRUE(dump.out.contains(QStringLiteral("\n      WIDTH (D) = 636\n")));

    // The same file read as a document, with the kind named.
    const QString copy = dir.filePath(QStringLiteral("copy.bin"));
    const CliRun resave = Cli({QStringLiteral("markup"), QStringLiteral("resave"), path, copy,
                               QStringLiteral("--kind"), QStringLiteral("tzmp")});
    EXPECT_EQ(resave.code, 0) << resave.err.toStdString();
    EXPECT_EQ(ReadAll(copy), ReadAll(path));
}

TEST(CliMarkup, FailuresExitNonZeroWithOneLine) {
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.tzdp"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\r\n");
    file.close();

    const QStringList cases[] = {
        {QStringLiteral("markup"), QStringLiteral("dump"),
         dir.filePath(QStringLiteral("missing.tzdp"))},
        {QStringLiteral("markup"), QStringLiteral("dump"), dir.path(), QStringLiteral("--kind"),
         QStringLiteral("tzdp")},
        {QStringLiteral("markup"), QStringLiteral("dump"), bad},
        {QStringLiteral("markup"), QStringLiteral("dump"),
         dir.filePath(QStringLiteral("x.unknown"))},
        {QStringLiteral("markup"), QStringLiteral("dump"), bad, QStringLiteral("--kind"),
         QStringLiteral("nope")},
        {QStringLiteral("markup"), QStringLiteral("dump")},
        {QStringLiteral("markup"), QStringLiteral("resave"), bad,
         dir.filePath(QStringLiteral("out.tzdp"))},
        {QStringLiteral("no-such-command")},
    };
    for (const QStringList& args : cases) {
        const CliRun run = Cli(args);
        EXPECT_NE(run.code, 0) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("tessel-cli: "))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.tzdp"))));
}

// A file of another kind, or none at all, is named for what it is.
TEST(CliFiles, WrongFilesAreNamedForWhatTheyAre) {
    QTemporaryDir dir;
    const QString ticket = dir.filePath(QStringLiteral("BC1.tzjob"));
    const QString label = dir.filePath(QStringLiteral("명함 90x50.tzlp"));
    const QString pdf = QStringLiteral(TESSEL_TEST_DATA "/pdf/card-rotated.pdf");
    ASSERT_TRUE(recordfiles::Write(ticket, recordfiles::Record("Tessel Job Ticket", QString())));
    ASSERT_TRUE(recordfiles::Write(
        label, recordfiles::Record("Tessel Label Preset",
                                   recordfiles::Elements({{"WIDE", QStringLiteral("90")}}, 1))));
    const QString missing = dir.filePath(QStringLiteral("gone.tzmp"));
    const QString folder = dir.path();
    struct Case {
        QString line; // words separated by "|"
        int code;
        QString err; // the whole of standard error
    };
    const Case cases[] = {
        {QStringLiteral("plate|show|") + missing, 1, missing + QStringLiteral(": no such file")},
        {QStringLiteral("plate|show|") + ticket, 1,
         ticket + QStringLiteral(": not a plate file (it is a job ticket)")},
        {QStringLiteral("plate|show|") + pdf, 1,
         pdf + QStringLiteral(": not a plate file (it is a PDF file)")},
        {QStringLiteral("plate|show|") + folder, 1,
         folder + QStringLiteral(": is a folder, not a file")},
        {QStringLiteral("plate|cutplan|") + ticket, 1,
         ticket + QStringLiteral(": not a plate file (it is a job ticket)")},
        {QStringLiteral("jobs|list|") + ticket, 1,
         ticket + QStringLiteral(": is a file, not a folder")},
        {QStringLiteral("jobs|list|") + missing, 1, missing + QStringLiteral(": no such folder")},
        {QStringLiteral("pdf|info|") + ticket, 1, ticket + QStringLiteral(": not a PDF file")},
        {QStringLiteral("pdf|info|") + missing, 1, missing + QStringLiteral(": no such file")},
        {QStringLiteral("markup|dump|") + missing, 1, missing + QStringLiteral(": no such file")},
        {QStringLiteral("markup|dump|") + ticket + QStringLiteral("|--kind|tzdp"), 0,
         QStringLiteral("warning: ") + ticket +
             QStringLiteral(": the file is a job ticket (tzjob), read as a document preset as "
                            "--kind tzdp asks")},
        {QStringLiteral("markup|dump|") + label, 0, QString()},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.line.split(QLatin1Char('|')));
        EXPECT_EQ(run.code, c.code) << c.line.toStdString() << "\n" << run.err.toStdString();
        EXPECT_EQ(run.err, c.err.isEmpty()
                               ? QString()
                               : QStringLiteral("tessel-cli: ") + c.err + QLatin1Char('\n'))
            << c.line.toStdString();
    }
    // A label file is read with its own keys: its size is a number.
    const CliRun dump = Cli({QStringLiteral("markup"), QStringLiteral("dump"), label});
    EXPECT_TRUE(dump.out.contains(QStringLiteral("WIDE (D) = 90"))) << dump.out.toStdString();
}

TEST(CliPlate, ShowPrintsSettingsGeometryAndItems) {
    QTemporaryDir dir;
    CTesselDoc doc;
    PlateProperties p;
    p.jobCode = QStringLiteral("P-0001");
    p.paperSideSetting = 2;
    p.turnDirection = 0;
    p.width = 640;
    p.height = 460;
    p.margin = {10, 10, 10, 10};
    p.gridWidth = 92;
    p.gridHeight = 52;
    p.quantity = 2;
    p.pressUnit = 1;
    p.Normalize();
    doc.SetProperties(p);
    auto item = std::make_unique<CZelItem>();
    item->ordernum = QStringLiteral("주문-1");
    item->pcases = 2;
    item->mediaInd = 1;
    item->width = 90;
    item->height = 50;
    item->x = 102;
    item->y = 10;
    item->rotate = 90;
    doc.AddItem(std::move(item));
    // Items for each way a label comes to apply.
    const struct {
        const char* ordernum;
        double width, height;
        const char* chosen;
    } others[] = {
        {"고름", 90, 50, "고른 라벨"}, {"지움", 90, 50, "지운 라벨"}, {"작음", 40, 30, ""}};
    for (const auto& o : others) {
        auto other = std::make_unique<CZelItem>();
        other->ordernum = QString::fromUtf8(o.ordernum);
        other->width = o.width;
        other->height = o.height;
        other->labelName = QString::fromUtf8(o.chosen);
        doc.AddItem(std::move(other));
    }
    const QString path = dir.filePath(QStringLiteral("P-0001.tzmp"));
    ASSERT_TRUE(doc.Save(path));

    const CliRun show = Cli({QStringLiteral("plate"), QStringLiteral("show"), path});
    EXPECT_EQ(show.code, 0) << show.err.toStdString();
    const QString out = show.out;
    EXPECT_TRUE(out.contains(QStringLiteral("돈땡 (수평 대첩)"))) << out.toStdString();
    EXPECT_TRUE(out.contains(
        QStringLiteral("Layout: 320 mm * 460 mm; usable 310 mm * 440 mm at (10 mm, 10 mm)")));
    EXPECT_TRUE(out.contains(QStringLiteral("Grid: 92 mm * 52 mm, 3 columns x 8 rows (24 cells)")));
    EXPECT_TRUE(out.contains(QStringLiteral("Sides: A, L (2 output plates)")));
    EXPECT_TRUE(out.contains(QStringLiteral("Quantity: 2.0연, 1000 sheets per plate")));
    EXPECT_TRUE(out.contains(
        QStringLiteral("1. 주문-1 case 2/2 at (102 mm, 10 mm) size 50 mm * 90 mm rotate 90")));
    // Without an installation only the chosen labels are known.
    EXPECT_TRUE(out.contains(QStringLiteral(" label (automatic)\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral(" label 지운 라벨\n")));

    // With the shop's labels, the label that applies to each item.
    const QString home = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/Preferences"));
    QString keys;
    for (const char* key : {"USERS_DIR", "PRESET_DIR", "JOBS_DIR", "PDFS_DIR", "PROGRESS_DIR",
                            "RELEASE_DIR", "LOCAL_WORK_DIR"}) {
        QDir().mkpath(dir.filePath(QLatin1String(key)));
        keys += recordfiles::Elements({{key, recordfiles::Q(dir.filePath(QLatin1String(key)))}}, 1);
    }
    ASSERT_TRUE(recordfiles::Write(home + QStringLiteral("/Preferences/TesselPreference.tzpr"),
                                   recordfiles::Record("Tessel Preference", keys)));
    const QString labels = dir.filePath(QStringLiteral("PRESET_DIR/Labels"));
    QDir().mkpath(labels);
    for (const auto& [name, wide, high] :
         {std::tuple{"명함90x50", "90.000", "50.000"}, std::tuple{"고른 라벨", "85.000", "45.000"}})
        ASSERT_TRUE(recordfiles::Write(
            labels + QLatin1Char('/') + QString::fromUtf8(name) + QStringLiteral(".tzlp"),
            recordfiles::Record(
                "Tessel Label Preset",
                QStringLiteral("   <LABLE>\r\n") +
                    recordfiles::Elements(
                        {{"WIDE", QLatin1String(wide)}, {"HIGH", QLatin1String(high)}}, 2) +
                    QStringLiteral("   </LABLE>\r\n"))));
    const CliRun shop = Cli(
        {QStringLiteral("--home"), home, QStringLiteral("plate"), QStringLiteral("show"), path});
    ASSERT_EQ(shop.code, 0) << shop.err.toStdString();
    const QString expected[] = {
        QStringLiteral("주문-1 case 2/2 at (102 mm, 10 mm) size 50 mm * 90 mm rotate 90 own cut "
                       "off frame off label 명함90x50 (automatic)\n"),
        QStringLiteral(" label 고른 라벨\n"),
        QStringLiteral(" label 명함90x50 (automatic; chosen 지운 라벨 not found)\n"),
        QStringLiteral(" label none (no label fits)\n"),
    };
    for (const QString& line : expected)
        EXPECT_TRUE(shop.out.contains(line)) << line.toStdString() << " in\n"
                                             << shop.out.toStdString();

    const CliRun missing = Cli({QStringLiteral("plate"), QStringLiteral("show"),
                                dir.filePath(QStringLiteral("none.tzmp"))});
    EXPECT_NE(missing.code, 0);
}

// A read-only command writes no record: the preference file with a mistyped
// closing tag keeps every byte (a save at exit once cut it to its header),
// and so do the shop's colours and the folders' listings.
TEST(CliPlate, ShowWritesNoRecord) {
    QTemporaryDir dir;
    CTesselDoc doc;
    PlateProperties p;
    p.jobCode = QStringLiteral("P-2");
    p.width = 300, p.height = 200;
    doc.SetProperties(p);
    const QString plate = dir.filePath(QStringLiteral("P-2.tzmp"));
    ASSERT_TRUE(doc.Save(plate));

    const QString home = dir.filePath(QStringLiteral("home"));
    const QString preference = home + QStringLiteral("/Preferences/TesselPreference.tzpr");
    const QString colours = home + QStringLiteral("/Presets/Stock Presets/ZelColorPresets.tzst");
    QDir().mkpath(QFileInfo(preference).path());
    QDir().mkpath(QFileInfo(colours).path());
    QString keys;
    for (const char* key : {"USERS_DIR", "PRESET_DIR", "JOBS_DIR", "PDFS_DIR", "PROGRESS_DIR",
                            "RELEASE_DIR", "LOCAL_WORK_DIR"}) {
        QDir().mkpath(dir.filePath(QLatin1String(key)));
        keys += recordfiles::Elements({{key, recordfiles::Q(dir.filePath(QLatin1String(key)))}}, 1);
    }
    const QByteArray whole = recordfiles::Record("Tessel Preference", keys);
    const QByteArray colourBytes = recordfiles::Record(
        "Tessel Color Presets",
        QStringLiteral("   <COLOR_PRESET>\n") +
            recordfiles::Elements(
                {{"COLOR_NAME", recordfiles::Q(QStringLiteral("금"))}, {"C", QStringLiteral("20")}},
                2) +
            QStringLiteral("   </COLOR_PRESET>\n"));
    const struct {
        const char* name;
        QByteArray bytes;
        bool whole;
    } cases[] = {
        {"whole", whole, true},
        {"mistyped closing tag", QByteArray(whole).replace("</JOBS_DIR>", "</JOBS_DRI>"), false},
        {"mistyped first closing tag", QByteArray(whole).replace("</USERS_DIR>", "</USER_DIR>"),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(recordfiles::Write(preference, c.bytes));
        ASSERT_TRUE(recordfiles::Write(colours, colourBytes));
        const QStringList before = QDir(home).entryList(QDir::AllEntries | QDir::Hidden);
        const CliRun show = Cli({QStringLiteral("--home"), home, QStringLiteral("plate"),
                                 QStringLiteral("show"), plate});
        EXPECT_EQ(show.code, 0) << show.err.toStdString();
        // Nor a work folder beside the plate.
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("P-2"))));
        if (!c.whole)
            EXPECT_TRUE(show.err.contains(QStringLiteral("kept as it is")))
                << show.err.toStdString();
        EXPECT_EQ(ReadAll(preference), c.bytes);
        EXPECT_EQ(ReadAll(colours), colourBytes);
        EXPECT_EQ(QDir(home).entryList(QDir::AllEntries | QDir::Hidden), before);
    }
}
