#pragma once

#include <QDialog>

#include <array>

class CZelPreference;
class OperatorInterface;
class QLineEdit;

// "Tessel 서버 설정": the seven shared and local folders of the installation
// and the registration server's address. OK checks them, stores them in the
// preference record and writes it at once.
class CZelServerConfigDlg : public QDialog {
    Q_OBJECT
public:
    CZelServerConfigDlg(CZelPreference& preference, OperatorInterface& op,
                        QWidget* parent = nullptr);
    void accept() override;

private:
    CZelPreference& m_preference;
    OperatorInterface& m_op;
    std::array<QLineEdit*, 7> m_folders{};
    QLineEdit* m_url;
};
