#include "recordfiles.h"
#include "secondfilesystem.h"

#include "records/joblisttext.h"
#include "records/progresssink.h"
#include "records/zeljob.h"
#include "records/zeljobcontainer.h"

#include <QFileInfo>
#include <QThread>

#include <iostream>
#include <memory>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace recordfiles;

namespace {

struct TicketFields {
    TicketFields(const QString& order, int cases = 1) : ordernum(order), pcases(cases) {}
    QString ordernum;
    int pcases = 1;
    QString quantity = QStringLiteral("1000");
    QString pquantity; // empty: no key
    QString width = QStringLiteral("90.000");
    QString height = QStringLiteral("50.000");
    QString location = QStringLiteral("\\명함\\일반");
};

QByteArray Ticket(const TicketFields& fields) {
    QString body = Elements({{"Location", Q(fields.location)},
                             {"Ordernum", Q(fields.ordernum)},
                             {"Rework", Q(QStringLiteral("일반"))},
                             {"ROKDate", Q(QStringLiteral("2011-03-07"))},
                             {"Product", Q(QStringLiteral("명함"))},
                             {"Kind", Q(QStringLiteral("일반명함"))},
                             {"Color", QStringLiteral("4")},
                             {"PDFPage", QStringLiteral("2")},
                             {"Paper", Q(QStringLiteral("스노우 250g"))},
                             {"SizeKind", Q(QStringLiteral("90x50"))},
                             {"Width", fields.width},
                             {"Height", fields.height},
                             {"Pcases", QString::number(fields.pcases)},
                             {"Quantity", fields.quantity},
                             {"ReceiptS", Q(QStringLiteral("김접수"))},
                             {"Ucom", Q(QStringLiteral("테셀인쇄"))},
                             {"Mmemo", Q(QStringLiteral("급함"))}},
                            1);
    if (!fields.pquantity.isEmpty())
        body += Elements({{"PQuantity", fields.pquantity}}, 1);
    body +=
        QStringLiteral("   <AfterWorkList>\r\n"
                       "      <AfterWork>\r\n") +
        Elements({{"Name", Q(QStringLiteral("코팅"))}, {"SubName", Q(QStringLiteral("무광코팅"))}},
                 3) +
        QStringLiteral("      </AfterWork>\r\n"
                       "      <Other>\r\n") +
        Elements({{"SubName", Q(QStringLiteral("귀도리"))}}, 3) +
        QStringLiteral("      </Other>\r\n"
                       "      <AfterWork>\r\n") +
        Elements({{"Name", Q(QStringLiteral("no sub name"))}}, 3) +
        QStringLiteral("      </AfterWork>\r\n"
                       "   </AfterWorkList>\r\n");
    return Record("Tessel Job Ticket", body);
}

// A ticket and its PDF in folder, named after the order.
QString PutOrder(const QString& folder, const TicketFields& fields,
                 const QByteArray& pdf = "%PDF-1.4 test") {
    const QString ticket = QDir(folder).filePath(fields.ordernum + QStringLiteral(".tzjob"));
    EXPECT_TRUE(Write(ticket, Ticket(fields)));
    EXPECT_TRUE(Write(QDir(folder).filePath(fields.ordernum + QStringLiteral(".pdf")), pdf));
    return ticket;
}

class RecordingSink : public ProgressSink {
public:
    void Begin(const QString&, int range) override {
        events += QStringLiteral("begin %1;").arg(range);
    }
    void Step(int position) override { events += QStringLiteral("%1;").arg(position); }
    void End() override { events += QStringLiteral("end"); }
    bool KeepGoing() override { return stopAfter < 0 || asked++ < stopAfter; }
    QString events;
    int stopAfter = -1;
    int asked = 0;
};

} // namespace

