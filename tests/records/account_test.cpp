#include "recordfiles.h"

#include "records/zelaccount.h"
#include "tests/fulldisk.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

using namespace recordfiles;

namespace {

QString WriteAccountAt(const QString& path, const QString& password) {
    Write(path, Record("Tessel User Account",
                       Elements({{"REAL_NAME", Q(QStringLiteral("홍길동"))},
                                 {"PASS_WORD", password.isEmpty() ? QString() : Q(password)},
                                 {"INITIAL", Q(QStringLiteral("HG"))},
                                 {"LOGIN", Q(QStringLiteral("2011-3-6 18:0:0"))},
                                 {"LOGOUT", Q(QStringLiteral("2011-3-6 19:0:0"))}},
                                1)));
    return path;
}

QString WriteAccount(const KoreanTempDir& dir, const QString& name, const QString& password) {
    return WriteAccountAt(dir.filePath(name + QStringLiteral(".tzuac")), password);
}

// A helper process that logs in to the account when told "go".
class Session {
public:
    Session(const QString& path, const QString& password) {
        m_process.start(QStringLiteral(TESSEL_RECORDS_HELPER),
                        {QStringLiteral("login"), path, password});
        m_process.waitForStarted();
    }
    ~Session() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    void Go() { m_process.write("go\n"); }
    int Result() {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(30000)) {
        }
        return m_process.canReadLine() ? m_process.readLine().trimmed().toInt() : -1;
    }
    // Ends the session the normal way (logging out) or by a crash.
    void End(bool crash) {
        if (crash) {
            ::kill(static_cast<pid_t>(m_process.processId()), SIGKILL);
        } else {
            m_process.closeWriteChannel();
        }
        m_process.waitForFinished(30000);
    }

private:
    QProcess m_process;
};

} // namespace

TEST(Account, LoginLogoutAndTheFileTheyWrite) {
    KoreanTempDir dir;
    const QString path = WriteAccount(dir, QStringLiteral("홍길동"), QStringLiteral("비밀"));
    CZelAccount account(path);
    ASSERT_TRUE(account.IsLoaded());
    QString text;
    ASSERT_TRUE(account.GetAccountName(text));
    EXPECT_EQ(text, QStringLiteral("홍길동"));
    ASSERT_TRUE(account.GetRealName(text));
    EXPECT_EQ(text, QStringLiteral("홍길동"));
    EXPECT_FALSE(account.IsInUse());
    EXPECT_FALSE(account.SetInitial(QStringLiteral("KD"))); // not logged in

    EXPECT_EQ(account.Login(QStringLiteral("틀림")), CZelAccount::WrongPassword);
    EXPECT_EQ(account.Login(QString()), CZelAccount::WrongPassword);
    EXPECT_EQ(account.Login(QStringLiteral("비밀")), CZelAccount::Success);
    EXPECT_TRUE(account.IsInUse());
    const QByteArray written = Read(path);
    EXPECT_TRUE(written.contains("<LOGOUT></LOGOUT>"));
    EXPECT_EQ(account.Login(QStringLiteral("비밀")),
              CZelAccount::Success); // again: nothing written
    EXPECT_EQ(Read(path), written);

    // Another object of this process sees the lock too.
    CZelAccount other(path);
    EXPECT_TRUE(other.IsInUse());
    EXPECT_EQ(other.Login(QStringLiteral("비밀")), CZelAccount::InUse);

    EXPECT_TRUE(account.SetInitial(QStringLiteral("KD")));
    EXPECT_TRUE(account.SetPassword(QStringLiteral("새 비밀")));
    EXPECT_FALSE(account.SetPassword(QString()));
    account.Logout();
    EXPECT_FALSE(account.IsInUse());
    CZelAccount reread(path);
    ASSERT_TRUE(reread.GetInitial(text));
    EXPECT_EQ(text, QStringLiteral("KD"));
    ASSERT_TRUE(reread.GetLogoutTime(text));
    EXPECT_FALSE(text.isEmpty());
    EXPECT_EQ(reread.Login(QStringLiteral("비밀")), CZelAccount::WrongPassword);
    EXPECT_EQ(reread.Login(QStringLiteral("새 비밀")), CZelAccount::Success);
}

TEST(Account, EmptyPasswordTakesTheFirstOneTyped) {
    KoreanTempDir dir;
    const QString path = WriteAccount(dir, QStringLiteral("새 계정"), QString());
    {
        CZelAccount account(path);
        EXPECT_FALSE(account.GetPassword());
        EXPECT_EQ(account.Login(QStringLiteral("처음")), CZelAccount::Success);
    }
    CZelAccount account(path);
    QString password;
    ASSERT_TRUE(account.GetPassword(&password));
    EXPECT_EQ(password, QStringLiteral("처음"));
}

TEST(Account, EmptyOrMissingFiles) {
    KoreanTempDir dir;
    const QString empty = dir.filePath(QStringLiteral("빈.tzuac"));
    Write(empty, "");
    {
        CZelAccount account(empty);
        EXPECT_TRUE(account.IsLoaded()); // an empty file counts as loaded
        QString text;
        EXPECT_TRUE(account.GetRealName(text));
        EXPECT_TRUE(text.isEmpty());
        EXPECT_EQ(account.Login(QStringLiteral("암호")), CZelAccount::Success);
    }
    CZelAccount reread(empty);
    QString password;
    ASSERT_TRUE(reread.GetPassword(&password));
    EXPECT_EQ(password, QStringLiteral("암호"));
    EXPECT_TRUE(Read(empty).contains("Tessel User Account"));

    CZelAccount missing(dir.filePath(QStringLiteral("없음.tzuac")));
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_TRUE(missing.IsInUse());
    EXPECT_EQ(missing.Login(QStringLiteral("x")), CZelAccount::NotLoaded);
    QString text;
    EXPECT_FALSE(missing.GetAccountName(text));

    QDir().mkdir(dir.filePath(QStringLiteral("폴더.tzuac")));
    const auto accounts = CZelAccount::List(dir.path());
    ASSERT_EQ(accounts.size(), 1u);
    EXPECT_EQ(accounts.front()->Path(), empty);
}

