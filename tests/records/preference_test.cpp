#include "recordfiles.h"
#include "tests/succeeded.h"

#include "records/programfolder.h"
#include "records/zelpancode.h"
#include "records/zelpreference.h"
#include "records/zelserverpreset.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace recordfiles;

namespace {

const CZelPreference::Folder kFolders[] = {
    CZelPreference::Folder::Users,    CZelPreference::Folder::Preset,
    CZelPreference::Folder::Jobs,     CZelPreference::Folder::Pdfs,
    CZelPreference::Folder::Progress, CZelPreference::Folder::Release,
    CZelPreference::Folder::LocalWork};

// A preference file whose every folder exists, under dir.
QString WriteValidPreference(const KoreanTempDir& dir,
                             const QString& version = QStringLiteral("1.0")) {
    QString body;
    for (CZelPreference::Folder folder : kFolders) {
        const QString name = QLatin1String(CZelPreference::Key(folder));
        body += Elements(
            {{CZelPreference::Key(folder), Q(dir.mkdir(QStringLiteral("공유/") + name))}}, 1);
    }
    body += Elements(
        {{"ITEM_FRAME_A", QStringLiteral("1")}, {"MAKE_PDF_TYPE", QStringLiteral("2")}}, 1);
    QByteArray bytes = Record("Tessel Preference", body);
    bytes.replace("<VERSION>\"1.0\"</VERSION>",
                  "<VERSION>\"" + version.toLatin1() + "\"</VERSION>");
    const QString folder = dir.mkdir(QStringLiteral("Preferences"));
    Write(QDir(folder).filePath(QStringLiteral("TesselPreference.tzpr")), bytes);
    return folder;
}

} // namespace

TEST(Preference, LoadsValidatesAndSaves) {
    KoreanTempDir dir;
    const QString folder = WriteValidPreference(dir);
    {
        CZelPreference preference;
        ASSERT_TRUE(preference.Load(folder));
        QString reason;
        EXPECT_TRUE(preference.ValidatePreference(&reason)) << reason.toStdString();
        QString jobs;
        ASSERT_TRUE(preference.GetJobsDir(jobs));
        EXPECT_EQ(jobs, dir.filePath(QStringLiteral("공유/JOBS_DIR/")));
        EXPECT_EQ(preference.GetOption(CZelPreference::Option::ItemFrameA), 1);
        EXPECT_EQ(preference.GetOption(CZelPreference::Option::ItemCutL), 0);
        preference.SetOption(CZelPreference::Option::MakePdfMethod, 3);

        // The press folder only takes a folder that exists.
        EXPECT_FALSE(preference.GetPressDir(reason));
        const QString press = dir.mkdir(QStringLiteral("출력"));
        EXPECT_TRUE(preference.SetPressDir(press));
        EXPECT_FALSE(preference.SetPressDir(dir.filePath(QStringLiteral("없음"))));
        QString got;
        EXPECT_TRUE(preference.GetPressDir(got));
        EXPECT_EQ(got, press);
        EXPECT_TRUE(preference.Save());
    } // and saved again at exit
    CZelPreference again;
    ASSERT_TRUE(again.Load(folder));
    EXPECT_EQ(again.GetOption(CZelPreference::Option::MakePdfMethod), 3);
    QString press;
    EXPECT_TRUE(again.GetPressDir(press));
    EXPECT_EQ(press, dir.filePath(QStringLiteral("출력")));
}

TEST(Preference, ValidationFailures) {
    {
        KoreanTempDir dir;
        CZelPreference preference;
        ASSERT_TRUE(preference.Load(WriteValidPreference(dir, QStringLiteral("1.1"))));
        QString reason;
        EXPECT_FALSE(preference.ValidatePreference(&reason));
        EXPECT_TRUE(reason.contains(QStringLiteral("VERSION")));
    }
    {
        KoreanTempDir dir;
        CZelPreference preference;
        ASSERT_TRUE(preference.Load(WriteValidPreference(dir)));
        const QString pdfs = dir.filePath(QStringLiteral("공유/PDFS_DIR"));
        ASSERT_TRUE(QDir(pdfs).removeRecursively());
        // The key, its value and the file it stands in.
        QString reason;
        EXPECT_FALSE(preference.ValidatePreference(&reason));
        EXPECT_TRUE(reason.startsWith(preference.Path() + QStringLiteral(": PDFS_DIR is \"")) &&
                    reason.contains(pdfs) &&
                    reason.endsWith(QStringLiteral("\", a folder that does not exist")))
            << reason.toStdString();
        preference.SetFolder(CZelPreference::Folder::Pdfs, QString());
        EXPECT_FALSE(preference.ValidatePreference(&reason));
        EXPECT_TRUE(
            reason.endsWith(QStringLiteral("PDFS_DIR is not set; it must name an existing folder")))
            << reason.toStdString();
    }
}