TEST(Job, ReadsEveryKeyWithItsDefault) {
    KoreanTempDir dir;
    const QString path = PutOrder(dir.path(), {QStringLiteral("주문-001")});
    CZelJob job(path);
    ASSERT_TRUE(job.IsValid());
    EXPECT_EQ(job.Path(), path);
    QString text;
    ASSERT_TRUE(job.GetProduct(text));
    EXPECT_EQ(text, QStringLiteral("명함"));
    EXPECT_EQ(job.GetColor(), 4);
    EXPECT_EQ(job.GetWidth(), 90.0);
    EXPECT_EQ(job.GetPQuantity(), -1); // missing
    EXPECT_FALSE(job.GetDeliveryM(text));
    text = QStringLiteral("old");
    EXPECT_FALSE(job.GetPname(text));
    EXPECT_TRUE(text.isEmpty());
    // From the first "AfterWork" on, every sibling with a "SubName" counts.
    EXPECT_EQ(job.AfterWorkText(), QStringLiteral("무광코팅;귀도리;"));
    EXPECT_EQ(job.AfterWorkText(true), QString());
    QString pdf;
    EXPECT_TRUE(job.GetPdfPath(pdf));
    EXPECT_EQ(pdf, dir.filePath(QStringLiteral("주문-001.pdf")));

    CZelJob missing(dir.filePath(QStringLiteral("없음.tzjob")));
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(missing.GetPcases(), -1);
    EXPECT_EQ(missing.GetQuantity(), -1.0);
    EXPECT_EQ(missing.GetHeight(), 0.0);
    EXPECT_FALSE(missing.GetPdfPath(pdf));
    EXPECT_FALSE(missing.MoveTo(dir.path()));
}

TEST(Job, QuantityAndCasesTexts) {
    KoreanTempDir dir;
    const struct {
        const char* quantity;
        const char* text; // nullptr: no text
    } cases[] = {
        {"1500.5", "1500.5"}, {"1500.0", "1500"}, {"0", nullptr}, {"-3", nullptr}, {"0.5", "0.5"}};
    for (const auto& c : cases) {
        TicketFields fields{QStringLiteral("q")};
        fields.quantity = QLatin1String(c.quantity);
        PutOrder(dir.path(), fields);
        CZelJob job(dir.filePath(QStringLiteral("q.tzjob")));
        QString text;
        EXPECT_EQ(job.GetQuantityText(text), c.text != nullptr) << c.quantity;
        if (c.text)
            EXPECT_EQ(text, QLatin1String(c.text)) << c.quantity;
    }
    TicketFields none{QStringLiteral("c")};
    none.pcases = 0;
    PutOrder(dir.path(), none);
    QString text;
    EXPECT_FALSE(CZelJob(dir.filePath(QStringLiteral("c.tzjob"))).GetCasesText(text));
}

TEST(Job, SlotsOnTheGrid) {
    const struct {
        double gw, gh, w, h;
        int cells;
    } cases[] = {
        {92, 52, 90, 50, 1},         {92, 52, 100, 50, 2},
        {92, 52, 50, 100, 2},        {92, 52, 92, 52, 1},
        {92, 52, 184.5, 104, 6},     {92, 52, 0, 0, 1},
        {0, 52, 90, 50, 0},          {0.5, 52, 90, 50, 0},
        {92, 0.99, 90, 50, 0}, // below 1 mm: no grid
        {1, 1, 1e30, 1, 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GridCells(c.gw, c.gh, c.w, c.h), c.cells)
            << c.gw << "x" << c.gh << " " << c.w << "x" << c.h;
    EXPECT_EQ(SlotsNeeded(92, 52, 50, 100), 2);
}

TEST(JobContainer, ListsCaptionsAndFinds) {
    KoreanTempDir dir;
    const QString folder = dir.mkdir(QStringLiteral("명함"));
    TicketFields big{QStringLiteral("A-1"), 2};
    big.pquantity = QStringLiteral("1200"); // 1 slot x 2 cases x ceil(1200 / 500) = 6
    PutOrder(folder, big);
    TicketFields wide{QStringLiteral("A-2"), 1};
    wide.width = QStringLiteral("100");
    wide.quantity = QStringLiteral("300"); // 2 slots x 1 case
    PutOrder(folder, wide);
    Write(QDir(folder).filePath(QStringLiteral("empty.tzjob")), "");
    Write(QDir(folder).filePath(QStringLiteral("noroot.tzjob")), "<OTHER></OTHER>");
    QDir(folder).mkdir(QStringLiteral("folder.tzjob"));

    CZelJobContainer list(QStringLiteral("명함"), folder + QStringLiteral("//"), true);
    EXPECT_EQ(list.Folder(), folder);
    EXPECT_EQ(list.ListTickets(true),
              QStringList({QStringLiteral("A-1.tzjob"), QStringLiteral("A-2.tzjob"),
                           QStringLiteral("empty.tzjob"), QStringLiteral("noroot.tzjob")}));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Summary(500, 92, 52), QStringLiteral("명함 [2 항목, 3 건, 8 자리]"));
    EXPECT_EQ(list.Summary(0, 92, 52), QStringLiteral("명함"));
    EXPECT_EQ(list.Summary(500, 0, 52), QStringLiteral("명함"));
    EXPECT_EQ(list.Summary(500, 0.4, 52), QStringLiteral("명함"));
    ASSERT_NE(list.FindByOrdernum(QStringLiteral("A-2")), nullptr);
    EXPECT_EQ(list.FindByOrdernum(QStringLiteral("A-2"))->GetPcases(), 1);
    EXPECT_EQ(list.FindByOrdernum(QStringLiteral("a-2")), nullptr);
    EXPECT_EQ(list.Job(2), nullptr);

    CZelJobContainer empty(QStringLiteral("빈 폴더"), dir.mkdir(QStringLiteral("빈 폴더")), true);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.Summary(500, 92, 52), QStringLiteral("빈 폴더"));
    CZelJobContainer gone(QStringLiteral("x"), dir.filePath(QStringLiteral("없는 폴더")));
    EXPECT_FALSE(gone.DirectoryExists());
    EXPECT_TRUE(list.DirectoryExists());
}

