#include "ticketintake.h"

#include "engine/operatorinterface.h"
#include "markup/cp949.h"
#include "records/filenames.h"
#include "records/intakejournal.h"
#include "records/zeljob.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <memory>

namespace ticketintake {
namespace {

// One ticket of the drop; the drop owns it for its whole length, whatever
// the job lists reload meanwhile.
struct Order {
    std::unique_ptr<CZelJob> job;
    QString origin;  // the folder it was taken from
    QString pdfName; // empty when it has no PDF
    intakejournal::Entry entry;
    bool moved = false;
};

// The plate whose progress or release folder (ROOT/account/plate) holds
// the ticket; empty when the ticket lies elsewhere.
QString PlateHolding(const QString& ticket, const QStringList& plateRoots) {
    const QDir plate = QFileInfo(ticket).dir();
    QDir account = plate;
    if (!account.cdUp())
        return QString();
    QDir root = account;
    if (!root.cdUp())
        return QString();
    const QString rootPath = root.canonicalPath();
    for (const QString& plateRoot : plateRoots) {
        if (!rootPath.isEmpty() && QDir(plateRoot).canonicalPath() == rootPath)
            return plate.dirName();
    }
    return QString();
}

// Why the ticket cannot be taken at all; empty when it can be tried.
QString TicketProblem(const CZelJob& job, const QString& ticket, const QString& progressFolder,
                      const QStringList& plateRoots, const QStringList& namesSoFar) {
    if (!job.ReadError().isEmpty())
        return job.ReadError();
    const QFileInfo info(ticket);
    // Taking it would strand the other plate's item without its ticket.
    if (const QString plate = PlateHolding(ticket, plateRoots);
        !plate.isEmpty() && plate != QDir(progressFolder).dirName())
        return QStringLiteral("%1: the order is on plate %2 already (its ticket is in %3)")
            .arg(ticket, plate, info.absolutePath());
    if (info.isSymLink())
        return QStringLiteral("%1 is a symbolic link, not a ticket file").arg(ticket);
    if (namesSoFar.contains(info.fileName()))
        return QStringLiteral("%1: an earlier ticket of this drop has the same file name")
            .arg(ticket);
    QString pdf;
    if (!job.GetPdfPath(pdf))
        return QStringLiteral("%1: no PDF of the same name beside the ticket").arg(ticket);
    const QFileInfo pdfInfo(pdf);
    if (pdfInfo.isSymLink() || !pdfInfo.isFile())
        return QStringLiteral("%1 is not a plain file").arg(pdf);
    // The plate file stores the PDF's path in code page 949.
    const QDir progress(progressFolder);
    for (const QString& name : {info.fileName(), pdfInfo.fileName()}) {
        if (!cp949::CanEncode(progress.filePath(name)))
            return QStringLiteral("%1: the file name holds a character the plate file cannot "
                                  "store (code page 949)")
                .arg(info.dir().filePath(name));
        if (QFileInfo::exists(progress.filePath(name)) ||
            QFileInfo(progress.filePath(name)).isSymLink())
            return QStringLiteral("%1 is already in the plate's progress folder %2")
                .arg(name, progressFolder);
    }
    return QString();
}

QString PlateProblem(CTesselDoc& doc, QString& jobsFolder) {
    const PlateProperties& p = doc.Properties();
    if (doc.Path().isEmpty() || p.jobCode.isEmpty() || p.userAccount.isEmpty() ||
        doc.ProgressFolder().isEmpty())
        return QStringLiteral("the plate has no plate code, account, file or progress folder; "
                              "open or create a plate first");
    if (!filenames::IsPlainName(p.jobCode) || !filenames::IsPlainName(p.userAccount))
        return QStringLiteral("the plate's account \"%1\" or number \"%2\" is not a valid folder "
                              "name")
            .arg(p.userAccount, p.jobCode);
    CZelPreference* preference = doc.Context().preference;
    if (!preference || !preference->GetJobsDir(jobsFolder))
        return QStringLiteral("no job folder is set: tickets could not be given back");
    return QString();
}

} // namespace

int Outcome::Count(Fate fate) const {
    int count = 0;
    for (const OrderOutcome& order : orders)
        count += order.fate == fate;
    return count;
}

Result<QStringList> TicketsIn(const QStringList& sources) {
    QStringList tickets;
    for (const QString& source : sources) {
        const QFileInfo info(source);
        if (info.isDir()) {
            const QFileInfoList files = QDir(source).entryInfoList(
                {QStringLiteral("*.") + QLatin1String(CZelJob::kExtension)}, QDir::Files,
                QDir::Name);
            for (const QFileInfo& file : files)
                tickets << file.absoluteFilePath();
        } else if (info.isFile()) {
            tickets << info.absoluteFilePath();
        } else {
            return Failure(QStringLiteral("%1: no such ticket or folder").arg(source));
        }
    }
    return tickets;
}

Result<Outcome> TakeAndPlace(CTesselDoc& doc, const QStringList& tickets, double x, double y,
                             bool oneCopy, const Hooks& hooks) {
    QString jobsFolder;
    if (const QString problem = PlateProblem(doc, jobsFolder); !problem.isEmpty())
        return Failure(problem);
    const QString progressFolder = doc.ProgressFolder();
    QStringList plateRoots;
    for (const CZelPreference::Folder folder :
         {CZelPreference::Folder::Progress, CZelPreference::Folder::Release}) {
        if (QString root; doc.Context().preference->GetFolder(folder, root))
            plateRoots << root;
    }
    const std::unique_ptr<QLockFile> lock = intakejournal::Lock(progressFolder, 2000);
    if (!lock)
        return Failure(
            QStringLiteral("another drop onto plate %1 is running").arg(doc.Properties().jobCode));

    // The whole drop, tickets included, is one step of the plate's history.
    const CTesselDoc::EditGroup step(doc, CTesselDoc::Edit::Place);
    Outcome outcome;
    std::vector<Order> orders(tickets.size());
    outcome.orders.resize(tickets.size());
    QStringList names;
    std::vector<CZelJob*> candidates;
    std::vector<size_t> candidateIndex;
    for (qsizetype i = 0; i < tickets.size(); ++i) {
        const QString ticket = QFileInfo(tickets[i]).absoluteFilePath();
        Order& order = orders[i];
        OrderOutcome& result = outcome.orders[i];
        order.job = std::make_unique<CZelJob>(ticket);
        result.ticket = ticket;
        result.ordernum = order.job->Text("Ordernum");
        result.reason = TicketProblem(*order.job, ticket, progressFolder, plateRoots, names);
        names << QFileInfo(ticket).fileName();
        if (!result.reason.isEmpty())
            continue;
        QString pdf;
        order.job->GetPdfPath(pdf);
        order.origin = QFileInfo(ticket).absolutePath();
        order.pdfName = QFileInfo(pdf).fileName();
        order.entry = {result.ordernum, order.origin, QFileInfo(ticket).fileName(), order.pdfName};
        candidates.push_back(order.job.get());
        candidateIndex.push_back(i);
    }

    // The trial decides on the files where they lie.
    const CTesselDoc::DropReport trial = doc.TryDrop(candidates, x, y, oneCopy);
    outcome.drop = trial.result;
    std::vector<size_t> accepted;
    for (size_t c = 0; c < candidates.size(); ++c) {
        if (trial.orders[c].ok && trial.result == CTesselDoc::DropResult::Placed)
            accepted.push_back(candidateIndex[c]);
        else
            outcome.orders[candidateIndex[c]].reason = trial.orders[c].reason;
    }
    if (accepted.empty())
        return outcome;

    intakejournal::Journal journal;
    journal.platePath = doc.Path();
    for (size_t i : accepted)
        journal.entries.push_back(orders[i].entry);
    if (const Result<void> recorded = intakejournal::Write(progressFolder, journal); !recorded) {
        for (size_t i : accepted)
            outcome.orders[i].reason =
                QStringLiteral("the drop cannot be recorded before moving: %1")
                    .arg(recorded.error());
        return outcome;
    }

    if (hooks.afterMove)
        hooks.afterMove(0);
    std::vector<CZelJob*> moved;
    std::vector<size_t> movedIndex;
    int moves = 0;
    for (size_t i : accepted) {
        Order& order = orders[i];
        OrderOutcome& result = outcome.orders[i];
        order.moved = order.job->MoveTo(progressFolder);
        result.ticket = order.job->Path();
        if (order.moved) {
            moved.push_back(order.job.get());
            movedIndex.push_back(i);
        } else {
            result.reason = order.job->LastError();
            // The PDF failed and the ticket could not go back.
            if (QFileInfo(result.ticket).absolutePath() != order.origin)
                result.fate = Fate::Stranded;
        }
        if (hooks.afterMove)
            hooks.afterMove(++moves);
    }

    const int before = doc.ItemCount();
    const CTesselDoc::DropReport placed = doc.PlaceDropped(moved, x, y, oneCopy);
    if (!moved.empty())
        outcome.drop = placed.result;
    const Result<void> save = moved.empty() ? Result<void>() : doc.Save(doc.Path());
    const bool saved = save.ok();
    const QString& saveError = save.error();
    outcome.saved = saved && !moved.empty();
    if (!saved) {
        // The plate file does not hold these orders: they all go back.
        while (doc.ItemCount() > before)
            doc.RemoveItem(doc.ItemAt(doc.ItemCount() - 1));
        outcome.saveError = saveError;
    } else if (hooks.afterSave) {
        hooks.afterSave();
    }

    std::vector<intakejournal::Entry> stranded;
    for (size_t m = 0; m < moved.size(); ++m) {
        Order& order = orders[movedIndex[m]];
        OrderOutcome& result = outcome.orders[movedIndex[m]];
        if (saved && placed.orders[m].ok) {
            result.fate = Fate::Placed;
            doc.RecordTicketMove({result.ordernum, order.entry.ticketName, order.origin, true});
            continue;
        }
        result.reason = saved ? placed.orders[m].reason
                              : QStringLiteral("the plate could not be saved: %1").arg(saveError);
        if (order.job->MoveBack(order.origin, jobsFolder)) {
            result.fate = Fate::Returned;
        } else {
            result.fate = Fate::Stranded;
            result.reason += QStringLiteral("; it cannot go back: %1").arg(order.job->LastError());
            stranded.push_back(order.entry);
        }
        result.ticket = order.job->Path();
    }
    for (size_t i : accepted)
        if (outcome.orders[i].fate == Fate::Stranded && !orders[i].moved)
            stranded.push_back(orders[i].entry);
    // Counted after every removal: items of this drop are the ones whose
    // artwork is the order's PDF in the progress folder.
    for (size_t m = 0; m < moved.size(); ++m) {
        OrderOutcome& result = outcome.orders[movedIndex[m]];
        if (result.fate != Fate::Placed)
            continue;
        QString pdf;
        moved[m]->GetPdfPath(pdf);
        for (int k = before; k < doc.ItemCount(); ++k)
            result.items += QDir::cleanPath(doc.ItemAt(k)->objPath) == QDir::cleanPath(pdf);
    }
    // What could not go back stays in the journal for the next open to try.
    if (const Result<void> kept = intakejournal::Keep(journal, stranded); !kept && doc.Context().op)
        doc.Context().op->Tell(kept.error());
    doc.RefreshOrders();
    return outcome;
}

QStringList RecoverInterruptedDrops(const ShopContext& context, const QString& account) {
    QStringList plates;
    QString progressRoot;
    if (!context.preference || !context.preference->GetProgressDir(progressRoot) ||
        !filenames::IsPlainName(account))
        return plates;
    QString jobsFolder;
    context.preference->GetJobsDir(jobsFolder);
    const QDir accountFolder(QDir(progressRoot).filePath(account));
    for (const QString& code : accountFolder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = accountFolder.filePath(code);
        QStringList unreadable;
        const std::vector<intakejournal::Journal> journals =
            intakejournal::Pending(folder, &unreadable);
        if (!unreadable.isEmpty() && context.op)
            context.op->Tell(QStringLiteral("중단된 주문 가져오기 기록을 읽을 수 없습니다: %1")
                                 .arg(unreadable.join(QStringLiteral(", "))));
        if (journals.empty()) {
            // Only a journal cut short while it was written: nothing moved.
            if (intakejournal::AnyPending(folder))
                if (const std::unique_ptr<QLockFile> lock = intakejournal::Lock(folder, 0))
                    intakejournal::Recover(folder, jobsFolder,
                                           [](const QString&) { return false; });
            continue;
        }
        const QString platePath = journals.front().platePath;
        plates << platePath;
        if (QFileInfo::exists(platePath)) {
            // Opening the plate finishes its drops against what its file holds.
            ShopContext quiet = context;
            quiet.pdf = nullptr;
            quiet.progress = nullptr;
            CTesselDoc doc;
            doc.SetContext(quiet);
            if (const Result<void> opened = doc.Open(platePath); !opened && context.op)
                context.op->Tell(QStringLiteral("판 파일을 열 수 없어 중단된 주문 가져오기를 "
                                                "정리하지 못했습니다: %1")
                                     .arg(opened.error()));
            continue;
        }
        // Without its plate file nothing was placed: every order goes back.
        const std::unique_ptr<QLockFile> lock = intakejournal::Lock(folder, 0);
        if (!lock)
            continue;
        const intakejournal::Recovery recovery =
            intakejournal::Recover(folder, jobsFolder, [](const QString&) { return false; });
        if (!recovery.Empty() && context.op)
            context.op->Tell(
                QStringLiteral("판 파일 %1이(가) 없어 가져오던 주문을 작업 폴더로 돌려보냈습니다: "
                               "%2%3")
                    .arg(platePath, recovery.returned.join(QStringLiteral(", ")),
                         recovery.stranded.isEmpty()
                             ? QString()
                             : QStringLiteral("\n돌려보내지 못한 주문: %1")
                                   .arg(recovery.stranded.join(QStringLiteral("; ")))));
    }
    return plates;
}

} // namespace ticketintake
