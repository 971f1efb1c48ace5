#include "zeljobcontainer.h"

#include "joblisttext.h"
#include "progresssink.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/stat.h>

namespace {

// The folder's last-write time in nanoseconds, from one stat call; false
// when it cannot be read.
bool LastWriteTime(const QString& folder, qint64& time) {
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    time = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    return true;
}

QString WithoutTrailingSeparators(QString folder) {
    while (folder.size() > 1 &&
           (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}

} // namespace

CZelJobContainer::CZelJobContainer(const QString& name, const QString& folder, bool load) {
    SetSource(name, folder, load);
}

void CZelJobContainer::SetSource(const QString& name, const QString& folder, bool load,
                                 ProgressSink* progress) {
    m_jobs.clear();
    m_unread.clear();
    m_loaded = false;
    m_name = name;
    m_folder = WithoutTrailingSeparators(folder);
    if (load)
        Refresh(true, progress);
}

bool CZelJobContainer::DirectoryExists() const {
    return QFileInfo(m_folder).isDir();
}

bool CZelJobContainer::NeedsRefresh() const {
    if (!m_loaded)
        return true;
    qint64 now = 0;
    return LastWriteTime(m_folder, now) && now != m_lastWrite;
}

int CZelJobContainer::Refresh(bool force, ProgressSink* progress) {
    if (!force && !NeedsRefresh())
        return Count();
    m_loaded = true;
    m_jobs.clear();
    m_unread.clear();
    // Taken before the listing: a ticket arriving while the folder is read
    // changes the time again and is picked up by the next refresh.
    if (!LastWriteTime(m_folder, m_lastWrite))
        m_lastWrite = QDateTime::currentMSecsSinceEpoch() * 1000000LL;
    const QStringList files = ListTickets(false);
    if (progress)
        progress->Begin(m_name, static_cast<int>(files.size()));
    m_jobs.reserve(files.size());
    const QString prefix = m_folder + QLatin1Char('/');
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (progress && !progress->KeepGoing()) {
            m_loaded = false; // read it whole next time
            break;
        }
        auto job = std::make_unique<CZelJob>(prefix + files.at(i));
        // A ticket taken by another workstation meanwhile is simply gone.
        if (job->IsValid())
            m_jobs.push_back(std::move(job));
        else
            m_unread << files.at(i);
        if (progress)
            progress->Step(static_cast<int>(i + 1));
    }
    if (progress)
        progress->End();
    return Count();
}

int CZelJobContainer::Forget(const QStringList& tickets) {
    QSet<QString> gone;
    for (const QString& ticket : tickets)
        if (!QFileInfo::exists(ticket))
            gone.insert(QDir::cleanPath(ticket));
    if (gone.isEmpty() || !m_loaded)
        return 0;
    const auto before = m_jobs.size();
    std::erase_if(m_jobs, [&gone](const std::unique_ptr<CZelJob>& job) {
        return gone.contains(QDir::cleanPath(job->Path()));
    });
    const int dropped = static_cast<int>(before - m_jobs.size());
    if (dropped == 0)
        return 0;
    // The time first, as Refresh takes it: a ticket arriving after it
    // changes the time again.
    qint64 now = 0;
    if (!LastWriteTime(m_folder, now))
        return dropped;
    QStringList listed = ListTickets(false);
    QStringList held = m_unread;
    for (const auto& job : m_jobs)
        held << QFileInfo(job->Path()).fileName();
    listed.sort();
    held.sort();
    if (listed == held)
        m_lastWrite = now;
    return dropped;
}

QStringList CZelJobContainer::ListTickets(bool sort) const {
    QStringList names;
    const QString filter = QStringLiteral("*.") + QLatin1String(CZelJob::kExtension);
    QDirIterator it(m_folder, {filter}, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    if (sort)
        names.sort();
    return names;
}

CZelJob* CZelJobContainer::Job(int index) const {
    return index >= 0 && index < Count() ? m_jobs[static_cast<size_t>(index)].get() : nullptr;
}

CZelJob* CZelJobContainer::FindByOrdernum(const QString& ordernum) const {
    for (const auto& job : m_jobs) {
        QString text;
        if (job->GetOrdernum(text) && text == ordernum)
            return job.get();
    }
    return nullptr;
}

QString CZelJobContainer::Summary(int plateQuantity, double gridWidth, double gridHeight) const {
    if (m_jobs.empty() || plateQuantity < 1 || !IsGrid(gridWidth, gridHeight))
        return m_name;
    long long totalPlaces = 0;
    long long cases = 0;
    for (const auto& job : m_jobs) {
        const joblisttext::Places places =
            joblisttext::PlacesOf(*job, plateQuantity, gridWidth, gridHeight);
        totalPlaces += places.gridPlaces;
        cases += joblisttext::CasesOf(*job);
    }
    return QStringLiteral("%1 [%2 항목, %3 건, %4 자리]")
        .arg(m_name)
        .arg(Count())
        .arg(cases)
        .arg(totalPlaces);
}
