#include "logindlg.h"

#include "accounttexts.h"
#include "view/controlnames.h"

#include "engine/operatorinterface.h"
#include "records/zelaccount.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CZelLoginDlg::CZelLoginDlg(CZelAccount& account, OperatorInterface& op, QWidget* parent)
    : QDialog(parent), m_account(account), m_op(op) {
    setObjectName(QStringLiteral("loginDialog"));
    setWindowTitle(QStringLiteral("Tessel 로그인"));
    setAccessibleName(windowTitle());
    QString name;
    account.GetAccountName(name);
    auto* accountBox = Named(new QLineEdit(name), "accountName", QStringLiteral("사용자 계정:"));
    accountBox->setReadOnly(true);
    m_password = Named(new QLineEdit, "password", QStringLiteral("사용자 패스 워드:"));
    m_password->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("사용자 계정:"), accountBox);
    form->addRow(QStringLiteral("사용자 패스 워드:"), m_password);
    auto* buttons = OkCancelButtons(this);
    m_ok = buttons->findChild<QPushButton*>(QStringLiteral("ok"));
    m_ok->setEnabled(false);
    connect(m_password, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_ok->setEnabled(!text.isEmpty()); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_password->setFocus();
}

void CZelLoginDlg::accept() {
    const QString password = m_password->text();
    if (password.isEmpty())
        return;
    if (const QString refused = accounttexts::PasswordRefusal(password); !refused.isEmpty()) {
        m_op.Tell(refused);
    } else {
        const CZelAccount::LoginResult result = m_account.Login(password);
        if (result == CZelAccount::Success) {
            QDialog::accept();
            return;
        }
        m_accountLost = result == CZelAccount::NotLoaded;
        m_op.Tell(accounttexts::LoginFailure(m_account, result));
    }
    m_password->clear();
    m_password->setFocus();
}
