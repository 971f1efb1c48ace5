#include "filemove.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace filemove {
namespace {

bool SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

bool CopyThenRemove(const QString& from, const QString& to, QString* error) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return SetError(error, QStringLiteral("%1: %2").arg(from, source.errorString()));
    // QSaveFile writes beside the target, flushes it to disk and renames it
    // over the target on commit; nothing is left behind when it fails.
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return SetError(error, QStringLiteral("%1: %2").arg(to, target.errorString()));
    char buffer[1 << 16];
    for (;;) {
        const qint64 got = source.read(buffer, sizeof buffer);
        if (got < 0) {
            target.cancelWriting();
            target.commit();
            return SetError(error, QStringLiteral("%1: %2").arg(from, source.errorString()));
        }
        if (got == 0)
            break;
        if (target.write(buffer, got) != got) {
            const QString reason = target.errorString();
            target.cancelWriting();
            target.commit();
            return SetError(error, QStringLiteral("%1: %2").arg(to, reason));
        }
    }
    if (!target.commit())
        return SetError(error, QStringLiteral("%1: %2").arg(to, target.errorString()));
    source.close();
    if (!QFile::remove(from))
        return SetError(error, QStringLiteral("%1 was copied to %2 but cannot be removed: %3")
                                   .arg(from, to, source.errorString()));
    return true;
}

} // namespace

bool MoveReplacing(const QString& from, const QString& to, QString* error) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (std::rename(source.constData(), target.constData()) == 0)
        return true;
    const int code = errno;
    if (code == EXDEV)
        return CopyThenRemove(from, to, error);
    return SetError(error, QStringLiteral("cannot move %1 to %2: %3")
                               .arg(from, to, QString::fromLocal8Bit(std::strerror(code))));
}

} // namespace filemove