TEST(JobContainer, RefreshesOnlyWhenTheFolderChanged) {
    KoreanTempDir dir;
    const QString folder = dir.mkdir(QStringLiteral("전단"));
    PutOrder(folder, {QStringLiteral("B-1")});
    PutOrder(folder, {QStringLiteral("B-2")});
    CZelJobContainer list(QStringLiteral("전단"), folder);
    EXPECT_TRUE(list.NeedsRefresh());
    RecordingSink sink;
    EXPECT_EQ(list.Refresh(false, &sink), 2);
    EXPECT_EQ(sink.events, QStringLiteral("begin 2;1;2;end"));
    EXPECT_FALSE(list.NeedsRefresh());
    CZelJob* kept = list.Job(0);
    EXPECT_EQ(list.Refresh(false), 2);
    EXPECT_EQ(list.Job(0), kept); // not read again

    PutOrder(folder, {QStringLiteral("B-3")});
    EXPECT_TRUE(list.NeedsRefresh());
    EXPECT_EQ(list.Refresh(false), 3);
    ASSERT_TRUE(QFile::remove(QDir(folder).filePath(QStringLiteral("B-1.tzjob"))));
    EXPECT_TRUE(list.NeedsRefresh());
    EXPECT_EQ(list.Refresh(false), 2);

    // A stopped read keeps what it read and reads everything next time.
    RecordingSink stopping;
    stopping.stopAfter = 1;
    EXPECT_EQ(list.Refresh(true, &stopping), 1);
    EXPECT_EQ(stopping.events, QStringLiteral("begin 2;1;end"));
    EXPECT_TRUE(list.NeedsRefresh());
    EXPECT_EQ(list.Refresh(false), 2);
}

TEST(Job, MoveTakesThePdfAndNeverReplaces) {
    KoreanTempDir dir;
    const QString jobs = dir.mkdir(QStringLiteral("작업"));
    const QString plate = dir.mkdir(QStringLiteral("진행/홍길동/A110307001"));
    const QString ticket = PutOrder(jobs, {QStringLiteral("C-1"), 3}, "new pdf");
    CZelJob job(ticket);
    ASSERT_TRUE(job.MoveTo(plate + QLatin1Char('/')));
    const QString moved = QDir(plate).filePath(QStringLiteral("C-1.tzjob"));
    EXPECT_EQ(job.Path(), moved);
    EXPECT_TRUE(QDir(jobs).isEmpty());
    EXPECT_EQ(Read(QDir(plate).filePath(QStringLiteral("C-1.pdf"))), QByteArray("new pdf"));

    // Another order's ticket, or only its PDF, of the same name in the
    // target: nothing moves and nothing is replaced.
    for (const char* inTheWay : {"C-1.tzjob", "C-1.pdf"}) {
        const QString other = dir.mkdir(QStringLiteral("other/%1").arg(QLatin1String(inTheWay)));
        const QString otherFile = QDir(other).filePath(QLatin1String(inTheWay));
        Write(otherFile, "the other order");
        CZelJob back(moved);
        EXPECT_FALSE(back.MoveTo(other)) << inTheWay;
        EXPECT_TRUE(back.LastError().contains(QStringLiteral("already exists")))
            << back.LastError().toStdString();
        EXPECT_EQ(back.Path(), moved);
        EXPECT_EQ(Read(otherFile), QByteArray("the other order"));
        EXPECT_EQ(QDir(plate).entryList(QDir::Files).size(), 2);
    }

    // A folder that does not exist: nothing moves.
    EXPECT_FALSE(job.MoveTo(dir.filePath(QStringLiteral("없음"))));
    EXPECT_FALSE(job.LastError().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(moved));
    EXPECT_TRUE(QFileInfo::exists(QDir(plate).filePath(QStringLiteral("C-1.pdf"))));
}

