#include "filemove.h"

#include "markup/durablefile.h"

namespace filemove {
namespace {

Result<void> CopyThenRemove(const QString& from, const QString& to) {
    QString reason;
    switch (durablefile::CopyNew(from, to, &reason)) {
    case durablefile::NewFile::Written:
        break;
    case durablefile::NewFile::Exists:
        return Failure(QStringLiteral("%1 already exists").arg(to));
    case durablefile::NewFile::Failed:
        return Failure(reason);
    }
    if (const Result<void> removed = durablefile::Remove(from); !removed) {
        // Two copies would be two orders: the copy goes again.
        // Should that fail too, the reason below still names the source.
        (void)durablefile::Remove(to);
        return Failure(QStringLiteral("%1 cannot be removed from its folder (%2); it stays there")
                           .arg(from, removed.error()));
    }
    return {};
}

} // namespace

Result<void> Move(const QString& from, const QString& to) {
    QString reason;
    switch (durablefile::RenameNew(from, to, &reason)) {
    case durablefile::Rename::Done:
        return {};
    case durablefile::Rename::OtherFileSystem:
        return CopyThenRemove(from, to);
    case durablefile::Rename::Exists:
        return Failure(QStringLiteral("cannot move %1: %2 already exists").arg(from, to));
    case durablefile::Rename::Failed:
        break;
    }
    return Failure(reason);
}

} // namespace filemove
