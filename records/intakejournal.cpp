#include "intakejournal.h"

#include "filemove.h"
#include "zeljob.h"

#include "markup/durablefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRandomGenerator>

namespace intakejournal {
namespace {

constexpr char kPrefix[] = ".tessel-intake-";
constexpr char kSuffix[] = ".journal";

QByteArray Serialize(const Journal& journal) {
    QJsonArray orders;
    for (const Entry& entry : journal.entries)
        orders.append(QJsonObject{{QStringLiteral("ordernum"), entry.ordernum},
                                  {QStringLiteral("origin"), entry.origin},
                                  {QStringLiteral("ticket"), entry.ticketName},
                                  {QStringLiteral("pdf"), entry.pdfName}});
    return QJsonDocument(QJsonObject{{QStringLiteral("plate"), journal.platePath},
                                     {QStringLiteral("orders"), orders}})
        .toJson();
}

bool Parse(const QByteArray& bytes, Journal& journal) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject root = document.object();
    journal.platePath = root.value(QStringLiteral("plate")).toString();
    for (const QJsonValue& value : root.value(QStringLiteral("orders")).toArray()) {
        const QJsonObject order = value.toObject();
        Entry entry{order.value(QStringLiteral("ordernum")).toString(),
                    order.value(QStringLiteral("origin")).toString(),
                    order.value(QStringLiteral("ticket")).toString(),
                    order.value(QStringLiteral("pdf")).toString()};
        // Names in the progress folder only: a damaged entry must not reach out of it.
        if (entry.ticketName.isEmpty() || entry.ticketName.contains(QLatin1Char('/')) ||
            entry.pdfName.contains(QLatin1Char('/')) || entry.origin.isEmpty())
            return false;
        journal.entries.push_back(entry);
    }
    return true;
}

// A journal being written: its temporary beside it (see durablefile).
QStringList UnfinishedJournals(const QString& progressFolder) {
    return QDir(progressFolder)
        .entryList({QStringLiteral(".") + QLatin1String(kPrefix) + QLatin1Char('*') +
                    QLatin1String(kSuffix) + QStringLiteral(".*.part")},
                   QDir::Files | QDir::Hidden);
}

} // namespace

bool AnyPending(const QString& progressFolder) {
    return !Pending(progressFolder).empty() || !UnfinishedJournals(progressFolder).isEmpty();
}

std::unique_ptr<QLockFile> Lock(const QString& progressFolder, int timeoutMs) {
    auto lock = std::make_unique<QLockFile>(
        QDir(progressFolder).filePath(QStringLiteral(".tessel-intake.lock")));
    // A drop of many orders takes minutes; only a lock this old from another
    // workstation counts as left behind.
    lock->setStaleLockTime(15 * 60 * 1000);
    if (!lock->tryLock(timeoutMs))
        return nullptr;
    return lock;
}

Result<void> Write(const QString& progressFolder, Journal& journal) {
    const QDir folder(progressFolder);
    for (;;) {
        journal.path = folder.filePath(
            QStringLiteral("%1%2%3")
                .arg(QLatin1String(kPrefix))
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))
                .arg(QLatin1String(kSuffix)));
        if (!QFileInfo::exists(journal.path))
            break;
    }
    // Written whole under a temporary name: one cut short is only that
    // temporary, which the next recovery removes.
    return durablefile::Write(journal.path, Serialize(journal));
}

Result<void> Keep(Journal& journal, const std::vector<Entry>& entries) {
    journal.entries = entries;
    if (!entries.empty())
        return durablefile::Write(journal.path, Serialize(journal));
    if (QFile::remove(journal.path) || !QFileInfo::exists(journal.path))
        return {};
    return Failure(QStringLiteral("%1: cannot be removed").arg(journal.path));
}

std::vector<Journal> Pending(const QString& progressFolder, QStringList* unreadable) {
    std::vector<Journal> journals;
    const QFileInfoList files =
        QDir(progressFolder)
            .entryInfoList({QLatin1String(kPrefix) + QLatin1Char('*') + QLatin1String(kSuffix)},
                           QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& info : files) {
        QFile file(info.absoluteFilePath());
        Journal journal;
        journal.path = info.absoluteFilePath();
        if (!file.open(QIODevice::ReadOnly) || !Parse(file.readAll(), journal)) {
            if (unreadable)
                *unreadable << journal.path;
            continue;
        }
        journals.push_back(journal);
    }
    return journals;
}

Recovery Recover(const QString& progressFolder, const QString& jobsFolder,
                 const std::function<bool(const QString& pdfPath)>& onPlate) {
    Recovery recovery;
    const QDir folder(progressFolder);
    for (const QString& name : UnfinishedJournals(progressFolder))
        QFile::remove(folder.filePath(name));
    for (Journal& journal : Pending(progressFolder)) {
        std::vector<Entry> left;
        for (const Entry& entry : journal.entries) {
            const QString ticket = folder.filePath(entry.ticketName);
            const QString pdf =
                entry.pdfName.isEmpty() ? QString() : folder.filePath(entry.pdfName);
            const bool ticketHere = QFileInfo::exists(ticket);
            const bool pdfHere = !pdf.isEmpty() && QFileInfo::exists(pdf);
            if (!ticketHere && !pdfHere)
                continue; // never moved, or already back
            if (pdfHere && onPlate(pdf)) {
                recovery.kept << entry.ordernum;
                continue;
            }
            QString reason;
            bool back = false;
            if (ticketHere) {
                CZelJob job(ticket);
                back = job.MoveBack(entry.origin, jobsFolder);
                reason = job.LastError();
            } else {
                // The ticket went back and its PDF had not followed yet.
                const Result<void> moved =
                    filemove::Move(pdf, QDir(entry.origin).filePath(entry.pdfName));
                back = moved.ok();
                reason = moved.error();
            }
            if (back) {
                recovery.returned << entry.ordernum;
            } else {
                recovery.stranded << QStringLiteral("%1: %2").arg(entry.ordernum, reason);
                left.push_back(entry);
            }
        }
        // A journal that cannot be rewritten keeps its old entries: the next
        // recovery passes over those already back, so only a journal that
        // should have gone is worth naming.
        if (const Result<void> kept = Keep(journal, left); !kept && left.empty())
            recovery.stranded << kept.error();
    }
    return recovery;
}

} // namespace intakejournal
