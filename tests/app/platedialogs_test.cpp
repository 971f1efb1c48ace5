#include "appfixture.h"

#include "app/newprojdlg.h"
#include "app/openprojdlg.h"
#include "app/savedocpresetdlg.h"
#include "app/serverconfigdlg.h"
#include "app/tesselapp.h"
#include "engine/tesseldoc.h"
#include "records/zelaccount.h"
#include "records/zeldocumentpreset.h"
#include "records/zelmtdocument.h"
#include "shop/newplate.h"
#include "view/numberedit.h"

#include <QComboBox>
#include <QDir>
#include <QLockFile>
#include <QPushButton>
#include <QTableView>

namespace {

int LineCount(const CZelDocumentPreset& preset) {
    int count = 0;
    for (const CMTItem* line = preset.FirstLine(); line; line = line->NextSibling())
        ++count;
    return count;
}

struct LoggedIn {
    explicit LoggedIn(const QString& path) : account(path) {
        EXPECT_EQ(account.Login(QStringLiteral("demo")), CZelAccount::Success);
    }
    CZelAccount account;
};

} // namespace

TEST_F(AppTest, NewPlateDialogRefusesBadValuesAndCreatesThePlateFile) {
    LoggedIn demo(Path("Shared/Accounts/demo.tzuac"));
    CZelNewProjDlg dialog(shop, demo.account, op);
    auto* presets = Find<QComboBox>(&dialog, "preset");
    EXPECT_EQ(presets->itemText(presets->count() - 1), DefaultPresetName());
    auto* unit = Find<QComboBox>(&dialog, "pressUnit");
    unit->setCurrentIndex(0); // sheets: a whole number above 1

    // Validation stops at the first rule broken, with its text.
    struct Case {
        const char* field;
        QString typed;
        QString message;
    };
    const Case cases[] = {
        {"quantity", QStringLiteral("1"), QStringLiteral("수량의 매수가 잘못되었습니다.")},
        {"quantity", QStringLiteral("2.5"), QStringLiteral("수량의 매수가 잘못되었습니다.")},
        {"pressCount", QStringLiteral("0"), QStringLiteral("인쇄 매수가 잘못되었습니다.")},
        {"marginLeft", QStringLiteral("2000"),
         QStringLiteral("판형의 여백이 전체 폭 보다 큽니다.")},
    };
    for (const Case& c : cases) {
        auto* edit = Find<CNumberEdit>(&dialog, c.field);
        const QString kept = edit->text();
        Type(&dialog, c.field, c.typed);
        op.messages.clear();
        dialog.accept();
        EXPECT_EQ(op.messages, QStringList{c.message}) << c.field << " " << c.typed.toStdString();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        Type(&dialog, c.field, kept);
    }
    // A typed text without a number keeps the value shown.
    const QString height = Find<CNumberEdit>(&dialog, "height")->text();
    Type(&dialog, "height", QStringLiteral("x"));
    EXPECT_EQ(Find<CNumberEdit>(&dialog, "height")->text(), height);

    op.messages.clear();
    const QString preset = presets->currentText();
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted)
        << op.messages.join(QLatin1Char('\n')).toStdString();
    const QString plate = dialog.PlatePath();
    ASSERT_TRUE(QFileInfo(plate).isFile());
    CTesselDoc doc;
    ASSERT_TRUE(doc.Open(plate));
    EXPECT_EQ(doc.Properties().presetName, preset);
    EXPECT_EQ(doc.Properties().userAccount, QStringLiteral("demo"));
    EXPECT_EQ(doc.Properties().jobCode, QFileInfo(plate).completeBaseName());
}

