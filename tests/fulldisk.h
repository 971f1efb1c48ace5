#pragma once

#include "markup/durablefile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// A folder on a disk that can be filled up. Where the process may mount (as
// root, in a mount namespace of its own that vanishes with the process) it is
// a small tmpfs and Fill takes all its free space, so that writes fail as on a
// real full disk. Where mounting is refused (a CI sandbox), it is a plain
// temporary folder and Fill starts the write helper's injected failure, so
// the tests still run and check. TESSEL_TEST_NO_MOUNT=1 forces the fallback.
class FullDisk {
public:
    FullDisk() {
        if (!m_dir.isValid())
            return;
        m_path = m_dir.path() + QStringLiteral("/disk");
        QDir().mkpath(m_path);
        m_mounted = PrivateMounts() && ::mount("tessel-test", QFile::encodeName(m_path).constData(),
                                               "tmpfs", 0, "size=512k") == 0;
        // Which of the two a run used shows in the test report.
        if (::testing::UnitTest::GetInstance()->current_test_info())
            ::testing::Test::RecordProperty("full_disk", Kind().toStdString());
    }
    ~FullDisk() {
        m_limit.reset();
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    const QString& Path() const { return m_path; }
    QString File(const QString& name) const { return QDir(m_path).filePath(name); }
    bool Mounted() const { return m_mounted; }
    QString Kind() const {
        return m_mounted ? QStringLiteral("tmpfs") : QStringLiteral("injected write failure");
    }

    // No byte more fits.
    void Fill() {
        if (!m_mounted) {
            m_limit.emplace(0);
            return;
        }
        const int fd = ::open(QFile::encodeName(File(QStringLiteral(".filler"))).constData(),
                              O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0)
            return;
        const QByteArray block(4096, 'f');
        for (qsizetype size = block.size(); size > 0; size /= 2)
            while (::write(fd, block.constData(), static_cast<size_t>(size)) > 0) {
            }
        ::close(fd);
    }
    void Free() {
        m_limit.reset();
        QFile::remove(File(QStringLiteral(".filler")));
    }

private:
    // Mounts made here stay inside this process and its children.
    static bool PrivateMounts() {
        static const bool ok = [] {
            const char* forced = std::getenv("TESSEL_TEST_NO_MOUNT");
            if (forced && *forced == '1')
                return false;
            return ::unshare(CLONE_NEWNS) == 0 &&
                   ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        }();
        return ok;
    }

    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
    std::optional<durablefile::ScopedWriteLimitForTests> m_limit;
};
