// The whole road of a product folder's orders on a fresh demo shop, through
// tessel-cli as an operator drives it: plate, placing, saving, press files,
// summary file and registration.
#include "clirun.h"
#include "tests/succeeded.h"

#include "../registration/loopbackserver.h"
#include "engine/tesseldoc.h"
#include "markup/cp949.h"
#include "pdfbinding/pdfserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Names(const QString& folder, const QString& filter) {
    return QDir(folder).entryList({filter}, QDir::Files, QDir::Name);
}

// The orders of "명함/일반" as they end up on the plate: the most cases
// first, then folder order; each case once per 500 sheets it needs.
struct Slot {
    const char* ordernum;
    int caseNumber;
    int copy;
};
const Slot kSlots[] = {
    {"BC2403110011", 1, 1}, {"BC2403110011", 2, 1}, {"BC2403110011", 3, 1}, {"BC2403110011", 4, 1},
    {"BC2403110005", 1, 1}, {"BC2403110005", 2, 1}, {"BC2403110005", 3, 1}, {"BC2403110002", 1, 1},
    {"BC2403110002", 2, 1}, {"BC2403110008", 1, 1}, {"BC2403110008", 2, 1}, {"BC2403110001", 1, 1},
    {"BC2403110003", 1, 1}, {"BC2403110003", 1, 2}, {"BC2403110004", 1, 1}, {"BC2403110006", 1, 1},
    {"BC2403110007", 1, 1}, {"BC2403110007", 1, 2}, {"BC2403110007", 1, 3}, {"BC2403110007", 1, 4},
    {"BC2403110009", 1, 1}, {"BC2403110010", 1, 1}, {"BC2403110012", 1, 1}, {"BC2403110012", 1, 2},
};
constexpr int kSlotCount = static_cast<int>(std::size(kSlots));

class Road : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_temp = std::make_unique<QTemporaryDir>();
        s_shop = QDir(s_temp->path()).filePath(QStringLiteral("데모 인쇄소"));
        s_made = Cli({QStringLiteral("demo-shop"), s_shop});
    }
    static void TearDownTestSuite() { s_temp.reset(); }

    void SetUp() override { ASSERT_EQ(s_made.code, 0) << s_made.err.toStdString(); }

    CliRun Shop(QStringList arguments) const {
        arguments.prepend(s_shop);
        arguments.prepend(QStringLiteral("--home"));
        return Cli(arguments);
    }
    QString In(const QString& relative) const { return QDir(s_shop).filePath(relative); }

    static std::unique_ptr<QTemporaryDir> s_temp;
    static QString s_shop;
    static CliRun s_made;
};

std::unique_ptr<QTemporaryDir> Road::s_temp;
QString Road::s_shop;
CliRun Road::s_made;

} // namespace

