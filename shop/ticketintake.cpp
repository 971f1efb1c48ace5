#include "ticketintake.h"

#include "records/zeljob.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace ticketintake {

Result<QStringList> TicketsIn(const QStringList& sources) {
    QStringList tickets;
    for (const QString& source : sources) {
        const QFileInfo info(source);
        if (info.isDir()) {
            const QFileInfoList files =
                QDir(source).entryInfoList({QStringLiteral("*.tzjob")}, QDir::Files, QDir::Name);
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
                             bool oneCopy) {
    Outcome outcome;
    std::vector<std::unique_ptr<CZelJob>> jobs;
    std::vector<CZelJob*> orders;
    for (const QString& ticket : tickets) {
        auto job = std::make_unique<CZelJob>(ticket);
        if (!job->IsValid() || !job->MoveTo(doc.ProgressFolder())) {
            outcome.notTaken << QStringLiteral("%1: %2").arg(ticket, job->LastError());
            continue;
        }
        orders.push_back(job.get());
        jobs.push_back(std::move(job));
    }
    outcome.drop = doc.DropOrders(orders, x, y, oneCopy);
    QString error;
    if (!doc.Save(doc.Path(), &error)) {
        // The plate on disk does not hold these orders: their tickets go home.
        const QString progressFolder = QDir::cleanPath(QFileInfo(doc.ProgressFolder()).absoluteFilePath());
        for (CZelJob* job : orders)
            if (QDir::cleanPath(QFileInfo(job->Path()).absolutePath()) == progressFolder)
                doc.ReturnTicket(*job);
        return Failure(error);
    }
    for (CZelJob* job : orders) {
        const QString ordernum = job->Text("Ordernum");
        outcome.orders.push_back({ordernum, doc.CountOrderItems(ordernum)});
    }
    return outcome;
}

} // namespace ticketintake
