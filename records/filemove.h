#pragma once

#include <QString>

// Moving record files between shared folders without ever losing one.
namespace filemove {

// Moves from onto to, replacing an existing target in one step (a rename
// over it), so that either the old or the new file stands at the target and
// the source is never lost. Across file systems the file is copied to a
// temporary name beside the target, flushed, renamed over the target, and
// only then is the source removed. On failure the source stays where it was
// and error says why.
bool MoveReplacing(const QString& from, const QString& to, QString* error = nullptr);

} // namespace filemove
