#include "durablefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace durablefile {
namespace {

// Bytes the test limit still lets through; negative when there is no limit.
std::atomic<qint64> g_bytesLeft{-1};

QString SystemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// Host names go into file names: only the characters every file system takes.
QString HostTag() {
    static const QString tag = [] {
        QString host = QSysInfo::machineHostName();
        QString clean;
        for (const QChar ch : host)
            if ((ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) ||
                (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z')) ||
                (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || ch == QLatin1Char('-'))
                clean += ch;
            else
                clean += QLatin1Char('_');
        return clean.isEmpty() ? QStringLiteral("host") : clean.left(64);
    }();
    return tag;
}

const QRegularExpression& TemporaryPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("^\\..+\\.(\\d+)@([A-Za-z0-9_-]+)\\.part$"));
    return pattern;
}

// The file a write of path replaces: a symbolic link is written through.
QString ResolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString target = info.symLinkTarget();
    return target.isEmpty() ? path : target;
}

// One write as the disk takes it; the test limit stands for a full disk.
ssize_t WriteSome(int fd, const char* data, size_t length) {
    qint64 left = g_bytesLeft.load();
    while (left >= 0) {
        if (left == 0) {
            errno = ENOSPC;
            return -1;
        }
        const qint64 take = std::min<qint64>(left, static_cast<qint64>(length));
        if (g_bytesLeft.compare_exchange_weak(left, left - take)) {
            length = static_cast<size_t>(take);
            break;
        }
    }
    return ::write(fd, data, length);
}

bool WriteAll(int fd, const char* data, qint64 length, int& code) {
    while (length > 0) {
        const ssize_t written = WriteSome(fd, data, static_cast<size_t>(length));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            code = written < 0 ? errno : ENOSPC;
            return false;
        }
        data += written;
        length -= written;
    }
    return true;
}

// Syncs the folder that holds path, so that the rename itself survives a
// power cut. File systems that cannot sync a folder say so with EINVAL.
bool SyncFolderOf(const QString& path, int& code) {
    const int fd = ::open(Native(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        code = errno;
        return false;
    }
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    code = errno;
    ::close(fd);
    return ok;
}

// Renames within one file system only when the target is free: 0 or the
// error (EEXIST when it is taken). File systems that know no such rename get
// a hard link and an unlink, which fail the same way.
int RenameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    const int code = errno;
    if (code != EINVAL && code != ENOSYS && code != ENOTSUP)
        return code;
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    ::unlink(from.constData());
    return 0;
}

