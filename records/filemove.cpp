#include "filemove.h"

#include "markup/durablefile.h"

namespace filemove {
namespace {

bool SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

bool CopyThenRemove(const QString& from, const QString& to, QString* error) {
    QString reason;
    switch (durablefile::CopyNew(from, to, &reason)) {
    case durablefile::NewFile::Written:
        break;
    case durablefile::NewFile::Exists:
        return SetError(error, QStringLiteral("%1 already exists").arg(to));
    case durablefile::NewFile::Failed:
        return SetError(error, reason);
    }
    if (!durablefile::Remove(from, &reason)) {
        // Two copies would be two orders: the copy goes again.
        durablefile::Remove(to);
        return SetError(error, QStringLiteral("%1 cannot be removed from its folder (%2); it "
                                              "stays there")
                                   .arg(from, reason));
    }
    return true;
}

} // namespace

bool Move(const QString& from, const QString& to, QString* error) {
    QString reason;
    switch (durablefile::RenameNew(from, to, &reason)) {
    case durablefile::Rename::Done:
        return true;
    case durablefile::Rename::OtherFileSystem:
        return CopyThenRemove(from, to, error);
    case durablefile::Rename::Exists:
        return SetError(error, QStringLiteral("cannot move %1: %2 already exists").arg(from, to));
    case durablefile::Rename::Failed:
        break;
    }
    return SetError(error, reason);
}

} // namespace filemove
