#pragma once

#include <QDialog>

class CZelAccount;
class OperatorInterface;
class QLineEdit;
class QPushButton;

// "Tessel 신규 패스워드 입력": a new password typed twice. For an account
// without a password it logs in, the first password becoming the account's;
// for the session's own account it stores the new password.
class CZelPassChangeDlg : public QDialog {
    Q_OBJECT
public:
    CZelPassChangeDlg(CZelAccount& account, OperatorInterface& op, QWidget* parent = nullptr);
    bool AccountLost() const { return m_accountLost; }
    void accept() override;

private:
    void Refuse(const QString& message);

    CZelAccount& m_account;
    OperatorInterface& m_op;
    QLineEdit* m_password;
    QLineEdit* m_confirm;
    QPushButton* m_ok;
    bool m_accountLost = false;
};
