#include "markup/durablefile.h"
#include "tests/fulldisk.h"
#include "tests/succeeded.h"
#include "testtree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteRaw(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Everything in folder but the full-disk filler.
QStringList Entries(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(QStringLiteral(".filler"));
    return names;
}

// A process id that surely names no running process: a child that has ended.
qint64 DeadPid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

QString HostOfTemporary(const QString& target) {
    const QString name = QFileInfo(durablefile::TemporaryPath(target)).fileName();
    return name.mid(name.indexOf(QLatin1Char('@')) + 1).chopped(5);
}

} // namespace

// Each way of writing leaves the old file whole when the disk is full, says
// why, and leaves no temporary behind; with room it writes every byte.
TEST(DurableFile, AFullDiskNeverReplacesAGoodFile) {
    const QByteArray old = "the good file, as it was\r\n";
    const QByteArray fresh(20000, 'n');
    struct Case {
        const char* name;
        std::function<Result<void>(const QString& target, const QString& source)> write;
    };
    const Case cases[] = {
        {"Write",
         [&](const QString& target, const QString&) { return durablefile::Write(target, fresh); }},
        {"Copy", [&](const QString& target,
                     const QString& source) { return durablefile::Copy(source, target); }},
        {"markup SaveFile",
         [&](const QString& target, const QString&) -> Result<void> {
             TestTree tree;
             const QByteArray text = "<A><T>\"" + fresh + "\"</T></A>";
             tree.Parse(text.constData(), text.size());
             if (tree.SaveFile(target) < 0)
                 return Failure(tree.LastFileError());
             return {};
         }},
    };
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(QStringLiteral("source.bin"));
    WriteRaw(source, fresh);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FullDisk disk;
        SCOPED_TRACE(disk.Kind().toStdString());
        const QString target = disk.File(QStringLiteral("record.tzpr"));
        WriteRaw(target, old);
        disk.Fill();
        const Result<void> failed = c.write(target, source);
        EXPECT_FALSE(failed.ok());
        const QString& error = failed.error();
        EXPECT_TRUE(error.contains(target)) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("No space left"))) << error.toStdString();
        EXPECT_EQ(ReadAll(target), old);
        EXPECT_EQ(Entries(disk.Path()), QStringList{QStringLiteral("record.tzpr")});

        disk.Free();
        EXPECT_TRUE(Succeeded(c.write(target, source)));
        EXPECT_TRUE(ReadAll(target).contains(fresh.left(100)));
        EXPECT_GE(QFileInfo(target).size(), fresh.size());
        EXPECT_EQ(Entries(disk.Path()), QStringList{QStringLiteral("record.tzpr")});
    }
}

// A plate code is taken by creating its file; a full disk must not leave an
// empty code file that takes the number without holding the record.
TEST(DurableFile, ANewFileIsWholeOrAbsent) {
    FullDisk disk;
    SCOPED_TRACE(disk.Kind().toStdString());
    const QString taken = disk.File(QStringLiteral("taken.tzpan"));
    WriteRaw(taken, "first");
    const Result<durablefile::NewFile> second = durablefile::WriteNew(taken, "second");
    ASSERT_TRUE(Succeeded(second));
    EXPECT_EQ(second.value(), durablefile::NewFile::Exists);
    EXPECT_EQ(ReadAll(taken), "first");

    const QString fresh = disk.File(QStringLiteral("fresh.tzpan"));
    disk.Fill();
    const Result<durablefile::NewFile> failed = durablefile::WriteNew(fresh, QByteArray(9000, 'c'));
    EXPECT_FALSE(failed.ok());
    const QString& error = failed.error();
    EXPECT_TRUE(error.contains(QStringLiteral("No space left"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(fresh));
    disk.Free();
    const Result<durablefile::NewFile> written = durablefile::WriteNew(fresh, "code");
    ASSERT_TRUE(Succeeded(written));
    EXPECT_EQ(written.value(), durablefile::NewFile::Written);
    EXPECT_EQ(ReadAll(fresh), "code");
}

// Copies and renames onto a new name never replace what holds the name,
// a link included, and leave no temporary behind.
TEST(DurableFile, NewNamesAreClaimedNeverReplaced) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("A-1.pdf"));
    const QString taken = dir.filePath(QStringLiteral("taken.pdf"));
    const QString link = dir.filePath(QStringLiteral("link.pdf"));
    WriteRaw(source, "%PDF-source");
    WriteRaw(taken, "%PDF-other");
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere.pdf")), link));
    for (const QString& target : {taken, link}) {
        const Result<durablefile::NewFile> copied = durablefile::CopyNew(source, target);
        ASSERT_TRUE(Succeeded(copied));
        EXPECT_EQ(copied.value(), durablefile::NewFile::Exists);
        const Result<durablefile::Rename> renamed = durablefile::RenameNew(source, target);
        ASSERT_TRUE(Succeeded(renamed));
        EXPECT_EQ(renamed.value(), durablefile::Rename::Exists);
    }
    EXPECT_EQ(ReadAll(taken), "%PDF-other");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nowhere.pdf"))));

    const QString copy = dir.filePath(QStringLiteral("copy.pdf"));
    const Result<durablefile::NewFile> copied = durablefile::CopyNew(source, copy);
    ASSERT_TRUE(Succeeded(copied));
    EXPECT_EQ(copied.value(), durablefile::NewFile::Written);
    EXPECT_EQ(ReadAll(copy), "%PDF-source");
    const QString moved = dir.filePath(QStringLiteral("moved.pdf"));
    const Result<durablefile::Rename> renamed = durablefile::RenameNew(source, moved);
    ASSERT_TRUE(Succeeded(renamed));
    EXPECT_EQ(renamed.value(), durablefile::Rename::Done);
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_EQ(ReadAll(moved), "%PDF-source");
    EXPECT_TRUE(Succeeded(durablefile::Remove(moved)));
    EXPECT_FALSE(durablefile::Remove(moved).ok());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{QStringLiteral("copy.pdf"), QStringLiteral("link.pdf"),
                           QStringLiteral("taken.pdf")}));
}

