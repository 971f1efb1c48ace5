#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/stat.h>

// A second file system for moves across devices: a small tmpfs mounted for
// the test where the system allows it, else /dev/shm when it is another file
// system than the temporary folder. what says which one, or why there is none.
class SecondFileSystem {
public:
    explicit SecondFileSystem(const char* size = "4m") : m_size(size) {
        if (m_mountPoint.isValid() &&
            ::mount("tmpfs", Native(m_mountPoint.path()), "tmpfs", 0, Options(0)) == 0) {
            m_mounted = true;
            m_path = m_mountPoint.path();
            what = QStringLiteral("a tmpfs of %1 mounted for the test").arg(QLatin1String(size));
            return;
        }
        m_shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tessel-XXXXXX"));
        struct stat a {
        }, b{};
        if (m_shm->isValid() && ::stat(Native(QDir::tempPath()), &a) == 0 &&
            ::stat(Native(m_shm->path()), &b) == 0 && a.st_dev != b.st_dev) {
            m_path = m_shm->path();
            what = QStringLiteral("/dev/shm (mounting was refused)");
            return;
        }
        what = QStringLiteral("none: mounting was refused and /dev/shm is no other file system");
    }
    ~SecondFileSystem() {
        if (m_mounted)
            ::umount2(Native(m_mountPoint.path()), MNT_DETACH);
    }

    bool IsValid() const { return !m_path.isEmpty(); }
    bool IsMounted() const { return m_mounted; }
    const QString& path() const { return m_path; }
    QString mkdir(const QString& name) const {
        QDir().mkpath(QDir(m_path).filePath(name));
        return QDir(m_path).filePath(name);
    }
    // Nothing can be removed from or written to it any more; only a mounted one can.
    bool MakeReadOnly() {
        return m_mounted && ::mount("tmpfs", Native(m_mountPoint.path()), "tmpfs",
                                    MS_REMOUNT | MS_RDONLY, Options(0)) == 0;
    }

    QString what;

private:
    static const char* Native(const QString& path) {
        static thread_local QByteArray bytes;
        bytes = QFile::encodeName(path);
        return bytes.constData();
    }
    const char* Options(int) {
        m_options = QByteArray("size=") + m_size;
        return m_options.constData();
    }

    QByteArray m_size;
    QByteArray m_options;
    QTemporaryDir m_mountPoint;
    std::unique_ptr<QTemporaryDir> m_shm;
    QString m_path;
    bool m_mounted = false;
};
