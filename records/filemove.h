#pragma once

#include <QByteArray>
#include <QString>

// Moving record files between shared folders without ever losing one or
// leaving two.
namespace filemove {

// Moves from onto to; never replaces: an existing target fails the move and
// both files stay as they were. Within a file system this is one rename.
// Across file systems the file is copied to a hidden name in the target
// folder, synced, renamed to its name, and only then is the source removed;
// when the source cannot be removed the copy is removed again, so the file
// stands in exactly one place. On failure error says why.
bool Move(const QString& from, const QString& to, QString* error = nullptr);

// Writes bytes to path through a hidden file beside it: every write checked,
// synced and its size checked before it is renamed over path, then the
// folder is synced. On failure the old file at path is untouched.
bool WriteDurably(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// The hidden names the two above use while they work: a leading "." and
// this suffix. A file of this pattern is never a ticket or a PDF.
inline constexpr char kPartSuffix[] = ".tessel-part";

} // namespace filemove
