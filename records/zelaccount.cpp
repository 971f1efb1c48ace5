#include "zelaccount.h"

#include "accountrules.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Open file description locks belong to the descriptor, not the process:
// another object of this process conflicts with them too, and closing some
// other descriptor of the file does not drop them. Where the kernel lacks
// them, flock() has the same ownership.
bool UseOfdLocks() {
#ifdef F_OFD_SETLK
    return true;
#else
    return false;
#endif
}

struct flock WholeFile(short type) {
    struct flock lock;
    std::memset(&lock, 0, sizeof lock);
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

int OpenFile(const QString& path, int flags) {
    return ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
}

// Takes an exclusive lock on an open descriptor without waiting.
bool LockExclusive(int fd) {
#ifdef F_OFD_SETLK
    if (UseOfdLocks()) {
        struct flock lock = WholeFile(F_WRLCK);
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
            return true;
        if (errno != EINVAL)
            return false;
    }
#endif
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// Whether someone else holds the lock, without taking one (a momentary
// lock by the test could make a real login fail).
bool LockedByOther(int fd) {
#ifdef F_OFD_GETLK
    if (UseOfdLocks()) {
        struct flock lock = WholeFile(F_WRLCK);
        if (::fcntl(fd, F_OFD_GETLK, &lock) == 0)
            return lock.l_type != F_UNLCK;
        if (errno != EINVAL)
            return true;
    }
#endif
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
        return true;
    ::flock(fd, LOCK_UN);
    return false;
}

} // namespace

CZelAccount::CZelAccount(const QString& path) : m_path(path) {
    if (QFileInfo(path).isFile()) {
        const int result = m_tree.LoadFile(path);
        m_loaded = result >= 0;
        if (result < 0)
            m_error = m_tree.LastFileError();
        m_readWhole = result < 0 || m_tree.LastParseReport().complete;
        if (!m_readWhole)
            m_error = QStringLiteral("%1: %2; the file is kept as it is")
                          .arg(path, m_tree.LastParseReport().reason);
    }
    // An empty or cut file has left no root: build one, so that getters and
    // setters never work on deleted items.
    BuildStructure();
}

CZelAccount::~CZelAccount() {
    Logout();
}

void CZelAccount::BuildStructure() {
    m_root = m_tree.GetRoot();
    if (m_root)
        return;
    m_root = m_tree.SetHeader(QString::fromLatin1(kDocumentType));
}

bool CZelAccount::GetAccountName(QString& name) const {
    if (!m_loaded)
        return false;
    name = QFileInfo(m_path).completeBaseName();
    return true;
}

bool CZelAccount::GetKey(const char* key, QString& text) const {
    if (!m_loaded)
        return false;
    text = m_tree.ValueOr(m_root, key).toString();
    return true;
}

bool CZelAccount::GetPassword(QString* text) const {
    if (!m_loaded)
        return false;
    const QString stored = m_tree.ValueOr(m_root, "PASS_WORD").toString();
    if (stored.isEmpty())
        return false;
    if (text)
        *text = stored;
    return true;
}

bool CZelAccount::SetPassword(const QString& text) {
    if (!m_loaded || !m_loggedIn || !accountrules::IsValidPassword(text))
        return false;
    m_tree.Value(m_root, "PASS_WORD") = text;
    return true;
}

bool CZelAccount::SetInitial(const QString& text) {
    if (!m_loaded || !m_loggedIn || !accountrules::IsValidInitials(text))
        return false;
    m_tree.Value(m_root, "INITIAL") = text;
    return true;
}

bool CZelAccount::TestPassword(const QString& entered, const QString& stored, QString& toStore) {
    if (entered.isEmpty())
        return false;
    if (stored.isEmpty()) {
        // The first password becomes the stored one: it must survive the file.
        if (!accountrules::IsValidPassword(entered))
            return false;
        toStore = entered;
        return true;
    }
    toStore = stored;
    return entered == stored;
}

bool CZelAccount::IsInUse() const {
    const int fd = OpenFile(m_path, O_RDONLY);
    if (fd < 0)
        return true;
    const bool locked = LockedByOther(fd);
    ::close(fd);
    return locked;
}

CZelAccount::LoginResult CZelAccount::Login(const QString& password) {
    if (!m_loaded || !m_readWhole)
        return NotLoaded;
    m_error.clear();
    const QString now = TimeText(QDateTime::currentDateTime());
    QString toStore;
    if (!TestPassword(password, m_tree.ValueOr(m_root, "PASS_WORD").toString(), toStore))
        return WrongPassword;
    if (m_loggedIn)
        return Success;
    if (IsInUse()) {
        m_error = QStringLiteral("%1 is in use").arg(m_path);
        return InUse;
    }
    // The save replaces the file by a new one, and a lock stays with the file
    // it was taken on. So: lock the current file (competitors stop here),
    // save, lock the new file, and only then let go of the old one.
    const int current = OpenFile(m_path, O_WRONLY | O_APPEND);
    if (current < 0 || !LockExclusive(current)) {
        if (current >= 0)
            ::close(current);
        m_error = QStringLiteral("%1 is in use").arg(m_path);
        return InUse;
    }
    m_tree.Value(m_root, "PASS_WORD") = toStore;
    m_tree.Value(m_root, "LOGIN") = now;
    m_tree.Value(m_root, "LOGOUT") = QString();
    if (m_tree.SaveFile(m_path) < 0) {
        m_error = m_tree.LastFileError();
        ::close(current);
        return InUse;
    }
    const int saved = OpenFile(m_path, O_WRONLY | O_APPEND);
    if (saved < 0 || !LockExclusive(saved)) {
        if (saved >= 0)
            ::close(saved);
        ::close(current);
        m_error = QStringLiteral("%1 was taken by another session").arg(m_path);
        return InUse;
    }
    ::close(current);
    m_lock = saved;
    m_loggedIn = true;
    return Success;
}

void CZelAccount::Logout() {
    if (!m_loaded || !m_loggedIn)
        return;
    m_tree.Value(m_root, "LOGOUT") = TimeText(QDateTime::currentDateTime());
    // Saved while still locked: a session that takes the account as soon as
    // it is free writes after this, never before.
    if (m_tree.SaveFile(m_path) < 0)
        m_error = m_tree.LastFileError();
    ::close(m_lock);
    m_lock = -1;
    m_loggedIn = false;
}

QString CZelAccount::TimeText(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second());
}

std::vector<std::unique_ptr<CZelAccount>> CZelAccount::List(const QString& folder) {
    std::vector<std::unique_ptr<CZelAccount>> accounts;
    QDirIterator it(folder, {QStringLiteral("*.") + QLatin1String(kExtension)},
                    QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        auto account = std::make_unique<CZelAccount>(it.filePath());
        if (account->IsLoaded())
            accounts.push_back(std::move(account));
    }
    return accounts;
}