TEST(DurableFile, PublishRefusesAnEmptyFileAndKeepsTheTarget) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("press.pdf"));
    WriteRaw(target, "%PDF-old");
    const QString temporary = durablefile::TemporaryPath(target);
    WriteRaw(temporary, "");
    const Result<void> refused = durablefile::Publish(temporary, target);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().contains(QStringLiteral("empty"))) << refused.error().toStdString();
    EXPECT_EQ(ReadAll(target), "%PDF-old");
    EXPECT_FALSE(QFileInfo::exists(temporary));

    WriteRaw(temporary, "%PDF-new");
    EXPECT_TRUE(Succeeded(durablefile::Publish(temporary, target)));
    EXPECT_EQ(ReadAll(target), "%PDF-new");
    EXPECT_FALSE(QFileInfo::exists(temporary));
}

// A replaced file keeps its permissions, and a link keeps pointing at the
// file it named, which now holds the new bytes.
TEST(DurableFile, KeepsPermissionsAndLinks) {
    QTemporaryDir dir;
    const QString account = dir.filePath(QStringLiteral("demo.tzuac"));
    WriteRaw(account, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(account).constData(), 0600), 0);
    ASSERT_TRUE(Succeeded(durablefile::Write(account, "new")));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(account).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const QString link = dir.filePath(QStringLiteral("link.tzuac"));
    ASSERT_TRUE(QFile::link(account, link));
    ASSERT_TRUE(Succeeded(durablefile::Write(link, "through the link")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadAll(account), "through the link");
}

// Only temporaries of this program's pattern whose writer, on this host, has
// ended are removed: a live writer's file, another host's file and files of
// other patterns stay.
TEST(DurableFile, StaleTemporariesOfEndedRunsAreRemoved) {
    QTemporaryDir dir;
    const QString host = HostOfTemporary(dir.filePath(QStringLiteral("x")));
    const qint64 dead = DeadPid();
    const QString deadOne = QStringLiteral(".plate_A.pdf.%1@%2.part").arg(dead).arg(host);
    const QString deadTwo = QStringLiteral(".P 0001.pdf.%1@%2.part").arg(dead).arg(host);
    const QString live =
        QFileInfo(durablefile::TemporaryPath(dir.filePath(QStringLiteral("a.pdf")))).fileName();
    const QString otherHost = QStringLiteral(".b.pdf.%1@another-host.part").arg(dead);
    const QStringList kept = {live,
                              otherHost,
                              QStringLiteral(".b.pdf.abc@%1.part").arg(host),
                              QStringLiteral("b.pdf.%1@%2.part").arg(dead).arg(host),
                              QStringLiteral(".b.pdf.XYZ123"),
                              QStringLiteral("b.pdf")};
    for (const QString& name : kept + QStringList{deadOne, deadTwo})
        WriteRaw(dir.filePath(name), "x");
    EXPECT_EQ(durablefile::RemoveStaleTemporaries(dir.path()), 2);
    QStringList left = Entries(dir.path());
    QStringList expected = kept;
    left.sort();
    expected.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(durablefile::RemoveStaleTemporaries(QString()), 0);
}

// A leftover under this process's own temporary name (a write that was cut
// off) does not stop the next write of the same file.
TEST(DurableFile, ALeftoverUnderTheSameNameIsReplaced) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("t.tzmp"));
    WriteRaw(durablefile::TemporaryPath(target), "half a file");
    ASSERT_TRUE(Succeeded(durablefile::Write(target, "whole")));
    EXPECT_EQ(ReadAll(target), "whole");
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("t.tzmp")});
}
