#pragma once

#include <QDialog>

class CZelAccount;
class QLineEdit;

// "작업자 이니셜 입력": the operator's initials, exactly two characters,
// stored in the session's own account.
class CZelInitialChangeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CZelInitialChangeDlg(CZelAccount& account, QWidget* parent = nullptr);
    void accept() override;

private:
    CZelAccount& m_account;
    QLineEdit* m_initials;
};