// Every move across file systems, in both directions: one copy in the end,
// no hidden part file left, and when the original cannot be removed the copy
// goes again and the move fails.
TEST(Job, MoveAcrossFileSystems) {
    SecondFileSystem other;
    RecordProperty("second_file_system", other.what.toStdString());
    std::cerr << "second file system: " << other.what.toStdString() << "\n";
    KoreanTempDir dir;
    const QString far =
        other.IsValid() ? other.mkdir(QStringLiteral("진행")) : dir.mkdir(QStringLiteral("same"));
    const QString near = dir.mkdir(QStringLiteral("작업"));
    auto filesIn = [](const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    };

    CZelJob job(PutOrder(near, {QStringLiteral("D-1"), 4}, "pdf bytes"));
    ASSERT_TRUE(job.MoveTo(far)) << job.LastError().toStdString();
    EXPECT_TRUE(filesIn(near).isEmpty());
    EXPECT_EQ(filesIn(far), (QStringList{QStringLiteral("D-1.pdf"), QStringLiteral("D-1.tzjob")}));
    EXPECT_EQ(CZelJob(job.Path()).GetPcases(), 4);
    ASSERT_TRUE(job.MoveTo(near)) << job.LastError().toStdString();
    EXPECT_TRUE(filesIn(far).isEmpty());
    EXPECT_EQ(Read(QDir(near).filePath(QStringLiteral("D-1.pdf"))), QByteArray("pdf bytes"));
    if (!other.IsMounted()) {
        std::cerr << "read-only and full file systems need a mounted tmpfs: not checked\n";
        return;
    }

    // From a share that cannot be written: no duplicate is left behind.
    CZelJob shared(PutOrder(far, {QStringLiteral("R-1")}, "shared pdf"));
    ASSERT_TRUE(other.MakeReadOnly());
    EXPECT_FALSE(shared.MoveTo(near));
    EXPECT_TRUE(shared.LastError().contains(QStringLiteral("cannot be removed")))
        << shared.LastError().toStdString();
    EXPECT_EQ(shared.Path(), QDir(far).filePath(QStringLiteral("R-1.tzjob")));
    EXPECT_EQ(filesIn(near), (QStringList{QStringLiteral("D-1.pdf"), QStringLiteral("D-1.tzjob")}));
    EXPECT_EQ(filesIn(far), (QStringList{QStringLiteral("R-1.pdf"), QStringLiteral("R-1.tzjob")}));
}

