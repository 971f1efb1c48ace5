#include "filemove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace filemove {
namespace {

bool SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

QString Reason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// A rename survives a power cut only once its folder is synced.
void SyncFolder(const QString& folder) {
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Renames within one file system, failing with EEXIST when the target is
// there. Folders that know no such rename get a hard link and an unlink,
// which fail the same way.
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

// A hidden name in the target's folder, created empty and exclusively.
int CreatePart(const QString& target, QString& part) {
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        part = info.dir().filePath(
            QStringLiteral(".%1.%2%3")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                .arg(QLatin1String(kPartSuffix)));
        const int fd =
            ::open(Native(part).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, static_cast<size_t>(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (done == 0) {
            errno = ENOSPC;
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
}

// Finishes a part file: synced, of the expected size, closed. On failure
// the part is removed and errno kept.
bool FinishPart(int fd, const QString& part, qint64 expected) {
    struct stat written {};
    bool ok = ::fsync(fd) == 0;
    if (ok && (::fstat(fd, &written) != 0 || written.st_size != expected)) {
        errno = EIO;
        ok = false;
    }
    int code = errno;
    if (::close(fd) != 0 && ok) {
        code = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(Native(part).constData());
        errno = code;
    }
    return ok;
}

bool CopyThenRemove(const QString& from, const QString& to, QString* error) {
    const QByteArray source = Native(from);
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return SetError(error, QStringLiteral("%1: %2").arg(from, Reason(errno)));
    struct stat info {};
    if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(in);
        return SetError(error, QStringLiteral("%1: not a regular file").arg(from));
    }
    QString part;
    const int out = CreatePart(to, part);
    if (out < 0) {
        const int code = errno;
        ::close(in);
        return SetError(error, QStringLiteral("%1: %2").arg(to, Reason(code)));
    }
    char buffer[1 << 16];
    qint64 copied = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || (got > 0 && !WriteAll(out, buffer, got))) {
            const int code = errno;
            const QString& failed = got < 0 ? from : to;
            ::close(in);
            ::close(out);
            ::unlink(Native(part).constData());
            return SetError(error, QStringLiteral("%1: %2").arg(failed, Reason(code)));
        }
        if (got == 0)
            break;
        copied += got;
    }
    ::close(in);
    if (copied != info.st_size) {
        ::close(out);
        ::unlink(Native(part).constData());
        return SetError(error, QStringLiteral("%1 changed while it was copied").arg(from));
    }
    if (!FinishPart(out, part, copied))
        return SetError(error, QStringLiteral("%1: %2").arg(to, Reason(errno)));
    const QByteArray target = Native(to);
    if (const int code = RenameNoReplace(Native(part), target); code != 0) {
        ::unlink(Native(part).constData());
        return SetError(error, code == EEXIST ? QStringLiteral("%1 already exists").arg(to)
                                              : QStringLiteral("%1: %2").arg(to, Reason(code)));
    }
    const QString targetFolder = QFileInfo(to).absolutePath();
    SyncFolder(targetFolder);
    if (::unlink(source.constData()) != 0) {
        // Two copies would be two orders: the copy goes again.
        const int code = errno;
        ::unlink(target.constData());
        SyncFolder(targetFolder);
        return SetError(error,
                        QStringLiteral("%1 cannot be removed from its folder (%2); it stays there")
                            .arg(from, Reason(code)));
    }
    SyncFolder(QFileInfo(from).absolutePath());
    return true;
}

} // namespace

bool Move(const QString& from, const QString& to, QString* error) {
    const int code = RenameNoReplace(Native(from), Native(to));
    if (code == 0) {
        SyncFolder(QFileInfo(to).absolutePath());
        return true;
    }
    if (code == EXDEV)
        return CopyThenRemove(from, to, error);
    if (code == EEXIST)
        return SetError(error, QStringLiteral("cannot move %1: %2 already exists").arg(from, to));
    return SetError(error, QStringLiteral("cannot move %1 to %2: %3").arg(from, to, Reason(code)));
}

bool WriteDurably(const QString& path, const QByteArray& bytes, QString* error) {
    QString part;
    const int fd = CreatePart(path, part);
    if (fd < 0)
        return SetError(error, QStringLiteral("%1: %2").arg(path, Reason(errno)));
    if (!WriteAll(fd, bytes.constData(), bytes.size())) {
        const int code = errno;
        ::close(fd);
        ::unlink(Native(part).constData());
        return SetError(error, QStringLiteral("%1: %2").arg(path, Reason(code)));
    }
    if (!FinishPart(fd, part, bytes.size()))
        return SetError(error, QStringLiteral("%1: %2").arg(path, Reason(errno)));
    if (::rename(Native(part).constData(), Native(path).constData()) != 0) {
        const int code = errno;
        ::unlink(Native(part).constData());
        return SetError(error, QStringLiteral("%1: %2").arg(path, Reason(code)));
    }
    SyncFolder(QFileInfo(path).absolutePath());
    return true;
}

} // namespace filemove