TEST(Preference, DamagedFileKeepsAValidRecordAndIsNotOverwrittenUnasked) {
    const QByteArray damaged[] = {"", "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n",
                                  "<OTHER></OTHER>"};
    for (const QByteArray& bytes : damaged) {
        KoreanTempDir dir;
        const QString folder = dir.mkdir(QStringLiteral("Preferences"));
        const QString path = QDir(folder).filePath(QStringLiteral("TesselPreference.tzpr"));
        Write(path, bytes);
        {
            CZelPreference preference;
            EXPECT_FALSE(preference.Load(folder));
            EXPECT_FALSE(preference.ValidatePreference());
            QString users;
            EXPECT_FALSE(preference.GetUsersDir(users));
        } // exit without a change: the file is left for the operator
        EXPECT_EQ(Read(path), bytes);
        {
            // Repairing it through the setters writes a whole record.
            CZelPreference preference;
            preference.Load(folder);
            for (CZelPreference::Folder f : kFolders)
                preference.SetFolder(f, dir.mkdir(QLatin1String(CZelPreference::Key(f))));
            EXPECT_TRUE(preference.ValidatePreference());
            EXPECT_TRUE(preference.Save());
        }
        CZelPreference repaired;
        EXPECT_TRUE(repaired.Load(folder));
        EXPECT_TRUE(repaired.ValidatePreference());
    }
}