TEST_F(Road, FromTicketsToPressFilesAndRegistration) {
    const QString jobFolder = In(QStringLiteral("Shared/JobTickets/명함/일반"));
    ASSERT_EQ(Names(jobFolder, QStringLiteral("*.tzjob")).size(), 12);

    // A wrong password stops before anything is made.
    CliRun run = Shop({QStringLiteral("plate"), QStringLiteral("new"), QStringLiteral("--preset"),
                       QStringLiteral("명함 양면 국2절 92x52"), QStringLiteral("--type"),
                       QStringLiteral("P"), QStringLiteral("--date"), QStringLiteral("2026-03-11"),
                       QStringLiteral("--account"), QStringLiteral("demo"),
                       QStringLiteral("--password"), QStringLiteral("wrong")});
    EXPECT_NE(run.code, 0);
    EXPECT_TRUE(Names(In(QStringLiteral("Local/Work")), QStringLiteral("*.tzmp")).isEmpty());

    // No password anywhere (and no terminal to ask on): a usage error.
    const QStringList newPlate = {
        QStringLiteral("plate"),     QStringLiteral("new"),
        QStringLiteral("--preset"),  QStringLiteral("명함 양면 국2절 92x52"),
        QStringLiteral("--type"),    QStringLiteral("P"),
        QStringLiteral("--date"),    QStringLiteral("2026-03-11"),
        QStringLiteral("--account"), QStringLiteral("demo")};
    run = Shop(newPlate);
    EXPECT_EQ(run.code, 2) << run.err.toStdString();
    EXPECT_TRUE(Names(In(QStringLiteral("Local/Work")), QStringLiteral("*.tzmp")).isEmpty());

    // The plate: named from its type and date, in the local work folder.
    const QString passwordFile = s_temp->filePath(QStringLiteral("password"));
    {
        QFile file(passwordFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("demo\n") == 5);
    }
    run = Shop(newPlate + QStringList{QStringLiteral("--password-file"), passwordFile});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString plate = In(QStringLiteral("Local/Work/P260311001.tzmp"));
    EXPECT_EQ(run.out, plate + QLatin1Char('\n'));

    // Placing takes every ticket with its artwork out of the job folder into
    // the plate's progress folder.
    run = Shop({QStringLiteral("plate"), QStringLiteral("place"), plate, jobFolder,
                QStringLiteral("--yes")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(QDir(jobFolder).entryList(QDir::Files).isEmpty());
    const QString progress = In(QStringLiteral("Shared/Progress/demo/P260311001"));
    EXPECT_EQ(Names(progress, QStringLiteral("*.tzjob")).size(), 12);
    EXPECT_EQ(Names(progress, QStringLiteral("*.pdf")).size(), 12);

    // Items fill the 6 x 8 grid of 92 x 52 mm cells from (12, 20) row by row,
    // one cell each; portrait cards lie turned in their cells.
    {
        CTesselDoc doc;
        ASSERT_TRUE(Succeeded(doc.Open(plate)));
        ASSERT_EQ(doc.ItemCount(), kSlotCount);
        for (int k = 0; k < kSlotCount; ++k) {
            const CZelItem& item = *doc.ItemAt(k);
            SCOPED_TRACE(k);
            EXPECT_EQ(item.ordernum, QLatin1String(kSlots[k].ordernum));
            EXPECT_EQ(item.mediaInd + 1, kSlots[k].caseNumber);
            EXPECT_DOUBLE_EQ(item.x, 12 + 92 * (k % 6));
            EXPECT_DOUBLE_EQ(item.y, 20 + 52 * (k / 6));
            EXPECT_TRUE(item.objPath.startsWith(progress)) << item.objPath.toStdString();
            EXPECT_EQ(item.rotate, item.width < item.height ? 90 : 0);
        }

        // Saved and opened again, the plate writes the same bytes.
        const QString copy = In(QStringLiteral("Local/Work/copy.tzmp"));
        ASSERT_TRUE(Succeeded(doc.Save(copy)));
        EXPECT_EQ(ReadAll(copy), ReadAll(plate));
        QFile::remove(copy);
    }

    // Press files: the three side files beside the plate, merged into one
    // file in the press folder named after the plate's title.
    run = Shop({QStringLiteral("plate"), QStringLiteral("press"), plate});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString work = In(QStringLiteral("Local/Work/P260311001"));
    const QString pressed =
        In(QStringLiteral("Shared/Press/P260311001-명함 양면 국2절 92x52-스노우지 "
                          "250g-양면8도-500매-데모 작업자-2026-03-11.pdf"));
    const QStringList sideFiles = {work + QStringLiteral("_A.pdf"), work + QStringLiteral("_B.pdf"),
                                   work + QStringLiteral("_L.pdf")};
    // The cutter room's files come last, beside the side files.
    const QStringList cutPlan = {work + QStringLiteral("_cuts.pdf"),
                                 work + QStringLiteral("_cuts.csv")};
    EXPECT_EQ(run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              sideFiles + QStringList{pressed} + cutPlan);
    CPDFServer pdf;
    ASSERT_TRUE(pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
        << pdf.LoadError().toStdString();
    for (const QString& file : sideFiles + QStringList{pressed}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_TRUE(QpdfChecks(file));
        const int pages = pdf.ComposeCountPages(file);
        EXPECT_EQ(pages, file == pressed ? 3 : 1);
        for (int page = 1; page <= pages; ++page) {
            double width = 0, height = 0;
            ASSERT_TRUE(pdf.MiscGetPageSize(file, page, width, height));
            EXPECT_NEAR(width, 636, 0.01);
            EXPECT_NEAR(height, 469, 0.01);
        }
    }
    // Side A carries artwork in the first cell and none in the last row.
    const QString image = s_temp->filePath(QStringLiteral("side-a.jpg"));
    ASSERT_TRUE(pdf.ExportImage(sideFiles[0], 1, image, 10));
    const QImage sheet(image);
    ASSERT_FALSE(sheet.isNull());
    // Mean lightness (0..255) of a grid cell at 10 dpi.
    auto cellLightness = [&sheet](int column, int row) {
        const int x0 = static_cast<int>((12 + 92 * column) / 25.4 * 10),
                  y0 = static_cast<int>((20 + 52 * row) / 25.4 * 10);
        const int w = static_cast<int>(90 / 25.4 * 10), h = static_cast<int>(50 / 25.4 * 10);
        long sum = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                sum += sheet.pixelColor(x, y).lightness();
        return sum / (w * h);
    };
    EXPECT_LT(cellLightness(1, 0), 240); // a card
    EXPECT_GT(cellLightness(3, 7), 250); // an empty cell

    // The summary file, in code page 949: the plate's record, its work steps
    // and one line per slot.
    QString summary = QStringLiteral(
        "P260311001:스노우지 250g:명함 양면 국2절 92x52:4/4:500:2026-03-11:DM:일반명함 양면 판\n"
        "인쇄:재단:::::출력\n");
    QString orderFields;
    for (int k = 0; k < kSlotCount; ++k) {
        const QString seq = QStringLiteral("%1%2")
                                .arg(kSlots[k].caseNumber, 3, 10, QLatin1Char('0'))
                                .arg(kSlots[k].copy, 3, 10, QLatin1Char('0'));
        summary += QStringLiteral("%1:%2\n").arg(QLatin1String(kSlots[k].ordernum), seq);
        orderFields +=
            QStringLiteral("&Ordernum_%1=%2").arg(k + 1).arg(QLatin1String(kSlots[k].ordernum));
    }
    for (int k = 0; k < kSlotCount; ++k)
        orderFields += QStringLiteral("&Seq_%1=%2%3")
                           .arg(k + 1)
                           .arg(kSlots[k].caseNumber, 3, 10, QLatin1Char('0'))
                           .arg(kSlots[k].copy, 3, 10, QLatin1Char('0'));
    EXPECT_EQ(ReadAll(In(QStringLiteral("Local/Work/P260311001.txt"))),
              cp949::FromUnicode(summary));

    // Registration: the form reaches the shop's server with a sheet entry per slot.
    LoopbackServer server("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nOK");
    run = Shop({QStringLiteral("plate"), QStringLiteral("register"), plate, QStringLiteral("--url"),
                QStringLiteral("http://127.0.0.1:%1/pan/reg.asp").arg(server.Port())});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("registered P260311001: HTTP/1.0 200 OK\n"));
    const QByteArray request = server.Received();
    const qsizetype split = request.indexOf("\r\n\r\n");
    ASSERT_GT(split, 0);
    EXPECT_TRUE(request.startsWith("POST /pan/reg.asp HTTP/1.0\r\n"))
        << request.left(split).constData();
    const QString form = cp949::ToUnicode(request.mid(split + 4));
    EXPECT_TRUE(form.startsWith(
        QStringLiteral("PanNum1=P260311001&PanPaper=스노우지 250g&PanSize=명함 양면 국2절 92x52&")))
        << form.toStdString();
    EXPECT_TRUE(form.endsWith(QStringLiteral("&Maxnum=%1").arg(kSlotCount) + orderFields))
        << form.toStdString();
}

TEST_F(Road, PlacingAnswersQuestionsByFlagAndLeavesNoTicketBehind) {
    const QString stickers = In(QStringLiteral("Shared/JobTickets/스티커"));
    CliRun run =
        Shop({QStringLiteral("plate"), QStringLiteral("new"), QStringLiteral("--preset"),
              QStringLiteral("스티커 4x6 4절 62x62"), QStringLiteral("--type"), QStringLiteral("S"),
              QStringLiteral("--date"), QStringLiteral("2026-04-01"), QStringLiteral("--account"),
              QStringLiteral("demo"), QStringLiteral("--password"), QStringLiteral("demo")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString plate = run.out.trimmed();
    auto place = [&](const QStringList& more) {
        return Shop(QStringList{QStringLiteral("plate"), QStringLiteral("place"), plate} + more);
    };
    const QString small =
        QDir(stickers).filePath(QStringLiteral("ST2403110025.tzjob")); // 500 of 1000 sheets

    // A drop point off the usable area fails before any ticket moves.
    run = place({stickers, QStringLiteral("--at"), QStringLiteral("0"), QStringLiteral("0"),
                 QStringLiteral("--yes")});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("outside the usable area")))
        << run.err.toStdString();
    EXPECT_EQ(Names(stickers, QStringLiteral("*.tzjob")).size(), 10);

    // Without a flag the first question fails the command; the ticket never moves.
    run = place({small});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("a question needs --yes or --no: 제품 \"ST2403110025\"의 주문매수(500매)")))
        << run.err.toStdString();
    EXPECT_TRUE(
        run.out.startsWith(QStringLiteral("not taken ST2403110025: the drop was cancelled\n")))
        << run.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(small));

    // --no answers it: cancelled, nothing placed.
    run = place({small, QStringLiteral("--no")});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(
        run.out.startsWith(QStringLiteral("not taken ST2403110025: the drop was cancelled\n")))
        << run.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(small));

    // One copy: every case once, whatever the quantity (ST2403110023 has 3 cases of 2000
    // sheets). A ticket cut short beside them is not taken: partly placed, exit code 3.
    const QString damaged =
        QDir(In(QStringLiteral("Shared/JobTickets"))).filePath(QStringLiteral("잘림.tzjob"));
    {
        const QByteArray whole = ReadAll(small);
        QFile cut(damaged);
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(whole.left(whole.size() * 6 / 10));
    }
    run = place({stickers, damaged, QStringLiteral("--one-copy"), QStringLiteral("--yes")});
    ASSERT_EQ(run.code, 3) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("not taken ST2403110025: ") + damaged +
                                 QStringLiteral(": not read whole")))
        << run.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(damaged));
    EXPECT_TRUE(run.out.contains(QStringLiteral("placed ST2403110023: 3 item(s)\n")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("placed ST2403110025: 1 item(s)\n")))
        << run.out.toStdString();
    EXPECT_TRUE(Names(stickers, QStringLiteral("*.tzjob")).isEmpty());
}