TEST_F(AppTest, NewPlateDialogKeepsPresetsWholeAndTheDefaultUndeletable) {
    LoggedIn demo(Path("Shared/Accounts/demo.tzuac"));
    CZelNewProjDlg dialog(shop, demo.account, op);
    auto* presets = Find<QComboBox>(&dialog, "preset");
    presets->setCurrentIndex(presets->count() - 1);
    emit presets->activated(presets->count() - 1);
    EXPECT_FALSE(Find<QPushButton>(&dialog, "deletePreset")->isEnabled());

    // A preset that does not read: the dialog says so and keeps showing the
    // preset whose values it holds.
    const QString broken = CZelDocumentPreset::PathOf(QStringLiteral("깨진 프리셋"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<TESSEL_DOCUMENT_MARKUPS><DOCUMENT_TYPE>$$Imposer Document "
               "Preset</DOCUMENT_TYPE><PAPER_PROPERTY><WIDTH>");
    file.close();
    CZelNewProjDlg again(shop, demo.account, op);
    auto* list = Find<QComboBox>(&again, "preset");
    const QString shown = list->currentText();
    const int brokenIndex = list->findText(QStringLiteral("깨진 프리셋"));
    ASSERT_GE(brokenIndex, 0);
    op.messages.clear();
    list->setCurrentIndex(brokenIndex);
    emit list->activated(brokenIndex);
    EXPECT_EQ(op.messages.size(), 1);
    EXPECT_EQ(list->currentText(), shown);
    QFile::remove(broken);
}

TEST_F(AppTest, SavingAPresetOverAnotherKeepsItsFreeLines) {
    LoggedIn demo(Path("Shared/Accounts/demo.tzuac"));
    CZelNewProjDlg dialog(shop, demo.account, op);
    auto* presets = Find<QComboBox>(&dialog, "preset");
    // A demo preset with free lines.
    QString path;
    int lines = 0;
    for (int i = 0; i < presets->count() && lines == 0; ++i) {
        path = CZelDocumentPreset::PathOf(presets->itemText(i));
        CZelDocumentPreset stored;
        if (stored.LoadWhole(path, CZelDocumentPreset::kDocumentType) && LineCount(stored) > 0) {
            lines = LineCount(stored);
            presets->setCurrentIndex(i);
            emit presets->activated(i);
        }
    }
    ASSERT_GT(lines, 0) << "the demo presets have free lines";
    QFile::copy(path, path + QStringLiteral(".keep"));

    Type(&dialog, "gridWidth", QStringLiteral("91"));
    op.answers = {true}; // replace the existing preset
    OnModal("savePresetDialog", [](QWidget* modal) { Click(modal, "ok"); });
    Click(&dialog, "savePreset");
    EXPECT_EQ(op.questions.size(), 1);
    CZelDocumentPreset saved;
    ASSERT_TRUE(saved.LoadWhole(path, CZelDocumentPreset::kDocumentType));
    EXPECT_EQ(saved.GridWidth().toDouble(), 91.0);
    EXPECT_EQ(LineCount(saved), lines);
    QFile::remove(path);
    QFile::rename(path + QStringLiteral(".keep"), path);
}

TEST_F(AppTest, SavePresetDialogRefusesABadNameAndAsksBeforeReplacing) {
    QStringList names;
    CZelDocumentPreset::ListPresets(names);
    ASSERT_FALSE(names.isEmpty());
    const QString existing = names.first();
    CSaveDocPresetDlg dialog(names, 0, op);
    auto* name = Find<QComboBox>(&dialog, "presetName");
    EXPECT_EQ(name->currentText(), names.first());
    name->setCurrentText(QStringLiteral("끝 점."));
    dialog.accept();
    EXPECT_EQ(op.messages, QStringList{QStringLiteral("\"끝 점.\"는(은) 잘못된 파일 이름입니다.")});
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    // An existing preset: No stays, Yes takes the name.
    name->setCurrentText(existing);
    op.answers = {false, true};
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), existing);
    EXPECT_EQ(op.questions.size(), 2);
}

