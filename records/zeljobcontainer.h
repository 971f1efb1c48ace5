#pragma once

#include "zeljob.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ProgressSink;

// The orders of one job folder. It owns its jobs until the next Refresh or
// SetSource; pointers to them are valid until then.
class CZelJobContainer {
public:
    CZelJobContainer() = default;
    CZelJobContainer(const QString& name, const QString& folder, bool load = false);
    CZelJobContainer(const CZelJobContainer&) = delete;
    CZelJobContainer& operator=(const CZelJobContainer&) = delete;

    // Drops the jobs and points the list at another folder (trailing
    // separators removed); load reads it at once.
    void SetSource(const QString& name, const QString& folder, bool load,
                   ProgressSink* progress = nullptr);
    const QString& Name() const { return m_name; }
    const QString& Folder() const { return m_folder; }
    bool IsLoaded() const { return m_loaded; }

    bool DirectoryExists() const;
    // True when never read, or when the folder's last-write time differs from
    // the one of the last read. Costs one status query of the folder.
    bool NeedsRefresh() const;
    // Reads every ticket of the folder again (unless unforced and nothing
    // changed) and returns the number of jobs. Tickets that do not load are
    // skipped. A sink that stops the read keeps the jobs read so far and
    // leaves the list marked for another read.
    int Refresh(bool force, ProgressSink* progress = nullptr);
    // Drops the jobs of these tickets that are no longer in the folder (an
    // intake moved them away) without reading the others again. When the
    // jobs left are then exactly the folder's tickets, the folder counts as
    // read as it is now; a ticket that came meanwhile still asks for a read.
    // Returns the number of jobs dropped.
    int Forget(const QStringList& tickets);
    // File names (no folder) of the folder's tickets, in directory order or
    // sorted by name.
    QStringList ListTickets(bool sort) const;

    int Count() const { return static_cast<int>(m_jobs.size()); }
    CZelJob* Job(int index) const;
    // The first job whose "Ordernum" is exactly this text.
    CZelJob* FindByOrdernum(const QString& ordernum) const;

    // The list's caption on a plate of this press quantity and grid:
    // "name [n 항목, c 건, s 자리]", or the name alone when the list is empty,
    // the quantity is below 1 or the grid is below 1 mm.
    QString Summary(int plateQuantity, double gridWidth, double gridHeight) const;

private:
    QString m_name;
    QString m_folder;
    bool m_loaded = false;
    qint64 m_lastWrite = 0; // nanoseconds since the epoch
    std::vector<std::unique_ptr<CZelJob>> m_jobs;
    QStringList m_unread; // tickets of the last read that did not load
};
