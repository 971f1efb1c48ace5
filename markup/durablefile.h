#pragma once

#include "markup/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Every file the program writes goes through here, so that a full or failing
// disk never leaves an empty or partial file in place of a good one, and a
// write never reports success without the bytes being on the disk.
//
// A write goes to a hidden temporary beside the target (see TemporaryPath),
// checks every write, syncs the file, checks its size on disk, renames it
// over the target and syncs the folder. On any failure the temporary is
// removed, the target is left as it was, and the failure says why.
// A target that is a symbolic link is written through: the file it points
// to is replaced and the link stays.
namespace durablefile {

// Writes bytes as the whole content of path.
Result<void> Write(const QString& path, QByteArrayView bytes);

// Copies the file from onto to. from is not changed.
Result<void> Copy(const QString& from, const QString& to);

// Creates path with bytes only when no file of that name exists: the
// creation is what claims the name against other processes and workstations.
// Exists when another file already has the name (nothing written, not a
// failure).
enum class NewFile { Written, Exists };
Result<NewFile> WriteNew(const QString& path, QByteArrayView bytes);

// Copies the file from to a new file to, claiming the name as WriteNew does:
// the copy is written and synced under the temporary name, then given the
// name only when no file has it (a symbolic link there counts as a file).
// Exists when the name is taken: nothing is left behind. from is not changed.
Result<NewFile> CopyNew(const QString& from, const QString& to);

// Renames from to to, only when no file of that name exists, and syncs the
// folders of both so that the rename survives a power cut (Done once the
// rename is made: the file is at to). Exists when the name is taken,
// OtherFileSystem when the two lie on different file systems; in both cases
// nothing changed and neither is a failure.
enum class Rename { Done, Exists, OtherFileSystem };
Result<Rename> RenameNew(const QString& from, const QString& to);

// Removes the file and syncs its folder, so that the removal survives a
// power cut. Fails only when the file could not be removed.
Result<void> Remove(const QString& path);

// Puts a file that another writer (the composition library) finished at
// temporary in place of target: syncs it, checks that it is not empty,
// renames it over target and syncs the folder. temporary is removed when
// this fails.
Result<void> Publish(const QString& temporary, const QString& target);

// The hidden name beside target that this process writes target under:
// ".NAME.PID@HOST.part". The leading dot and the ".part" ending keep hot
// folders and file lists from taking it for a finished file; the process id
// and host name tell a later run whether its writer is still alive.
QString TemporaryPath(const QString& target);

// Removes this program's temporaries in folder whose writer is gone: the
// process named in the name no longer runs on this host. Temporaries of
// other hosts are left to their own next run. Returns how many were removed.
int RemoveStaleTemporaries(const QString& folder);

// For tests of the full-disk path where a small file system cannot be
// mounted: while an object lives, writes through this helper (in every
// thread) fail with "no space left on device" once bytes have been written.
class ScopedWriteLimitForTests {
public:
    explicit ScopedWriteLimitForTests(qint64 bytes);
    ~ScopedWriteLimitForTests();
    ScopedWriteLimitForTests(const ScopedWriteLimitForTests&) = delete;
    ScopedWriteLimitForTests& operator=(const ScopedWriteLimitForTests&) = delete;
};

} // namespace durablefile
