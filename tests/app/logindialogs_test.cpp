#include "appfixture.h"

#include "app/initialchangedlg.h"
#include "app/logindlg.h"
#include "app/passchangedlg.h"
#include "records/zelaccount.h"

#include <QPushButton>

// Every login dialog refuses with the operator's text, clears its boxes and
// stays open; the account changes only on success.

TEST_F(AppTest, LoginDialogRefusesAWrongPasswordAndAnAccountInUse) {
    CZelAccount account(Path("Shared/Accounts/demo.tzuac"));
    CZelLoginDlg dialog(account, op);
    EXPECT_FALSE(Find<QPushButton>(&dialog, "ok")->isEnabled()); // nothing typed yet

    Type(&dialog, "password", QStringLiteral("wrong"));
    EXPECT_TRUE(Find<QPushButton>(&dialog, "ok")->isEnabled());
    dialog.accept();
    EXPECT_EQ(op.messages, QStringList{QStringLiteral("잘못된 패스 워드입니다.")});
    EXPECT_TRUE(Find<QLineEdit>(&dialog, "password")->text().isEmpty());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    {
        // Another session holds the account.
        CZelAccount other(Path("Shared/Accounts/demo.tzuac"));
        ASSERT_EQ(other.Login(QStringLiteral("demo")), CZelAccount::Success);
        Type(&dialog, "password", QStringLiteral("demo"));
        dialog.accept();
        EXPECT_EQ(op.messages.last(), QStringLiteral("계정 \"demo\"는 이미 사용 중 입니다."));
        EXPECT_FALSE(account.IsLoggedIn());
    }
    Type(&dialog, "password", QStringLiteral("demo"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(account.IsLoggedIn());
}

TEST_F(AppTest, FirstPasswordMustBeTypedTwiceAlikeAndBecomesTheAccountsPassword) {
    const QString path = Path("Shared/Accounts/kimsj.tzuac");
    QFile::copy(path, path + QStringLiteral(".keep"));
    {
        CZelAccount account(path);
        ASSERT_FALSE(account.GetPassword()) << "the demo shop has an account without a password";
        CZelPassChangeDlg dialog(account, op);
        Type(&dialog, "newPassword", QStringLiteral("abc"));
        Type(&dialog, "confirmPassword", QStringLiteral("abd"));
        dialog.accept();
        EXPECT_EQ(op.messages, QStringList{QStringLiteral("잘못된 패스 워드입니다.")});
        EXPECT_TRUE(Find<QLineEdit>(&dialog, "newPassword")->text().isEmpty());
        EXPECT_TRUE(Find<QLineEdit>(&dialog, "confirmPassword")->text().isEmpty());
        EXPECT_FALSE(account.IsLoggedIn());

        // A password the account file cannot carry is refused the same way.
        Type(&dialog, "newPassword", QStringLiteral("pass🙂"));
        Type(&dialog, "confirmPassword", QStringLiteral("pass🙂"));
        dialog.accept();
        EXPECT_EQ(op.messages.size(), 2);
        EXPECT_FALSE(account.IsLoggedIn());

        Type(&dialog, "newPassword", QStringLiteral("abc"));
        Type(&dialog, "confirmPassword", QStringLiteral("abc"));
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(account.IsLoggedIn());
    }
    CZelAccount again(path);
    EXPECT_EQ(again.Login(QStringLiteral("zzz")), CZelAccount::WrongPassword);
    EXPECT_EQ(again.Login(QStringLiteral("abc")), CZelAccount::Success);
    again.Logout();
    QFile::remove(path);
    QFile::rename(path + QStringLiteral(".keep"), path);
}

TEST_F(AppTest, InitialsAreExactlyTwoCharacters) {
    CZelAccount account(Path("Shared/Accounts/demo.tzuac"));
    ASSERT_EQ(account.Login(QStringLiteral("demo")), CZelAccount::Success);
    QString before;
    account.GetInitial(before);
    CZelInitialChangeDlg dialog(account);
    EXPECT_EQ(Find<QLineEdit>(&dialog, "initials")->text(), before);
    for (const QString& refused : {QStringLiteral("K"), QStringLiteral("")}) {
        Type(&dialog, "initials", refused);
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << refused.toStdString();
        EXPECT_TRUE(Find<QLineEdit>(&dialog, "initials")->text().isEmpty());
    }
    EXPECT_EQ(Find<QLineEdit>(&dialog, "initials")->maxLength(), 2); // three cannot be typed
    Type(&dialog, "initials", QStringLiteral("김수"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    QString after;
    account.GetInitial(after);
    EXPECT_EQ(after, QStringLiteral("김수"));
    account.SetInitial(before);
    account.Logout();
}
