#pragma once

#include "markup/result.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QLockFile;

// The record of one drop's moves, written into the plate's progress folder
// before the first ticket moves: where each ticket came from. A drop that
// completes removes it; one cut short (a killed program, a power cut) leaves
// it, and the next open of the plate finishes the drop from it: what the
// plate file holds stays, the rest goes back.
namespace intakejournal {

struct Entry {
    QString ordernum;
    QString origin;     // the folder the ticket was taken from
    QString ticketName; // file names in the progress folder
    QString pdfName;    // empty for an order without a PDF
};

struct Journal {
    QString path; // the journal file; set by Write and Pending
    QString platePath;
    std::vector<Entry> entries;
};

// The lock a drop holds on the progress folder while it moves tickets, so
// that a recovery never returns the tickets of a drop still running.
// Null when another drop holds it after timeoutMs; a lock left by a killed
// process on this machine is taken over.
std::unique_ptr<QLockFile> Lock(const QString& progressFolder, int timeoutMs);

// Writes a new journal file in the progress folder (synced before it
// returns). Fails with the reason when it cannot be written.
Result<void> Write(const QString& progressFolder, Journal& journal);
// Rewrites the journal with only these entries, or removes it when none are left.
Result<void> Keep(Journal& journal, const std::vector<Entry>& entries);

// Whether a drop left anything to finish: a journal, or one cut short while
// it was written.
bool AnyPending(const QString& progressFolder);

// The journals left in the progress folder. One that cannot be read is
// listed by path in unreadable and left alone.
std::vector<Journal> Pending(const QString& progressFolder, QStringList* unreadable = nullptr);

struct Recovery {
    QStringList kept;     // orders the plate holds
    QStringList returned; // orders moved back
    QStringList stranded; // "order: reason" for those that could not go back
    bool Empty() const { return kept.isEmpty() && returned.isEmpty() && stranded.isEmpty(); }
};

// Finishes every journal of the progress folder: an order whose PDF the
// plate holds (onPlate, given the PDF's path in the progress folder) stays;
// every other order's files in the progress folder go back where they came
// from, or to the ticket's "Location" under jobsFolder when that fails. The
// caller holds the lock. Entries that could not go back stay in their journal.
// A journal cut short while it was written moved nothing: it is removed.
Recovery Recover(const QString& progressFolder, const QString& jobsFolder,
                 const std::function<bool(const QString& pdfPath)>& onPlate);

} // namespace intakejournal
