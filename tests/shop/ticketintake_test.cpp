#include "shop/ticketintake.h"
#include "tests/succeeded.h"

#include "../engine/cardplatefixture.h"
#include "../engine/scriptedoperator.h"
#include "../records/recordfiles.h"
#include "../records/secondfilesystem.h"
#include "markup/durablefile.h"
#include "pdfbinding/pdfserver.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <iostream>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using recordfiles::Q;
using ticketintake::Fate;

// A shop with the job folder "명함/일반", a progress folder (on a file
// system of its own when asked) and a plate of 300 x 200 with 10 mm margins
// and a 92 x 52 grid: 3 x 3 cells, 500 sheets per plate.
class Shop {
public:
    explicit Shop(const QString& progressRoot = QString()) {
        EXPECT_TRUE(pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)));
        jobs = dir.mkdir(QStringLiteral("jobs"));
        cards = dir.mkdir(QStringLiteral("jobs/명함/일반"));
        preference.SetFolder(CZelPreference::Folder::Jobs, jobs);
        preference.SetFolder(CZelPreference::Folder::Progress,
                             progressRoot.isEmpty() ? dir.mkdir(QStringLiteral("progress"))
                                                    : progressRoot);
        preference.SetFolder(CZelPreference::Folder::Release, dir.mkdir(QStringLiteral("release")));
        doc.SetContext(Context());
        doc.SetProperties(CardPlateProperties());
        platePath = dir.filePath(QStringLiteral("P1.tzmp"));
        EXPECT_TRUE(Succeeded(doc.Save(platePath)));
        EXPECT_TRUE(Succeeded(doc.Open(platePath)));
    }

    ShopContext Context() { return {.preference = &preference, .op = &op, .pdf = &pdf}; }

    // An order in a job folder: its ticket and a PDF of one 90 x 50 page per case.
    QString Order(const char* order, int pcases = 1, const char* sheets = "500",
                  const QString& folder = QString(), const char* home = "명함\\일반",
                  const char* quantityText = nullptr) {
        const QString ordernum = QString::fromUtf8(order);
        const QString pquantity = QString::fromUtf8(sheets);
        const QString location = QString::fromUtf8(home);
        const QString quantity = QString::fromUtf8(quantityText);
        const QString where = folder.isEmpty() ? cards : folder;
        const QString pdfPath = QDir(where).filePath(ordernum + QStringLiteral(".pdf"));
        EXPECT_TRUE(pdf.ComposeBeginDoc(pdfPath));
        for (int i = 0; i < std::clamp(pcases, 1, 9); ++i) {
            EXPECT_TRUE(pdf.ComposeBeginPage(90, 50));
            EXPECT_TRUE(pdf.ComposeEndPage());
        }
        EXPECT_TRUE(pdf.ComposeEndDoc());
        const QString body =
            recordfiles::Elements({{"Ordernum", Q(ordernum)},
                                   {"Location", Q(location)},
                                   {"Pcases", QString::number(pcases)},
                                   {"PQuantity", pquantity},
                                   {"Quantity", quantity.isEmpty() ? pquantity : quantity},
                                   {"Width", QStringLiteral("90")},
                                   {"Height", QStringLiteral("50")},
                                   {"PDFPage", QStringLiteral("1")}},
                                  1);
        const QString ticket = QDir(where).filePath(ordernum + QStringLiteral(".tzjob"));
        EXPECT_TRUE(recordfiles::Write(ticket, recordfiles::Record("Tessel Job Ticket", body)));
        return ticket;
    }

    // Every file of this name under the shop (and the progress folder).
    QStringList Places(const QString& fileName) const {
        QStringList places;
        QStringList roots{dir.path()};
        QString progress;
        const_cast<CZelPreference&>(preference).GetProgressDir(progress);
        if (!progress.startsWith(dir.path()))
            roots << progress;
        for (const QString& root : roots) {
            QDirIterator it(root, {fileName}, QDir::Files | QDir::Hidden,
                            QDirIterator::Subdirectories);
            while (it.hasNext())
                places << QFileInfo(it.next()).absolutePath();
        }
        return places;
    }

    // Ticket and PDF in exactly one place, the same one; and on the plate
    // exactly when they are in its progress folder, unless they are stranded
    // there. Orders of the same file name in different folders count as copies.
    void ExpectOnePlace(const QString& name, CTesselDoc& plate, Fate fate = Fate::Placed,
                        int copies = 1) const {
        QStringList tickets = Places(name + QStringLiteral(".tzjob"));
        QStringList pdfs = Places(name + QStringLiteral(".pdf"));
        tickets.sort();
        pdfs.sort();
        ASSERT_EQ(tickets.size(), copies)
            << name.toStdString() << ": " << tickets.join(QStringLiteral(", ")).toStdString();
        ASSERT_EQ(pdfs, tickets) << name.toStdString();
        const bool inProgress = tickets.contains(QDir::cleanPath(plate.ProgressFolder()));
        if (fate == Fate::Stranded)
            EXPECT_TRUE(inProgress && plate.CountOrderItems(name) == 0) << name.toStdString();
        else
            EXPECT_EQ(inProgress, plate.CountOrderItems(name) > 0) << name.toStdString();
    }

    recordfiles::KoreanTempDir dir;
    QString jobs, cards, platePath;
    CPDFServer pdf;
    CZelPreference preference;
    ScriptedOperator op;
    CTesselDoc doc;
};