// A login that cannot write the account fails and leaves the file whole:
// an emptied account file would take any password afterwards.
TEST(Account, ALoginOnAFullDiskFailsAndKeepsTheAccount) {
    FullDisk disk;
    SCOPED_TRACE(disk.Kind().toStdString());
    const QString path =
        WriteAccountAt(disk.File(QStringLiteral("demo.tzuac")), QStringLiteral("demo"));
    const QByteArray before = Read(path);
    disk.Fill();
    {
        CZelAccount account(path);
        EXPECT_EQ(account.Login(QStringLiteral("demo")), CZelAccount::InUse);
        EXPECT_TRUE(account.LastError().contains(QStringLiteral("No space left")))
            << account.LastError().toStdString();
    }
    EXPECT_EQ(Read(path), before);
    disk.Free();
    CZelAccount account(path);
    EXPECT_EQ(account.Login(QStringLiteral("아무거나")), CZelAccount::WrongPassword);
    EXPECT_EQ(account.Login(QStringLiteral("demo")), CZelAccount::Success);
}

// An account file read only in part is not logged in to (the login would
// write it back without the rest) and stays as it is.
TEST(Account, AnAccountReadOnlyInPartIsRefusedAndKept) {
    KoreanTempDir dir;
    const QString path = WriteAccount(dir, QStringLiteral("반쪽"), QStringLiteral("비밀"));
    QByteArray bytes = Read(path);
    bytes.replace("</INITIAL>", "</INITAL>");
    Write(path, bytes);
    {
        CZelAccount account(path);
        EXPECT_EQ(account.Login(QStringLiteral("비밀")), CZelAccount::NotLoaded);
        EXPECT_TRUE(account.LastError().contains(QStringLiteral("kept")))
            << account.LastError().toStdString();
    }
    EXPECT_EQ(Read(path), bytes);
}

TEST(Account, TimeText) {
    EXPECT_EQ(CZelAccount::TimeText(QDateTime(QDate(2011, 3, 7), QTime(9, 5, 3))),
              QStringLiteral("2011-3-7 9:5:3"));
    EXPECT_EQ(CZelAccount::TimeText(QDateTime(QDate(2011, 12, 31), QTime(23, 59, 59))),
              QStringLiteral("2011-12-31 23:59:59"));
}

TEST(Account, TwoProcessesCompeteForOneAccount) {
    KoreanTempDir dir;
    const QString path = WriteAccount(dir, QStringLiteral("공용"), QStringLiteral("pw"));
    for (int round = 0; round < 3; ++round) {
        Session a(path, QStringLiteral("pw"));
        Session b(path, QStringLiteral("pw"));
        a.Go();
        b.Go();
        const int first = a.Result();
        const int second = b.Result();
        // Exactly one wins; the other is told the account is in use.
        EXPECT_EQ(std::min(first, second), CZelAccount::Success) << round;
        EXPECT_EQ(std::max(first, second), CZelAccount::InUse) << round;
        CZelAccount here(path);
        EXPECT_TRUE(here.IsInUse());
        EXPECT_EQ(here.Login(QStringLiteral("pw")), CZelAccount::InUse);
        // The lock goes with its session, whether it logs out or crashes.
        (first == CZelAccount::Success ? a : b).End(round == 1);
        EXPECT_FALSE(here.IsInUse()) << round;
        EXPECT_EQ(here.Login(QStringLiteral("pw")), CZelAccount::Success) << round;
    }
}

TEST(Account, ReadingKeysItLacksAddsNothingToTheFileALoginWrites) {
    KoreanTempDir dir;
    const QString path = dir.filePath(QStringLiteral("새 계정.tzuac"));
    Write(path,
          Record("Tessel User Account", Elements({{"PASS_WORD", Q(QStringLiteral("비밀"))}}, 1)));
    CZelAccount account(path);
    ASSERT_TRUE(account.IsLoaded());
    const CZelAccount& reader = account;
    QString text = QStringLiteral("old");
    for (bool (CZelAccount::*get)(QString&) const :
         {&CZelAccount::GetInitial, &CZelAccount::GetRealName, &CZelAccount::GetLoginTime,
          &CZelAccount::GetLogoutTime}) {
        EXPECT_TRUE((reader.*get)(text));
        EXPECT_TRUE(text.isEmpty());
    }
    EXPECT_TRUE(reader.GetPassword(&text));
    const QByteArray before = account.Tree().Serialize();
    ASSERT_EQ(account.Login(QStringLiteral("비밀")), CZelAccount::Success);
    const QByteArray written = Read(path);
    EXPECT_FALSE(written.contains("<INITIAL>"));
    EXPECT_FALSE(written.contains("<REAL_NAME>"));
    EXPECT_TRUE(before.contains("<PASS_WORD>"));
    account.Logout();
}
