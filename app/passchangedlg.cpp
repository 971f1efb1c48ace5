#include "passchangedlg.h"

#include "accounttexts.h"
#include "view/controlnames.h"

#include "engine/operatorinterface.h"
#include "records/zelaccount.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CZelPassChangeDlg::CZelPassChangeDlg(CZelAccount& account, OperatorInterface& op, QWidget* parent)
    : QDialog(parent), m_account(account), m_op(op) {
    setObjectName(QStringLiteral("passChangeDialog"));
    setWindowTitle(QStringLiteral("Tessel 신규 패스워드 입력"));
    setAccessibleName(windowTitle());
    QString name;
    account.GetAccountName(name);
    auto* accountBox = Named(new QLineEdit(name), "accountName", QStringLiteral("사용자 계정:"));
    accountBox->setReadOnly(true);
    m_password = Named(new QLineEdit, "newPassword", QStringLiteral("신규 패스 워드:"));
    m_confirm = Named(new QLineEdit, "confirmPassword", QStringLiteral("패스 워드 확인:"));
    for (QLineEdit* box : {m_password, m_confirm})
        box->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("사용자 계정:"), accountBox);
    form->addRow(QStringLiteral("신규 패스 워드:"), m_password);
    form->addRow(QStringLiteral("패스 워드 확인:"), m_confirm);
    auto* buttons = OkCancelButtons(this);
    m_ok = buttons->findChild<QPushButton*>(QStringLiteral("ok"));
    auto enable = [this] {
        m_ok->setEnabled(!m_password->text().isEmpty() && !m_confirm->text().isEmpty());
    };
    connect(m_password, &QLineEdit::textChanged, this, enable);
    connect(m_confirm, &QLineEdit::textChanged, this, enable);
    enable();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_password->setFocus();
}

void CZelPassChangeDlg::accept() {
    const QString password = m_password->text();
    if (password.isEmpty() || m_confirm->text().isEmpty())
        return;
    if (password != m_confirm->text())
        return Refuse(accounttexts::WrongPassword());
    if (const QString refused = accounttexts::PasswordRefusal(password); !refused.isEmpty())
        return Refuse(refused);
    if (m_account.IsLoggedIn() && m_account.GetPassword()) {
        if (!m_account.SetPassword(password))
            return Refuse(accounttexts::WrongPassword());
        QDialog::accept();
        return;
    }
    const CZelAccount::LoginResult result = m_account.Login(password);
    if (result == CZelAccount::Success) {
        QDialog::accept();
        return;
    }
    m_accountLost = result == CZelAccount::NotLoaded;
    Refuse(accounttexts::LoginFailure(m_account, result));
}

void CZelPassChangeDlg::Refuse(const QString& message) {
    m_op.Tell(message);
    m_password->clear();
    m_confirm->clear();
    m_password->setFocus();
}