struct Expected {
    const char* name;
    Fate fate;
};

} // namespace

// Each case: every ticket and PDF ends in exactly one place, and the plate
// holds exactly the orders whose files are in its progress folder.
TEST(TicketIntake, EveryTicketEndsInExactlyOnePlace) {
    const double hair = 1e-9;
    const struct Case {
        const char* what;
        double x, y;
        QList<bool> answers;
        std::function<QStringList(Shop&)> setUp; // the tickets to drop
        std::vector<Expected> expected;
        std::function<void(Shop&, int moved)> duringMoves = {};
    } cases[] = {
        {"at the usable area's top-left corner",
         10,
         10,
         {},
         [](Shop& s) { return QStringList{s.Order("A")}; },
         {{"A", Fate::Placed}}},
        {"at its bottom-right corner",
         290,
         190,
         {},
         [](Shop& s) { return QStringList{s.Order("A")}; },
         {{"A", Fate::Placed}}},
        {"a hair outside",
         10 - hair,
         10,
         {},
         [](Shop& s) { return QStringList{s.Order("A")}; },
         {{"A", Fate::Refused}}},
        {"a hair below",
         150,
         190 + hair,
         {},
         [](Shop& s) { return QStringList{s.Order("A")}; },
         {{"A", Fate::Refused}}},
        {"a question answered No",
         50,
         50,
         {false},
         [](Shop& s) {
             return QStringList{s.Order("A"), s.Order("S", 1, "300")};
         },
         {{"A", Fate::Refused}, {"S", Fate::Refused}}},
        {"no room, go on",
         50,
         50,
         {true},
         [](Shop& s) {
             return QStringList{s.Order("A", 8), s.Order("B", 2)};
         },
         {{"A", Fate::Placed}, {"B", Fate::Refused}}},
        {"a refused order whose Location leads outside",
         50,
         50,
         {false},
         [](Shop& s) { return QStringList{s.Order("S", 1, "300", {}, "..\\..\\밖")}; },
         {{"S", Fate::Refused}}},
        {"a duplicate ticket name",
         50,
         50,
         {},
         [](Shop& s) {
             const QString other = s.dir.mkdir(QStringLiteral("jobs/명함/고급"));
             return QStringList{s.Order("D"), s.Order("D", 2, "500", other)};
         },
         {{"D", Fate::Placed}, {"D", Fate::Refused}}},
        {"a ticket taken by another process between listing and moving",
         50,
         50,
         {},
         [](Shop& s) {
             return QStringList{s.Order("A"), s.Order("T")};
         },
         {{"A", Fate::Placed}, {"T", Fate::Refused}},
         [](Shop& s, int moved) {
             if (moved != 0)
                 return;
             const QString away = s.dir.mkdir(QStringLiteral("another workstation"));
             for (const char* ext : {".tzjob", ".pdf"})
                 QFile::rename(QDir(s.cards).filePath(QStringLiteral("T") + QLatin1String(ext)),
                               QDir(away).filePath(QStringLiteral("T") + QLatin1String(ext)));
         }},
        {"artwork that changed after the trial, its folder gone, its Location a link out",
         50,
         50,
         {},
         [](Shop& s) {
             const QString gone = s.dir.mkdir(QStringLiteral("jobs/사라질"));
             s.dir.mkdir(QStringLiteral("밖"));
             QFile::link(s.dir.filePath(QStringLiteral("밖")),
                         QDir(s.jobs).filePath(QStringLiteral("링크")));
             return QStringList{s.Order("A"), s.Order("X", 1, "500", gone, "\\링크")};
         },
         {{"A", Fate::Placed}, {"X", Fate::Stranded}},
         [](Shop& s, int moved) {
             if (moved != 2)
                 return;
             recordfiles::Write(QDir(s.doc.ProgressFolder()).filePath(QStringLiteral("X.pdf")),
                                "not a PDF any more");
             QDir(s.dir.filePath(QStringLiteral("jobs/사라질"))).removeRecursively();
         }},
        {"bad counts",
         50,
         50,
         {},
         [](Shop& s) {
             return QStringList{s.Order("Q1", 1, "0", {}, "명함\\일반", "-1"),
                                s.Order("Q2", 1, "0", {}, "명함\\일반", "1e300"),
                                s.Order("Q3", 1, "0", {}, "명함\\일반", "nan"),
                                s.Order("C0", 0),
                                s.Order("C5", -5),
                                s.Order("C9", 1000000000),
                                s.Order("OK")};
         },
         {{"Q1", Fate::Refused},
          {"Q2", Fate::Refused},
          {"Q3", Fate::Refused},
          {"C0", Fate::Refused},
          {"C5", Fate::Refused},
          {"C9", Fate::Refused},
          {"OK", Fate::Placed}}},
        {"names code page 949 cannot carry",
         50,
         50,
         {},
         [](Shop& s) {
             return QStringList{s.Order("café"), s.Order("명함✓"), s.Order("名")};
         },
         {{"café", Fate::Refused}, {"명함✓", Fate::Refused}, {"名", Fate::Placed}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Shop shop;
        const QStringList tickets = c.setUp(shop);
        auto copies = [&](const char* name) {
            return static_cast<int>(
                std::count_if(c.expected.begin(), c.expected.end(),
                              [&](const Expected& e) { return QByteArray(e.name) == name; }));
        };
        shop.op.answers = c.answers;
        ticketintake::Hooks hooks;
        if (c.duringMoves)
            hooks.afterMove = [&](int moved) { c.duringMoves(shop, moved); };
        const Result<ticketintake::Outcome> outcome =
            ticketintake::TakeAndPlace(shop.doc, tickets, c.x, c.y, false, hooks);
        ASSERT_TRUE(outcome) << outcome.error().toStdString();
        for (size_t i = 0; i < c.expected.size(); ++i) {
            const ticketintake::OrderOutcome& order = outcome->orders.at(i);
            EXPECT_EQ(order.fate, c.expected[i].fate)
                << c.expected[i].name << ": " << order.reason.toStdString();
            EXPECT_EQ(order.reason.isEmpty(), order.fate == Fate::Placed)
                << c.expected[i].name << ": " << order.reason.toStdString();
            shop.ExpectOnePlace(QString::fromUtf8(c.expected[i].name), shop.doc, c.expected[i].fate,
                                copies(c.expected[i].name));
        }
        // The file on disk agrees with the plate in memory, and no journal is left.
        CTesselDoc reopened;
        reopened.SetContext(shop.Context());
        ASSERT_TRUE(reopened.Open(shop.platePath));
        EXPECT_EQ(reopened.ItemCount(), shop.doc.ItemCount());
        for (const Expected& e : c.expected)
            shop.ExpectOnePlace(QString::fromUtf8(e.name), reopened, e.fate, copies(e.name));
        EXPECT_TRUE(QDir(shop.doc.ProgressFolder())
                        .entryList({QStringLiteral("*.journal")}, QDir::Files | QDir::Hidden)
                        .isEmpty() ||
                    c.expected.back().fate == Fate::Stranded);
    }
}

TEST(TicketIntake, ReasonsNameTheCause) {
    Shop shop;
    const QStringList tickets{shop.Order("C9", 1000000000), shop.Order("café")};
    shop.Order("P", 1, "2147483647");
    // Free placement: without the bound this order would make four million items.
    PlateProperties p = shop.doc.Properties();
    p.arrangeDirection = CTesselDoc::kFreePlacement;
    shop.doc.SetProperties(p);
    const Result<ticketintake::Outcome> outcome = ticketintake::TakeAndPlace(
        shop.doc, tickets + QStringList{QDir(shop.cards).filePath(QStringLiteral("P.tzjob"))}, 50,
        50, false);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->orders[0].reason.contains(QStringLiteral("at most 9")))
        << outcome->orders[0].reason.toStdString();
    EXPECT_TRUE(outcome->orders[1].reason.contains(QStringLiteral("café.tzjob")))
        << outcome->orders[1].reason.toStdString();
    EXPECT_TRUE(outcome->orders[2].reason.contains(QStringLiteral("this plate holds at most")))
        << outcome->orders[2].reason.toStdString();
}

// An order on another plate (its ticket in that plate's progress or
// release folder) stays there, and the reason names the plate.
TEST(TicketIntake, AnOrderOnAnotherPlateIsNotTaken) {
    Shop shop;
    QString progress, release;
    ASSERT_TRUE(shop.preference.GetProgressDir(progress) && shop.preference.GetReleaseDir(release));
    const QString onN7 = QDir(progress).filePath(QStringLiteral("kim/N7"));
    const QString onR2 = QDir(release).filePath(QStringLiteral("kim/R2"));
    ASSERT_TRUE(QDir().mkpath(onN7) && QDir().mkpath(onR2));
    const QStringList tickets{shop.Order("A1", 1, "500", onN7), shop.Order("A2", 1, "500", onR2),
                              shop.Order("A3")};
    const Result<ticketintake::Outcome> outcome =
        ticketintake::TakeAndPlace(shop.doc, tickets, 50, 50, false);
    ASSERT_TRUE(outcome);
    const char* plates[] = {"N7", "R2"};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(outcome->orders[i].fate, Fate::Refused);
        EXPECT_EQ(
            outcome->orders[i].reason,
            QStringLiteral("%1: the order is on plate %2 already (its ticket is in %3)")
                .arg(tickets[i], QLatin1String(plates[i]), QFileInfo(tickets[i]).absolutePath()));
        EXPECT_TRUE(QFileInfo::exists(tickets[i]));
    }
    EXPECT_EQ(outcome->orders[2].fate, Fate::Placed);
    EXPECT_EQ(shop.doc.CountOrderItems(QStringLiteral("A1")), 0);
}

