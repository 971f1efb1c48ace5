#include "../records/recordfiles.h"
#include "shop/serverconfig.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using serverconfig::Folder;

namespace {

class ServerConfig : public ::testing::Test {
protected:
    recordfiles::KoreanTempDir shop;
    serverconfig::Folders folders;

    void SetUp() override {
        const char* names[] = {"계정", "프리셋", "jobs", "pdfs", "진행", "완료", "local"};
        for (Folder folder : serverconfig::kCheckOrder)
            folders[static_cast<int>(folder)] =
                shop.mkdir(QString::fromUtf8(names[static_cast<int>(folder)]));
    }
    QString& At(Folder folder) { return folders[static_cast<int>(folder)]; }
};

} // namespace

TEST_F(ServerConfig, ChecksEachFolderInTheDialogsOrder) {
    EXPECT_FALSE(serverconfig::Check(folders));

    struct Case {
        const char* what;
        Folder folder;
        QString path;
        bool prompt; // the message is the folder's prompt
    };
    const Case cases[] = {
        {"missing accounts folder", Folder::Users, shop.filePath(QStringLiteral("nowhere")), true},
        {"relative path", Folder::Pdfs, QStringLiteral("pdfs"), true},
        {"empty", Folder::LocalWork, QString(), true},
        {"a file, not a folder", Folder::Preset, shop.filePath(QStringLiteral("file")), true},
        {"progress inside jobs", Folder::Progress, shop.mkdir(QStringLiteral("jobs/진행")), false},
        {"release is jobs", Folder::Release, shop.filePath(QStringLiteral("jobs/")), false},
    };
    ASSERT_TRUE(recordfiles::Write(shop.filePath(QStringLiteral("file")), "x"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        serverconfig::Folders changed = folders;
        changed[static_cast<int>(c.folder)] = c.path;
        const auto problem = serverconfig::Check(changed);
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->folder, c.folder);
        EXPECT_EQ(problem->message == serverconfig::Prompt(c.folder), c.prompt);
    }

    // With nothing set, the accounts folder is named first.
    const auto first = serverconfig::Check(serverconfig::Folders{});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->message, QStringLiteral("작업 계정 파일이 저장된 폴더를 선택하십시오."));
}

TEST_F(ServerConfig, StoresCleanFoldersAndRepairsTheHeaderAtOnce) {
    const QString preferences = shop.mkdir(QStringLiteral("Preferences"));
    const QString file = QDir(preferences).filePath(QLatin1String(CZelPreference::kFileName));
    // A file that failed validation for its header.
    ASSERT_TRUE(recordfiles::Write(file, recordfiles::Record("Something Else", QString())));
    CZelPreference preference;
    preference.Load(preferences);
    EXPECT_FALSE(preference.ValidatePreference());

    At(Folder::Jobs) += QStringLiteral("/");
    At(Folder::Pdfs) += QStringLiteral("/./");
    const Result<void> stored = serverconfig::Store(preference, folders);
    ASSERT_TRUE(stored) << stored.error().toStdString();

    CZelPreference again;
    ASSERT_TRUE(again.Load(preferences));
    QString reason;
    EXPECT_TRUE(again.ValidatePreference(&reason)) << reason.toStdString();
    const serverconfig::Folders read = serverconfig::Read(again);
    EXPECT_EQ(read[static_cast<int>(Folder::Jobs)], shop.filePath(QStringLiteral("jobs")));
    EXPECT_EQ(read[static_cast<int>(Folder::Pdfs)], shop.filePath(QStringLiteral("pdfs")));
    const QByteArray bytes = recordfiles::Read(file);
    EXPECT_FALSE(bytes.contains("jobs/<")) << bytes.constData();

    // A refused set changes nothing in the record.
    serverconfig::Folders bad = folders;
    bad[static_cast<int>(Folder::Preset)] = QStringLiteral("relative");
    EXPECT_FALSE(serverconfig::Store(again, bad));
    EXPECT_EQ(serverconfig::Read(again), read);
}
