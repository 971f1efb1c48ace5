#include "initialchangedlg.h"

#include "view/controlnames.h"

#include "records/accountrules.h"
#include "records/zelaccount.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CZelInitialChangeDlg::CZelInitialChangeDlg(CZelAccount& account, QWidget* parent)
    : QDialog(parent), m_account(account) {
    setObjectName(QStringLiteral("initialChangeDialog"));
    setWindowTitle(QStringLiteral("작업자 이니셜 입력"));
    setAccessibleName(windowTitle());
    QString name, initials;
    account.GetAccountName(name);
    account.GetInitial(initials);
    auto* accountBox = Named(new QLineEdit(name), "accountName", QStringLiteral("사용자 계정:"));
    accountBox->setReadOnly(true);
    m_initials = Named(new QLineEdit(initials), "initials", QStringLiteral("작업자 이니셜:"));
    m_initials->setMaxLength(2);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("사용자 계정:"), accountBox);
    form->addRow(QStringLiteral("작업자 이니셜:"), m_initials);
    auto* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_initials->setFocus();
}

void CZelInitialChangeDlg::accept() {
    const QString text = m_initials->text();
    if (accountrules::IsValidInitials(text) && m_account.IsLoggedIn() &&
        m_account.SetInitial(text)) {
        QDialog::accept();
        return;
    }
    m_initials->clear();
    m_initials->setFocus();
}