TEST(TicketIntake, APlateWithoutCodeAccountOrFileRefusesDrops) {
    Shop shop;
    const QString ticket = shop.Order("A");
    CTesselDoc empty;
    empty.SetContext(shop.Context());
    const Result<ticketintake::Outcome> outcome =
        ticketintake::TakeAndPlace(empty, {ticket}, 50, 50, false);
    EXPECT_FALSE(outcome);
    EXPECT_TRUE(QFileInfo::exists(ticket));
}

// A PDF that cannot follow its ticket into a full progress folder: the
// ticket comes back at once.
TEST(TicketIntake, APdfThatCannotMoveBringsItsTicketBack) {
    SecondFileSystem small("64k");
    if (!small.IsMounted()) {
        std::cerr << "second file system: " << small.what.toStdString()
                  << "; a full progress folder is not checked\n";
        RecordProperty("full_progress_folder", "not checked: " + small.what.toStdString());
        return;
    }
    Shop shop(small.path());
    const QString ticket = shop.Order("BIG");
    // Once the drop is recorded, the progress folder fills up to one page:
    // the ticket still fits there, its PDF no longer does.
    ticketintake::Hooks hooks;
    hooks.afterMove = [&](int moved) {
        struct statvfs room {};
        if (moved != 0 || ::statvfs(QFile::encodeName(small.path()).constData(), &room) != 0)
            return;
        QFile filler(QDir(small.path()).filePath(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(static_cast<qsizetype>((room.f_bavail - 1) * room.f_bsize), 'x'));
    };
    const Result<ticketintake::Outcome> outcome =
        ticketintake::TakeAndPlace(shop.doc, {ticket}, 50, 50, false, hooks);
    ASSERT_TRUE(outcome) << outcome.error().toStdString();
    EXPECT_EQ(outcome->orders[0].fate, Fate::Refused);
    EXPECT_TRUE(outcome->orders[0].reason.contains(QStringLiteral("went back")))
        << outcome->orders[0].reason.toStdString();
    shop.ExpectOnePlace(QStringLiteral("BIG"), shop.doc);
}

// A drop killed at each point: the next open of the plate (or the next
// session when the plate file is gone) keeps what the file holds and returns
// the rest.
TEST(TicketIntake, ADropKilledHalfWayIsFinishedOnTheNextOpen) {
    const char* const names[] = {"K1", "K2", "K3"};
    for (int killAt = 0; killAt <= 4; ++killAt) {
        for (const bool plateGone : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "killed at " << killAt << (plateGone ? ", plate file gone" : ""));
            Shop shop;
            QStringList tickets;
            for (const char* name : names)
                tickets << shop.Order(name);
            std::cout.flush();
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ticketintake::Hooks hooks;
                hooks.afterMove = [&](int moved) {
                    if (moved == killAt)
                        ::raise(SIGKILL);
                };
                hooks.afterSave = [&] {
                    if (killAt == 4)
                        ::raise(SIGKILL);
                };
                (void)ticketintake::TakeAndPlace(shop.doc, tickets, 50, 50, false, hooks);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status));
            if (plateGone)
                QFile::remove(shop.platePath);

            ScriptedOperator op;
            CTesselDoc reopened;
            ShopContext context = shop.Context();
            context.op = &op;
            if (plateGone) {
                ticketintake::RecoverInterruptedDrops(context, QStringLiteral("demo"));
                reopened.SetContext(context);
                // An empty plate stands for the missing file.
                for (const char* name : names)
                    EXPECT_EQ(shop.Places(QString::fromLatin1(name) + QStringLiteral(".tzjob")),
                              QStringList{QDir::cleanPath(shop.cards)});
            } else {
                reopened.SetContext(context);
                ASSERT_TRUE(reopened.Open(shop.platePath));
                for (const char* name : names)
                    shop.ExpectOnePlace(QString::fromLatin1(name), reopened);
                // Killed after the save, every order stays; before it, none.
                EXPECT_EQ(reopened.ItemCount(), killAt == 4 ? 3 : 0);
            }
            if (killAt > 0) {
                ASSERT_EQ(op.messages.size(), 1);
                // The operator learns which plate the orders were going to.
                if (!plateGone)
                    EXPECT_TRUE(op.messages[0].contains(shop.doc.Properties().jobCode))
                        << op.messages[0].toStdString();
            }
            EXPECT_TRUE(QDir(shop.doc.ProgressFolder())
                            .entryList({QStringLiteral("*.journal")}, QDir::Files | QDir::Hidden)
                            .isEmpty());
        }
    }
}