TEST_F(Road, ADamagedPresetMakesNoPlate) {
    // Half a preset would give a plate of default sizes: it is refused.
    const QString folder = In(QStringLiteral("Presets/Document Presets"));
    const QByteArray whole =
        ReadAll(QDir(folder).filePath(QStringLiteral("명함 국2절 92x52.tzdp")));
    QFile half(QDir(folder).filePath(QStringLiteral("반쪽.tzdp")));
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    half.write(whole.left(whole.size() / 2));
    half.close();
    const QStringList before = Names(In(QStringLiteral("Local/Work")), QStringLiteral("*.tzmp"));
    const CliRun run =
        Shop({QStringLiteral("plate"), QStringLiteral("new"), QStringLiteral("--preset"),
              QStringLiteral("반쪽"), QStringLiteral("--type"), QStringLiteral("N"),
              QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password"),
              QStringLiteral("demo")});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("반쪽.tzdp"))) << run.err.toStdString();
    EXPECT_EQ(Names(In(QStringLiteral("Local/Work")), QStringLiteral("*.tzmp")), before);
    half.remove();
}

// What scripts read: one JSON object per command, and nothing on standard
// error with --quiet unless something is wrong.
TEST_F(Road, ScriptsReadJsonAndQuietRunsSayNothing) {
    const QString folder = In(QStringLiteral("Shared/JobTickets/명함/고급"));
    const QStringList tickets = Names(folder, QStringLiteral("*.tzjob"));
    ASSERT_FALSE(tickets.isEmpty());
    auto json = [](const CliRun& run) {
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    };

    CliRun run =
        Shop({QStringLiteral("plate"), QStringLiteral("new"), QStringLiteral("--preset"),
              QStringLiteral("명함 양면 국2절 92x52"), QStringLiteral("--type"),
              QStringLiteral("P"), QStringLiteral("--date"), QStringLiteral("2026-05-02"),
              QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password"),
              QStringLiteral("demo"), QStringLiteral("--json")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString plate = json(run).value(QStringLiteral("path")).toString();
    EXPECT_EQ(json(run).value(QStringLiteral("plate")).toString(), QStringLiteral("P260502001"));
    ASSERT_TRUE(QFileInfo(plate).isFile()) << run.out.toStdString();

    // Counted for this plate: its 500 sheets and 92 x 52 mm cells.
    run = Shop({QStringLiteral("jobs"), QStringLiteral("list"), folder, QStringLiteral("--plate"),
                plate, QStringLiteral("--json")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QJsonObject list = json(run);
    EXPECT_EQ(list.value(QStringLiteral("plate_quantity")).toInt(), 500);
    EXPECT_EQ(list.value(QStringLiteral("grid"))[QStringLiteral("width_mm")].toDouble(), 92);
    const QJsonArray listed = list.value(QStringLiteral("orders")).toArray();
    ASSERT_EQ(listed.size(), tickets.size());
    long long places = 0;
    for (const QJsonValue& order : listed)
        places += order[QStringLiteral("places")].toInteger();
    EXPECT_TRUE(list.value(QStringLiteral("caption"))
                    .toString()
                    .endsWith(QStringLiteral(" %1 자리]").arg(places)))
        << run.out.toStdString();
    EXPECT_EQ(listed[0][QStringLiteral("columns")][QStringLiteral("주문번호")].toString(),
              listed[0][QStringLiteral("order")].toString());

    // Placed quietly: the questions' answers and the progress are left out.
    run = Shop({QStringLiteral("--quiet"), QStringLiteral("plate"), QStringLiteral("place"), plate,
                folder, QStringLiteral("--yes"), QStringLiteral("--json")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QString());
    const QJsonObject placed = json(run);
    const QJsonArray fates = placed.value(QStringLiteral("orders")).toArray();
    ASSERT_EQ(fates.size(), tickets.size());
    int items = 0;
    for (const QJsonValue& order : fates) {
        EXPECT_EQ(order[QStringLiteral("fate")].toString(), QStringLiteral("placed"));
        items += order[QStringLiteral("items")].toInt();
    }
    EXPECT_EQ(placed.value(QStringLiteral("item_count")).toInt(), items);
    EXPECT_TRUE(placed.value(QStringLiteral("saved")).toBool());
    EXPECT_EQ(places, items); // one cell per card

    const QByteArray plateBytes = ReadAll(plate);
    run = Shop({QStringLiteral("plate"), QStringLiteral("show"), plate, QStringLiteral("--json")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QJsonObject shown = json(run);
    EXPECT_EQ(shown.value(QStringLiteral("items")).toArray().size(), items);
    EXPECT_EQ(shown.value(QStringLiteral("grid"))[QStringLiteral("columns")].toInt(), 6);
    EXPECT_EQ(shown.value(QStringLiteral("sides")).toArray().size(), 3);
    run = Shop({QStringLiteral("plate"), QStringLiteral("show"), plate, QStringLiteral("--orders"),
                QStringLiteral("--json")});
    EXPECT_EQ(json(run).value(QStringLiteral("orders")).toArray().size(), tickets.size());
    EXPECT_EQ(ReadAll(plate), plateBytes);

    // The press folder: files of another press type are named, then replaced.
    const QString press = In(QStringLiteral("Shared/Press"));
    const QStringList before = Names(press, QStringLiteral("P260502001*"));
    auto makePress = [&](const QStringList& more) {
        return Shop(QStringList{QStringLiteral("--quiet"), QStringLiteral("plate"),
                                QStringLiteral("press"), plate, QStringLiteral("--json")} +
                    more);
    };
    run = makePress({QStringLiteral("--type"), QStringLiteral("2")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList split = Names(press, QStringLiteral("P260502001*"));
    EXPECT_EQ(split.size(), before.size() + 3);
    run = makePress({QStringLiteral("--type"), QStringLiteral("0")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(json(run).value(QStringLiteral("other_type_files_left")).toArray().size(), 3);
    EXPECT_TRUE(run.err.contains(QStringLiteral("give --replace to remove them")))
        << run.err.toStdString();
    run = makePress({QStringLiteral("--type"), QStringLiteral("0"), QStringLiteral("--replace")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QString());
    EXPECT_EQ(json(run).value(QStringLiteral("other_type_files_removed")).toArray().size(), 3);
    const QStringList one = Names(press, QStringLiteral("P260502001*"));
    ASSERT_EQ(one.size(), 1);
    EXPECT_TRUE(one[0].endsWith(QStringLiteral("2026-05-02.pdf"))) << one[0].toStdString();

    // The summary file, decoded from code page 949.
    run =
        Shop({QStringLiteral("plate"), QStringLiteral("show"), plate, QStringLiteral("--summary")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, cp949::ToUnicode(ReadAll(In(QStringLiteral("Local/Work/P260502001.txt")))));
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("P260502001:스노우지 250g:")))
        << run.out.toStdString();

    // Registration needs an http server: none in the demo's preferences.
    run = Shop({QStringLiteral("plate"), QStringLiteral("register"), plate});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, QStringLiteral("tessel-cli: no registration server: set PLATE_REG_URL in %1 "
                                      "or give --url URL\n")
                           .arg(In(QStringLiteral("Preferences/TesselPreference.tzpr"))));
    run = Shop({QStringLiteral("plate"), QStringLiteral("register"), plate, QStringLiteral("--url"),
                QStringLiteral("ftp://127.0.0.1/reg")});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--url wants an http URL")))
        << run.err.toStdString();
}