// What was not read whole is never written back, and a record that did not
// change is not written at all: a read-only run leaves the file's bytes alone.
TEST(Preference, WrittenAtExitOnlyWhenReadWholeAndChanged) {
    struct Case {
        const char* name;
        std::function<QByteArray(QByteArray)> edit;
        bool whole;
    };
    const Case cases[] = {
        {"one mistyped closing tag",
         [](QByteArray b) { return b.replace("</JOBS_DIR>", "</JOBS_DIRR>"); }, false},
        {"cut short", [](QByteArray b) { return b.left(b.indexOf("<PDFS_DIR>") + 14); }, false},
        {"whole, with bare line feeds", [](QByteArray b) { return b.replace("\r\n", "\n"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KoreanTempDir dir;
        const QString folder = WriteValidPreference(dir);
        const QString path = QDir(folder).filePath(QStringLiteral("TesselPreference.tzpr"));
        const QByteArray bytes = c.edit(Read(path));
        Write(path, bytes);
        {
            CZelPreference preference;
            preference.Load(folder);
            EXPECT_EQ(preference.LastError().isEmpty(), c.whole)
                << preference.LastError().toStdString();
            if (!c.whole)
                EXPECT_TRUE(preference.LastError().contains(QStringLiteral("kept")));
            // What a read-only command asks of it.
            QString text;
            preference.ValidatePreference();
            preference.GetJobsDir(text);
            preference.GetPressDir(text);
            preference.GetPlateRegUrl(text);
            preference.GetOption(CZelPreference::Option::MakePdfType);
        }
        EXPECT_EQ(Read(path), bytes);
        {
            CZelPreference preference;
            preference.Load(folder);
            preference.SetOption(CZelPreference::Option::MakePdfView, 1);
        }
        if (c.whole) {
            CZelPreference again;
            ASSERT_TRUE(again.Load(folder));
            EXPECT_EQ(again.GetOption(CZelPreference::Option::MakePdfView), 1);
            EXPECT_TRUE(again.ValidatePreference());
        } else {
            EXPECT_EQ(Read(path), bytes);
        }
    }
}

TEST(Preference, SubFoldersAndListings) {
    KoreanTempDir dir;
    CZelPreference preference;
    ASSERT_TRUE(preference.Load(WriteValidPreference(dir)));
    QString path;
    ASSERT_TRUE(
        preference.GetProgressFolder(QStringLiteral("홍길동"), QStringLiteral("A110307001"), path));
    EXPECT_EQ(path, dir.filePath(QStringLiteral("공유/PROGRESS_DIR/홍길동/A110307001/")));
    EXPECT_TRUE(QFileInfo(path).isDir());
    ASSERT_TRUE(
        preference.GetReleaseFolder(QStringLiteral("홍길동"), QStringLiteral("A110307001"), path));
    EXPECT_TRUE(QFileInfo(path).isDir());
    ASSERT_TRUE(preference.GetPresetFolder(QStringLiteral("라벨"), path));
    EXPECT_EQ(path, dir.filePath(QStringLiteral("공유/PRESET_DIR/라벨")));
    ASSERT_TRUE(preference.GetPresetFolder(QStringLiteral("PanCodes"),
                                           QDateTime(QDate(2011, 3, 7), QTime(9, 5)), path));
    EXPECT_EQ(path, dir.filePath(QStringLiteral("공유/PRESET_DIR/PanCodes/2011-03/")));

    Write(dir.filePath(QStringLiteral("공유/PRESET_DIR/라벨/명함 라벨.tzlp")), "x");
    QDir().mkpath(dir.filePath(QStringLiteral("공유/PRESET_DIR/라벨/폴더.tzlp")));
    QStringList names;
    ASSERT_TRUE(preference.ListPresetFiles(QStringLiteral("라벨"), QStringLiteral("tzlp"), names));
    EXPECT_EQ(names, QStringList{QStringLiteral("명함 라벨")});
    Write(dir.filePath(QStringLiteral("공유/LOCAL_WORK_DIR/나.jpg")), "x");
    Write(dir.filePath(QStringLiteral("공유/LOCAL_WORK_DIR/가.jpg")), "x");
    ASSERT_TRUE(preference.ListLocalWorkFiles(QStringLiteral("jpg"), names));
    EXPECT_EQ(names, QStringList({dir.filePath(QStringLiteral("공유/LOCAL_WORK_DIR/가.jpg")),
                                  dir.filePath(QStringLiteral("공유/LOCAL_WORK_DIR/나.jpg"))}));
    preference.SetFolder(CZelPreference::Folder::Progress, dir.filePath(QStringLiteral("없음")));
    EXPECT_FALSE(preference.GetProgressFolder(QStringLiteral("a"), QStringLiteral("b"), path));
}

TEST(Preference, ProgramFoldersFollowTheHome) {
    KoreanTempDir dir;
    programfolder::SetHome(dir.path());
    EXPECT_TRUE(Succeeded(CZelPreference::CreateProgramFolders()));
    for (const char* name :
         {"Preferences", "Presets", "Presets/Stock Presets", "Presets/Document Presets"})
        EXPECT_TRUE(QFileInfo(dir.filePath(QLatin1String(name))).isDir()) << name;
    EXPECT_EQ(CZelPreference::DefaultFolder(), dir.filePath(QStringLiteral("Preferences")));
    programfolder::SetHome(QString());
}

TEST(ServerPreset, SectionsListsAndPaperSizes) {
    KoreanTempDir dir;
    const QString body =
        QStringLiteral("   <USER_INFO>\r\n") +
        Elements({{"UI_COMPANY", Q(QStringLiteral("테셀인쇄"))},
                  {"UI_SIGNATURE", Q(QStringLiteral("SIG-1"))}},
                 2) +
        QStringLiteral("   </USER_INFO>\r\n   <PAPER_SIZE_LIST>\r\n      <PAPER>\r\n") +
        Elements({{"NAME", Q(QStringLiteral("국전"))},
                  {"WIDTH", QStringLiteral("636.000")},
                  {"HEIGHT", QStringLiteral("939.000")}},
                 3) +
        QStringLiteral("      </PAPER>\r\n      <PAPER>\r\n") +
        Elements({{"NAME", Q(QStringLiteral("A3"))},
                  {"WIDTH", QStringLiteral("297.000")},
                  {"HEIGHT", QStringLiteral("420.000")}},
                 3) +
        QStringLiteral("      </PAPER>\r\n      <PAPER>\r\n") +
        Elements({{"NAME", Q(QStringLiteral("폭 없음"))}, {"HEIGHT", QStringLiteral("1")}}, 3) +
        QStringLiteral("      </PAPER>\r\n      <PAPER>\r\n") +
        Elements({{"NAME", Q(QStringLiteral("뒤"))},
                  {"WIDTH", QStringLiteral("1")},
                  {"HEIGHT", QStringLiteral("1")}},
                 3) +
        QStringLiteral("      </PAPER>\r\n   </PAPER_SIZE_LIST>\r\n   <PAN_CODE_LIST>\r\n      "
                       "<PAN_CODE>\r\n") +
        Elements({{"PAN", Q(QStringLiteral("A"))}, {"NAME", Q(QStringLiteral("명함판"))}}, 3) +
        QStringLiteral("      </PAN_CODE>\r\n      <PAN_CODE>\r\n") +
        Elements({{"PAN", Q(QStringLiteral("B"))}, {"NAME", Q(QStringLiteral("전단판"))}}, 3) +
        QStringLiteral("      </PAN_CODE>\r\n   </PAN_CODE_LIST>\r\n");
    Write(dir.filePath(QStringLiteral("TesselPreset.tzsp")), Record("Imposer Stock Presets", body));

    CZelServerPreset preset;
    QString text;
    EXPECT_FALSE(preset.GetSignature(text));
    EXPECT_EQ(preset.FirstPanCode(), nullptr);
    ASSERT_TRUE(preset.Load(dir.path()));
    ASSERT_TRUE(preset.GetSignature(text));
    EXPECT_EQ(text, QStringLiteral("SIG-1"));
    EXPECT_FALSE(preset.GetHost(text)); // INTERNET_SERVER was added empty
    EXPECT_EQ(preset.FirstPaperType(), nullptr);

    QStringList codes;
    for (CMTItem* entry = preset.FirstPanCode(); entry; entry = preset.NextEntry(entry)) {
        QString prefix, name;
        ASSERT_TRUE(preset.GetPanPrefix(entry, prefix));
        ASSERT_TRUE(preset.GetName(entry, name));
        codes << prefix + QLatin1Char('=') + name;
    }
    EXPECT_EQ(codes, QStringList({QStringLiteral("A=명함판"), QStringLiteral("B=전단판")}));

    int index = -1;
    CMTItem* a3 = preset.FindPaperSize(297, 420, &index);
    ASSERT_NE(a3, nullptr);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(a3, preset.PaperSizeAt(1));
    EXPECT_EQ(preset.FindPaperSize(297.0001, 420), nullptr);
    EXPECT_EQ(preset.FindPaperSize(1, 1), nullptr); // the walk stops at the entry without a width
    double w = 0, h = 0;
    EXPECT_FALSE(preset.GetPaperSize(preset.PaperSizeAt(2), w, h));

    // A file that gives nothing leaves no usable preset.
    Write(dir.filePath(QStringLiteral("TesselPreset.tzsp")), "");
    EXPECT_FALSE(preset.Load(dir.path()));
    EXPECT_FALSE(preset.GetSignature(text));
    EXPECT_EQ(preset.FirstPaperSize(), nullptr);
}

TEST(PanCode, IssuesCodesInTheMonthFolder) {
    KoreanTempDir dir;
    CZelPreference preference;
    preference.SetFolder(CZelPreference::Folder::Preset, dir.mkdir(QStringLiteral("프리셋")));
    QStringList codes;
    for (int i = 0; i < 2; ++i) {
        CZelPanCode code;
        ASSERT_TRUE(code.IssuePlateCode(preference, QStringLiteral("A"), QStringLiteral("명함판"),
                                        QStringLiteral("hong"), QStringLiteral("홍길동"),
                                        QDate(2011, 3, 7)))
            << code.LastError().toStdString();
        QString text;
        ASSERT_TRUE(code.GetPlateCode(text));
        codes << text;
    }
    EXPECT_EQ(codes, QStringList({QStringLiteral("A110307001"), QStringLiteral("A110307002")}));
    const QString file = dir.filePath(QStringLiteral("프리셋/PanCodes/2011-03/A110307001.tzpan"));
    CZelPanCode read;
    ASSERT_TRUE(read.Load(file));
    EXPECT_EQ(read.Tree()
                  .Value(read.Tree().FindChild(read.Tree().GetRoot(), "PAN_CODE"), "NAME")
                  .toString(),
              QStringLiteral("명함판"));
    EXPECT_EQ(read.Tree().Value(read.Tree().GetRoot(), "PAN_STATE").toInt(), 0);
    EXPECT_TRUE(read.Save()); // the remembered file exists
    QFile::remove(file);
    EXPECT_FALSE(read.Save());

    EXPECT_EQ(CZelPanCode::DatePart(QDate(1999, 12, 31)), QStringLiteral("001231"));
    EXPECT_EQ(CZelPanCode::DatePart(QDate()), QStringLiteral("000000"));

    CZelPreference nowhere;
    CZelPanCode code;
    EXPECT_FALSE(code.IssuePlateCode(nowhere, QStringLiteral("A"), QString(), QString(), QString(),
                                     QDate(2011, 3, 7)));
}

TEST(PanCode, TwoProcessesNeverTakeTheSameCode) {
    KoreanTempDir dir;
    const QString presets = dir.mkdir(QStringLiteral("프리셋"));
    constexpr int kEach = 25;
    QProcess a, b;
    for (QProcess* p : {&a, &b}) {
        p->start(QStringLiteral(TESSEL_RECORDS_HELPER),
                 {QStringLiteral("codes"), presets, QString::number(kEach), QStringLiteral("판")});
        ASSERT_TRUE(p->waitForStarted());
    }
    for (QProcess* p : {&a, &b}) {
        p->write("go\n");
        p->closeWriteChannel();
    }
    std::set<QString> all;
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardOutput().toStdString();
        const QStringList codes = QString::fromUtf8(p->readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(codes.size(), kEach);
        all.insert(codes.begin(), codes.end());
    }
    EXPECT_EQ(all.size(), 2u * kEach); // no code twice
    EXPECT_EQ(*all.begin(), QStringLiteral("판110307001"));
    EXPECT_EQ(*all.rbegin(), QStringLiteral("판110307050"));
    EXPECT_EQ(QDir(presets + QStringLiteral("/PanCodes/2011-03")).entryList(QDir::Files).size(),
              2 * kEach);
}
