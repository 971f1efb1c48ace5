#pragma once

#include <QDialog>

class CZelAccount;
class OperatorInterface;
class QLineEdit;
class QPushButton;

// "Tessel 로그인": the password of an account that has one.
class CZelLoginDlg : public QDialog {
    Q_OBJECT
public:
    CZelLoginDlg(CZelAccount& account, OperatorInterface& op, QWidget* parent = nullptr);

    // True when the account file could not be read at the last try (gone, or
    // taken away): the caller lists the accounts again.
    bool AccountLost() const { return m_accountLost; }

    void accept() override;

private:
    CZelAccount& m_account;
    OperatorInterface& m_op;
    QLineEdit* m_password;
    QPushButton* m_ok;
    bool m_accountLost = false;
};