TEST(Job, MoveOntoAFullFileSystemLeavesEverythingInPlace) {
    SecondFileSystem small("64k");
    if (!small.IsMounted()) {
        // Nothing to fill without a mount; say so rather than pass quietly.
        std::cerr << "second file system: " << small.what.toStdString()
                  << "; a full disk is not checked\n";
        RecordProperty("full_file_system", "not checked: " + small.what.toStdString());
        return;
    }
    KoreanTempDir dir;
    const QString near = dir.mkdir(QStringLiteral("작업"));
    const QByteArray big(200 * 1024, 'x');
    CZelJob job(PutOrder(near, {QStringLiteral("F-1")}, big));
    EXPECT_FALSE(job.MoveTo(small.path()));
    EXPECT_FALSE(job.LastError().isEmpty());
    EXPECT_EQ(job.Path(), QDir(near).filePath(QStringLiteral("F-1.tzjob")));
    EXPECT_EQ(Read(QDir(near).filePath(QStringLiteral("F-1.pdf"))), big);
    EXPECT_TRUE(QDir(small.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(Job, TicketsNotReadWholeSayWhy) {
    KoreanTempDir dir;
    const QByteArray whole = Ticket({QStringLiteral("W-1")});
    const QString path = dir.filePath(QStringLiteral("W-1.tzjob"));
    const struct {
        QByteArray bytes;
        const char* why;
    } cases[] = {
        {whole, nullptr},
        {whole.left(whole.size() / 2), "not read whole"},
        {whole.left(whole.size() * 9 / 10), "not read whole"},
        {QByteArray(whole).replace("<Ordernum>", QByteArray("<Order\0num>", 11)), "NUL"},
    };
    for (const auto& c : cases) {
        Write(path, c.bytes);
        CZelJob job(path);
        if (!c.why)
            EXPECT_TRUE(job.ReadError().isEmpty()) << job.ReadError().toStdString();
        else
            EXPECT_TRUE(job.ReadError().contains(QLatin1String(c.why)))
                << c.why << ": " << job.ReadError().toStdString();
    }
    EXPECT_FALSE(CZelJob(dir.filePath(QStringLiteral("none.tzjob"))).ReadError().isEmpty());
}

TEST(Job, MoveToLocationStaysInsideTheJobFolder) {
    const struct {
        const char* location; // nullptr: no key
        const char* target;   // relative to the job folder; nullptr: refused
    } cases[] = {
        {"\\명함\\일반", "명함/일반"},
        {"/명함/일반/", "명함/일반"},
        {"\\명함\\.\\일반", "명함/일반"},
        {"\\..\\밖", nullptr},
        {"\\명함\\..\\..\\밖", nullptr},
        {"C:\\밖", nullptr},
        {"\\\\server\\share", nullptr},
        {"//server/share", nullptr},
        {"\\링크", nullptr},
        {"\\링크\\안", nullptr},
        {"\\없는 폴더", nullptr},
    };
    for (const auto& c : cases) {
        KoreanTempDir dir;
        const QString jobs = dir.mkdir(QStringLiteral("jobs"));
        dir.mkdir(QStringLiteral("jobs/명함/일반"));
        dir.mkdir(QStringLiteral("밖/안"));
        // A folder of the job folder that really lies outside it.
        QFile::link(dir.filePath(QStringLiteral("밖")),
                    QDir(jobs).filePath(QStringLiteral("링크")));
        const QString progress = dir.mkdir(QStringLiteral("progress"));
        TicketFields fields{QStringLiteral("E-1")};
        fields.location = QString::fromUtf8(c.location);
        CZelJob job(PutOrder(progress, fields));
        const bool moved = job.MoveToLocation(jobs + QStringLiteral("/"));
        if (c.target) {
            EXPECT_TRUE(moved) << c.location << ": " << job.LastError().toStdString();
            EXPECT_TRUE(QFileInfo::exists(
                QDir(jobs).filePath(QString::fromUtf8(c.target) + QStringLiteral("/E-1.tzjob"))));
            EXPECT_TRUE(QFileInfo::exists(
                QDir(jobs).filePath(QString::fromUtf8(c.target) + QStringLiteral("/E-1.pdf"))));
        } else {
            EXPECT_FALSE(moved) << c.location;
            EXPECT_TRUE(job.LastError().contains(QStringLiteral("Location")))
                << job.LastError().toStdString();
            EXPECT_TRUE(QFileInfo::exists(QDir(progress).filePath(QStringLiteral("E-1.tzjob"))))
                << c.location;
            EXPECT_TRUE(QFileInfo::exists(QDir(progress).filePath(QStringLiteral("E-1.pdf"))))
                << c.location;
            EXPECT_EQ(QDir(dir.filePath(QStringLiteral("밖"))).entryList(QDir::Files).size(), 0)
                << c.location;
        }
    }
}

TEST(JobListText, LengthQuantityAndPlaceTexts) {
    using namespace joblisttext;
    const struct {
        double value;
        const char* text;
    } lengths[] = {{90, "90 mm"},  {52.5, "52.5 mm"}, {0.1234, "0.123 mm"},
                   {-0.0, "0 mm"}, {-1.5, "-1.5 mm"}, {100, "100 mm"}};
    for (const auto& c : lengths)
        EXPECT_EQ(LengthText(c.value), QLatin1String(c.text)) << c.value;
    EXPECT_EQ(SizeText(90, 50), QStringLiteral("90 mm * 50 mm"));

    const struct {
        int pquantity;
        double quantity;
        const char* text;
    } quantities[] = {{0, 1500.5, "1500.5"},
                      {-1, 1500, "1500"},
                      {1000, 1000, "1000"},
                      {0, 0, ""},
                      {1200, 1000, "1200(1000R)"},
                      {1200, 1000.5, "1200(1000.5R)"},
                      {0, 1e20, "100000000000000000000"},
                      {1000, -1, "1000"}, // no quantity on the ticket: the pieces alone
                      {1000, 0, "1000"},
                      {-1, -1, ""}};
    for (const auto& c : quantities)
        EXPECT_EQ(QuantityText(c.pquantity, c.quantity), QString::fromUtf8(c.text))
            << c.pquantity << " " << c.quantity;

    EXPECT_EQ(ColorText(4, 1), QStringLiteral("4(단면)"));
    EXPECT_EQ(ColorText(4, 2), QStringLiteral("4(양면)"));

    EXPECT_EQ(PlaceCount(1200, 0, 2, 500), 6);
    EXPECT_EQ(PlaceCount(-1, 999.9, 2, 500), 4); // Quantity truncated
    EXPECT_EQ(PlaceCount(0, 300, 3, 500), 3);
    EXPECT_EQ(PlaceCount(0, 300, 3, 0), 3); // no plate quantity: no division
    EXPECT_EQ(PlacesText({2, 3, 6}), QStringLiteral("6(3)"));
    EXPECT_EQ(PlacesText({0, 3, 0}), QStringLiteral("(3)"));
    EXPECT_EQ(SelectionSummary(2, 3, 8), QStringLiteral("[2 항목: 3 건, 8 자리]"));
    EXPECT_EQ(
        StatusText(QStringLiteral("명함 [2 항목, 3 건, 8 자리]"), 2, 1, SelectionSummary(1, 2, 6)),
        QStringLiteral("명함 [2 항목, 3 건, 8 자리],  선택 [1 항목: 2 건, 6 자리]"));
    EXPECT_EQ(StatusText(QStringLiteral("명함"), 0, 0, QString()), QString());
}

TEST(JobListText, OrderRow) {
    KoreanTempDir dir;
    TicketFields fields{QStringLiteral("F-1"), 2};
    fields.pquantity = QStringLiteral("1200");
    fields.width = QStringLiteral("100.0");
    CZelJob job(PutOrder(dir.path(), fields));
    const QStringList row = joblisttext::OrderListRow(job, {500, 92, 52});
    ASSERT_EQ(row.size(), joblisttext::OrderListTitles().size());
    EXPECT_EQ(row.at(0), QStringLiteral("F-1"));
    EXPECT_EQ(row.at(5), QStringLiteral("4(양면)"));
    EXPECT_EQ(row.at(8), QStringLiteral("100 mm * 50 mm"));
    EXPECT_EQ(row.at(9), QStringLiteral("1200(1000R)"));
    EXPECT_EQ(row.at(10), QStringLiteral("2"));
    EXPECT_EQ(row.at(11), QStringLiteral("12(6)"));
    EXPECT_EQ(row.at(12), QStringLiteral("무광코팅;귀도리;"));
    EXPECT_EQ(row.at(18), QStringLiteral("급함"));
    EXPECT_TRUE(joblisttext::HasMemo(job));
    EXPECT_EQ(joblisttext::OrderListRow(job, {500, 0, 0}).at(11), QStringLiteral("(6)"));
}

TEST(JobListText, TicketsWithoutCasesOrQuantity) {
    KoreanTempDir dir;
    TicketFields fields{QStringLiteral("G-1"), -1}; // Pcases unusable
    fields.pquantity = QStringLiteral("1200");
    fields.quantity = QString();
    CZelJob job(PutOrder(dir.path(), fields));
    EXPECT_EQ(joblisttext::CasesOf(job), 0);
    const QStringList row = joblisttext::OrderListRow(job, {500, 92, 52});
    EXPECT_EQ(row.at(9), QStringLiteral("1200"));
    EXPECT_EQ(row.at(10), QStringLiteral("0"));
    EXPECT_EQ(row.at(11), QStringLiteral("0(0)"));
}

TEST(JobListText, NumericColumnsSortByNumber) {
    struct Case {
        int column;
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {9, "900", "1000", -1},       {9, "1000(2.5R)", "1000(3R)", -1},
        {9, "1200(1000R)", "999", 1}, {9, "", "5", -1},
        {10, "10", "9", 1},           {10, "2", "2", 0},
        {11, "12(6)", "120(60)", -1}, {11, "(6)", "(12)", -1},
        {3, "명함", "봉투", -1},      {3, "10", "9", -1}, // text columns stay text
    };
    for (const Case& c : cases) {
        const int result =
            joblisttext::CompareCells(c.column, QString::fromUtf8(c.a), QString::fromUtf8(c.b));
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.column << " " << c.a << " " << c.b;
    }
}