TEST_F(AppTest, OpenPlateListNeverShowsTheOpenPlate) {
    LoggedIn demo(Path("Shared/Accounts/demo.tzuac"));
    PreparedPlate first =
        PrepareNewPlate(shop, {DefaultPresetName(), QStringLiteral("N"), QDate(2026, 1, 2)})
            .value();
    const QString a = CreatePlate(shop, demo.account, first).value();
    PreparedPlate second =
        PrepareNewPlate(shop, {DefaultPresetName(), QStringLiteral("N"), QDate(2026, 1, 2)})
            .value();
    const QString b = CreatePlate(shop, demo.account, second).value();

    // The open plate named by another path to the same file.
    const QString viaDots =
        QFileInfo(a).absolutePath() + QStringLiteral("/../Work/") + QFileInfo(a).fileName();
    CZelOpenProjDlg dialog(shop.preference, viaDots);
    auto* list = Find<QTableView>(&dialog, "plateList");
    QStringList shown;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        shown << list->model()->index(row, 9).data().toString();
    EXPECT_FALSE(shown.contains(a));
    EXPECT_TRUE(shown.contains(b));
    const int row = int(shown.indexOf(b));
    EXPECT_EQ(list->model()->index(row, 5).data().toString(), QStringLiteral("양면(A:4, B:4)"));
    list->selectRow(row);
    dialog.accept();
    EXPECT_EQ(dialog.ChosenPath(), b);
}

TEST_F(AppTest, ServerSettingsRefuseMissingRelativeAndNestedFoldersAndWriteAtOnce) {
    CZelPreference preference;
    preference.Load(programfolder::PreferencesFolder());
    CZelServerConfigDlg dialog(preference, op);
    const QString jobs = Find<QLineEdit>(&dialog, "jobsFolder")->text();
    ASSERT_FALSE(jobs.isEmpty());

    Type(&dialog, "usersFolder", QStringLiteral("Shared/Accounts"));
    dialog.accept();
    EXPECT_EQ(op.messages.last(), QStringLiteral("작업 계정 파일이 저장된 폴더를 선택하십시오."));
    Type(&dialog, "usersFolder", Path("Shared/Accounts") + QStringLiteral("\\"));

    Type(&dialog, "pdfsFolder", Path("Shared/없는 폴더"));
    dialog.accept();
    EXPECT_EQ(op.messages.last(), QStringLiteral("PDF 파일이 저장된 폴더를 선택하십시오."));
    Type(&dialog, "pdfsFolder", Path("Shared/OrderPDF"));

    const QString inside = jobs + QStringLiteral("/진행");
    QDir().mkpath(inside);
    const QString progress = Find<QLineEdit>(&dialog, "progressFolder")->text();
    Type(&dialog, "progressFolder", inside);
    dialog.accept();
    EXPECT_TRUE(op.messages.last().contains(inside)) << op.messages.last().toStdString();
    EXPECT_TRUE(Find<QLineEdit>(&dialog, "progressFolder")->hasFocus() || !dialog.isVisible());
    Type(&dialog, "progressFolder", progress);
    QDir(inside).removeRecursively();

    Type(&dialog, "registrationUrl", QStringLiteral("ftp://host/x"));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    Type(&dialog, "registrationUrl", QStringLiteral("http://127.0.0.1:8080/reg"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // Written at once, cleaned of the trailing separator.
    CZelPreference reread;
    ASSERT_TRUE(reread.Load(programfolder::PreferencesFolder()));
    QString url;
    reread.GetPlateRegUrl(url);
    EXPECT_EQ(url, QStringLiteral("http://127.0.0.1:8080/reg"));
    EXPECT_TRUE(reread.ValidatePreference());
}

TEST_F(AppTest, OneCopyPerInstallation) {
    QLockFile first(CtesselApp::InstanceLockPath(Home()));
    ASSERT_TRUE(first.tryLock(0));
    QLockFile second(CtesselApp::InstanceLockPath(Home() + QStringLiteral("/.")));
    EXPECT_FALSE(second.tryLock(0));
    QLockFile elsewhere(CtesselApp::InstanceLockPath(Home() + QStringLiteral("/Local")));
    EXPECT_TRUE(elsewhere.tryLock(0));
}
