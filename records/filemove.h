#pragma once

#include "markup/result.h"

#include <QString>

// Moving record files between shared folders without ever losing one or
// leaving two.
namespace filemove {

// Moves from onto to; never replaces: an existing target fails the move and
// both files stay as they were. Within a file system this is one rename.
// Across file systems the file is copied under a temporary name in the
// target folder, synced, given its name, and only then is the source
// removed; when the source cannot be removed the copy is removed again, so
// the file stands in exactly one place. A failure says why.
Result<void> Move(const QString& from, const QString& to);

} // namespace filemove