// A temporary being written: created beside the target, removed unless
// Finish renamed it over the target. A new file (replace false) takes its
// name only when no file has it, and a link there is not written through.
class Temporary {
public:
    explicit Temporary(const QString& target, bool replace = true)
        : m_target(replace ? ResolvedTarget(target) : target), m_path(TemporaryPath(m_target)),
          m_replace(replace) {}
    ~Temporary() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_done)
            ::unlink(Native(m_path).constData());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    const QString& Target() const { return m_target; }

    Result<void> Open() {
        const QByteArray native = Native(m_path);
        const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
        m_fd = ::open(native.constData(), flags, 0666);
        // The name holds this process's id: a file under it is a leftover
        // of this process or of a dead one that had the same id.
        if (m_fd < 0 && errno == EEXIST && ::unlink(native.constData()) == 0)
            m_fd = ::open(native.constData(), flags, 0666);
        if (m_fd < 0)
            return Failure(QStringLiteral("%1: cannot create a file beside it: %2")
                               .arg(m_target, SystemError(errno)));
        // A replaced file keeps its permissions (an account file stays private).
        struct stat old {};
        if (::stat(Native(m_target).constData(), &old) == 0 && S_ISREG(old.st_mode))
            ::fchmod(m_fd, old.st_mode & 07777);
        return {};
    }

    Result<void> Append(const char* data, qint64 length) {
        int code = 0;
        if (!WriteAll(m_fd, data, length, code))
            return Failure(QStringLiteral("%1: %2").arg(m_target, SystemError(code)));
        m_written += length;
        return {};
    }

    // Syncs, checks the size on disk and renames over the target.
    Result<void> Finish() {
        if (::fsync(m_fd) != 0)
            return Failure(QStringLiteral("%1: %2").arg(m_target, SystemError(errno)));
        struct stat info {};
        if (::fstat(m_fd, &info) != 0)
            return Failure(QStringLiteral("%1: %2").arg(m_target, SystemError(errno)));
        if (info.st_size != m_written)
            return Failure(QStringLiteral("%1: %2 of %3 bytes reached the disk")
                               .arg(m_target)
                               .arg(info.st_size)
                               .arg(m_written));
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return Failure(QStringLiteral("%1: %2").arg(m_target, SystemError(errno)));
        return Rename();
    }

    // For a file another writer filled: sync and size check from outside.
    Result<void> FinishWritten() {
        const int fd = ::open(Native(m_path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return Failure(QStringLiteral("%1: %2").arg(m_target, SystemError(errno)));
        struct stat info {};
        const bool synced = ::fsync(fd) == 0 && ::fstat(fd, &info) == 0;
        const int code = errno;
        ::close(fd);
        if (!synced)
            return Failure(QStringLiteral("%1: %2").arg(m_target, SystemError(code)));
        if (!S_ISREG(info.st_mode) || info.st_size <= 0)
            return Failure(QStringLiteral("%1: the written file is empty").arg(m_target));
        return Rename();
    }

    void Adopt(const QString& path) { m_path = path; }

    // After a Finish of a new file that failed: whether another file had the name.
    bool NameTaken() const { return m_nameTaken; }

private:
    Result<void> Rename() {
        if (m_replace) {
            if (::rename(Native(m_path).constData(), Native(m_target).constData()) != 0)
                return Failure(
                    QStringLiteral("%1: cannot replace it: %2").arg(m_target, SystemError(errno)));
        } else if (const int code = RenameNoReplace(Native(m_path), Native(m_target)); code != 0) {
            m_nameTaken = code == EEXIST;
            return Failure(QStringLiteral("%1: %2").arg(m_target, SystemError(code)));
        }
        m_done = true;
        int code = 0;
        if (!SyncFolderOf(m_target, code))
            return Failure(QStringLiteral("%1: written, but its folder cannot be synced: %2")
                               .arg(m_target, SystemError(code)));
        return {};
    }

    QString m_target;
    QString m_path;
    int m_fd = -1;
    qint64 m_written = 0;
    bool m_replace = true;
    bool m_nameTaken = false;
    bool m_done = false;
};

// Copies from into the open temporary and finishes it.
Result<void> CopyInto(Temporary& file, const QString& from) {
    const int source = ::open(Native(from).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return Failure(QStringLiteral("%1: %2").arg(from, SystemError(errno)));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{source};
    struct stat info {};
    if (::fstat(source, &info) != 0 || !S_ISREG(info.st_mode))
        return Failure(QStringLiteral("%1: not a regular file").arg(from));
    if (Result<void> opened = file.Open(); !opened)
        return opened;
    char buffer[1 << 16];
    qint64 total = 0;
    for (;;) {
        const ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failure(QStringLiteral("%1: %2").arg(from, SystemError(errno)));
        if (got == 0)
            break;
        if (Result<void> appended = file.Append(buffer, got); !appended)
            return appended;
        total += got;
    }
    if (total != info.st_size)
        return Failure(QStringLiteral("%1: changed while it was copied").arg(from));
    return file.Finish();
}

} // namespace

QString TemporaryPath(const QString& target) {
    const QFileInfo info(target);
    return info.dir().filePath(
        QStringLiteral(".%1.%2@%3.part").arg(info.fileName()).arg(::getpid()).arg(HostTag()));
}

Result<void> Write(const QString& path, QByteArrayView bytes) {
    Temporary file(path);
    if (Result<void> opened = file.Open(); !opened)
        return opened;
    if (Result<void> appended = file.Append(bytes.data(), bytes.size()); !appended)
        return appended;
    return file.Finish();
}

Result<void> Copy(const QString& from, const QString& to) {
    Temporary file(to);
    return CopyInto(file, from);
}

Result<NewFile> CopyNew(const QString& from, const QString& to) {
    const QFileInfo target(to);
    if (target.exists() || target.isSymLink())
        return NewFile::Exists;
    Temporary file(to, false);
    const Result<void> copied = CopyInto(file, from);
    if (copied)
        return NewFile::Written;
    if (file.NameTaken())
        return NewFile::Exists;
    return Failure(copied.error());
}

Result<Rename> RenameNew(const QString& from, const QString& to) {
    const int code = RenameNoReplace(Native(from), Native(to));
    if (code == EEXIST)
        return Rename::Exists;
    if (code == EXDEV)
        return Rename::OtherFileSystem;
    if (code != 0)
        return Failure(QStringLiteral("cannot move %1 to %2: %3").arg(from, to, SystemError(code)));
    // The file has moved whatever the syncs say: callers must know where it is.
    int ignored = 0;
    SyncFolderOf(to, ignored);
    if (QFileInfo(from).absolutePath() != QFileInfo(to).absolutePath())
        SyncFolderOf(from, ignored);
    return Rename::Done;
}

Result<void> Remove(const QString& path) {
    if (::unlink(Native(path).constData()) != 0)
        return Failure(QStringLiteral("%1: %2").arg(path, SystemError(errno)));
    // The file is gone whatever the sync says.
    int ignored = 0;
    SyncFolderOf(path, ignored);
    return {};
}

Result<NewFile> WriteNew(const QString& path, QByteArrayView bytes) {
    const QByteArray native = Native(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return NewFile::Exists;
        return Failure(QStringLiteral("%1: %2").arg(path, SystemError(errno)));
    }
    int code = 0;
    struct stat info {};
    bool ok = WriteAll(fd, bytes.data(), bytes.size(), code);
    if (ok && (::fsync(fd) != 0 || ::fstat(fd, &info) != 0)) {
        code = errno;
        ok = false;
    }
    if (ok && info.st_size != bytes.size()) {
        code = ENOSPC;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        code = errno;
        ok = false;
    }
    if (ok && !SyncFolderOf(path, code))
        ok = false;
    if (!ok) {
        // The name was ours: giving it back lets the next try take it.
        ::unlink(native.constData());
        return Failure(QStringLiteral("%1: %2").arg(path, SystemError(code)));
    }
    return NewFile::Written;
}

Result<void> Publish(const QString& temporary, const QString& target) {
    Temporary file(target);
    file.Adopt(temporary);
    return file.FinishWritten();
}

int RemoveStaleTemporaries(const QString& folder) {
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return 0;
    int removed = 0;
    const QString host = HostTag();
    const QStringList names =
        dir.entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = TemporaryPattern().match(name);
        if (!match.hasMatch() || match.captured(2) != host)
            continue;
        bool number = false;
        const qint64 pid = match.captured(1).toLongLong(&number);
        if (!number || pid <= 0 || pid > std::numeric_limits<pid_t>::max())
            continue;
        // EPERM means the process exists under another user: still alive.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        if (QFile::remove(dir.filePath(name)))
            ++removed;
    }
    return removed;
}

ScopedWriteLimitForTests::ScopedWriteLimitForTests(qint64 bytes) {
    g_bytesLeft = std::max<qint64>(bytes, 0);
}

ScopedWriteLimitForTests::~ScopedWriteLimitForTests() {
    g_bytesLeft = -1;
}

} // namespace durablefile
