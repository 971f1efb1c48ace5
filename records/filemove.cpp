#include "filemove.h"

#include "markup/durablefile.h"

namespace filemove {
namespace {

Result<void> CopyThenRemove(const QString& from, const QString& to) {
    const Result<durablefile::NewFile> copied = durablefile::CopyNew(from, to);
    if (!copied)
        return Failure(copied.error());
    if (copied.value() == durablefile::NewFile::Exists)
        return Failure(QStringLiteral("%1 already exists").arg(to));
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
    const Result<durablefile::Rename> renamed = durablefile::RenameNew(from, to);
    if (!renamed)
        return Failure(renamed.error());
    switch (renamed.value()) {
    case durablefile::Rename::Done:
        break;
    case durablefile::Rename::OtherFileSystem:
        return CopyThenRemove(from, to);
    case durablefile::Rename::Exists:
        return Failure(QStringLiteral("cannot move %1: %2 already exists").arg(from, to));
    }
    return {};
}

} // namespace filemove