// Killed while its journal was being written, a drop moved nothing: the
// half-written journal goes at the next open.
TEST(TicketIntake, AJournalCutShortIsRemovedOnTheNextOpen) {
    Shop shop;
    const QString part = durablefile::TemporaryPath(
        QDir(shop.doc.ProgressFolder())
            .filePath(QStringLiteral(".tessel-intake-0123456789abcdef.journal")));
    ASSERT_TRUE(recordfiles::Write(part, "{\"plate\": \"cut"));
    CTesselDoc reopened;
    reopened.SetContext(shop.Context());
    ASSERT_TRUE(reopened.Open(shop.platePath));
    EXPECT_FALSE(QFileInfo::exists(part));
    EXPECT_TRUE(shop.op.messages.isEmpty());
}

// Undoing a drop gives its tickets back to the folders they came from;
// redoing it takes them again, leaving out what another workstation took.
TEST(TicketIntake, UndoAndRedoOfADropMoveItsTickets) {
    Shop shop;
    const QString otherFolder = shop.dir.mkdir(QStringLiteral("jobs/명함/급행"));
    const QStringList tickets = {shop.Order("A"), shop.Order("B", 2, "500", otherFolder)};
    auto plateFile = [&] {
        QFile file(shop.platePath);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    };
    ASSERT_TRUE(shop.doc.Save(shop.platePath));
    const QByteArray before = plateFile();

    const Result<ticketintake::Outcome> drop =
        ticketintake::TakeAndPlace(shop.doc, tickets, 50, 50, false);
    ASSERT_TRUE(drop);
    ASSERT_EQ(drop->Count(Fate::Placed), 2);
    const QByteArray after = plateFile();
    EXPECT_EQ(shop.doc.UndoName().toStdString(), "배치");
    EXPECT_FALSE(shop.doc.IsModified());

    ASSERT_TRUE(shop.doc.Undo());
    EXPECT_EQ(shop.Places(QStringLiteral("A.tzjob")), QStringList{shop.cards});
    EXPECT_EQ(shop.Places(QStringLiteral("B.tzjob")), QStringList{otherFolder});
    shop.ExpectOnePlace(QStringLiteral("A"), shop.doc, Fate::Returned);
    shop.ExpectOnePlace(QStringLiteral("B"), shop.doc, Fate::Returned);
    EXPECT_TRUE(plateFile() == before) << "the plate file follows its tickets";
    EXPECT_EQ(shop.doc.JobContainer().Count(), 0);

    ASSERT_TRUE(shop.doc.Redo());
    shop.ExpectOnePlace(QStringLiteral("A"), shop.doc);
    shop.ExpectOnePlace(QStringLiteral("B"), shop.doc);
    EXPECT_TRUE(plateFile() == after);
    EXPECT_EQ(shop.doc.JobContainer().Count(), 2);

    // Meanwhile another workstation takes B from its folder.
    ASSERT_TRUE(shop.doc.Undo());
    const QString elsewhere = shop.dir.mkdir(QStringLiteral("elsewhere"));
    for (const char* name : {"B.tzjob", "B.pdf"})
        ASSERT_TRUE(QFile::rename(QDir(otherFolder).filePath(QLatin1String(name)),
                                  QDir(elsewhere).filePath(QLatin1String(name))));
    ASSERT_TRUE(shop.doc.Redo());
    shop.ExpectOnePlace(QStringLiteral("A"), shop.doc);
    EXPECT_EQ(shop.doc.CountOrderItems(QStringLiteral("B")), 0);
    EXPECT_EQ(shop.Places(QStringLiteral("B.tzjob")), QStringList{elsewhere});
    ASSERT_FALSE(shop.op.messages.isEmpty());
    EXPECT_TRUE(shop.op.messages.last().contains(QStringLiteral("B: ")))
        << shop.op.messages.last().toStdString();
    EXPECT_FALSE(shop.doc.IsModified());
}
