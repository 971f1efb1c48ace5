#include "appfixture.h"

#include "app/startdlg.h"
#include "records/zelaccount.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace {

void SelectAccount(CZelStartDlg& dialog, const QString& name) {
    auto* list = dialog.findChild<QTableView*>(QStringLiteral("accountList"));
    for (int row = 0; row < list->model()->rowCount(); ++row)
        if (list->model()->index(row, 0).data().toString() == name) {
            list->selectRow(row);
            return;
        }
    ADD_FAILURE() << "no account " << name.toStdString();
}

} // namespace

TEST_F(AppTest, StartDialogLogsInCreatesAPlateThroughTheDialogAndEnterNeverCloses) {
    int newPlateRuns = 0;
    QString created;
    CZelStartDlg::Actions actions;
    actions.sitePresetLoads = [] { return true; };
    actions.newPlate = [&](CZelAccount& account) {
        ++newPlateRuns;
        EXPECT_TRUE(account.IsLoggedIn());
        // The first run is cancelled: the operator stays in the start dialog.
        return newPlateRuns == 1 ? QString() : created = QStringLiteral("/plates/N1.tzmp");
    };
    CZelStartDlg dialog(shop.preference, op, actions);
    auto* login = Find<QPushButton>(&dialog, "login");
    EXPECT_FALSE(login->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(&dialog, "newPlate")->isEnabled());
    SelectAccount(dialog, QStringLiteral("demo"));
    EXPECT_TRUE(login->isEnabled());

    OnModal("loginDialog", [](QWidget* modal) {
        Type(modal, "password", QStringLiteral("demo"));
        Click(modal, "ok");
    });
    login->click();
    EXPECT_EQ(login->text(), QStringLiteral("로그아웃"));
    EXPECT_EQ(Find<QLabel>(&dialog, "status")->text(),
              QStringLiteral("다음 계정으로 로그인 됨: demo"));
    EXPECT_FALSE(Find<QTableView>(&dialog, "accountList")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(&dialog, "serverSettings")->isEnabled());

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    Click(&dialog, "newPlate");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    Click(&dialog, "newPlate");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ResultPath(), created);
    std::unique_ptr<CZelAccount> account = dialog.TakeAccount();
    ASSERT_TRUE(account);
    EXPECT_TRUE(account->IsLoggedIn());
}

TEST_F(AppTest, StartDialogCancelledAfterLoginWritesTheLogoutTime) {
    CZelStartDlg::Actions actions;
    CZelStartDlg dialog(shop.preference, op, actions);
    SelectAccount(dialog, QStringLiteral("demo"));
    OnModal("loginDialog", [](QWidget* modal) {
        Type(modal, "password", QStringLiteral("demo"));
        Click(modal, "ok");
    });
    Click(&dialog, "login");
    Click(&dialog, "cancel");
    CZelAccount account(Path("Shared/Accounts/demo.tzuac"));
    QString logout;
    ASSERT_TRUE(account.GetLogoutTime(logout));
    EXPECT_FALSE(logout.isEmpty());
    EXPECT_FALSE(account.IsInUse());
}

TEST_F(AppTest, StartDialogShowsAnAccountInUseAndRefusesToLogIntoIt) {
    CZelAccount other(Path("Shared/Accounts/demo.tzuac"));
    ASSERT_EQ(other.Login(QStringLiteral("demo")), CZelAccount::Success);
    CZelStartDlg dialog(shop.preference, op, {});
    auto* list = Find<QTableView>(&dialog, "accountList");
    SelectAccount(dialog, QStringLiteral("demo"));
    const int row = list->selectionModel()->selectedRows().first().row();
    EXPECT_EQ(list->model()->index(row, 5).data().toString(), QStringLiteral("사용 중"));
    EXPECT_FALSE(Find<QPushButton>(&dialog, "login")->isEnabled());
    other.Logout();
    Click(&dialog, "updateList");
    SelectAccount(dialog, QStringLiteral("demo"));
    EXPECT_TRUE(Find<QPushButton>(&dialog, "login")->isEnabled());
}

TEST_F(AppTest, StartDialogWithoutTheSitePresetStaysWithTheMessage) {
    CZelStartDlg::Actions actions;
    actions.sitePresetLoads = [] { return false; };
    actions.newPlate = [](CZelAccount&) {
        ADD_FAILURE() << "no plate without the site preset";
        return QString();
    };
    CZelStartDlg dialog(shop.preference, op, actions);
    SelectAccount(dialog, QStringLiteral("demo"));
    OnModal("loginDialog", [](QWidget* modal) {
        Type(modal, "password", QStringLiteral("demo"));
        Click(modal, "ok");
    });
    Click(&dialog, "login");
    Click(&dialog, "newPlate");
    EXPECT_EQ(op.messages,
              QStringList{QStringLiteral("조판에 필요한 프리셋 파일을 로드할 수 없습니다.")});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.reject();
}
