#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class AccountListModel;
class CZelAccount;
class CZelPreference;
class OperatorInterface;
class QLabel;
class QPushButton;
class QTableView;

// "Tessel 시작": the operator logs in with an account of the shared accounts
// folder and chooses a new or an existing plate. Ends with OK only with an
// account logged in and a plate to open.
class CZelStartDlg : public QDialog {
    Q_OBJECT
public:
    // What the dialog asks of the program; each may be empty in a test.
    struct Actions {
        // The server settings dialog; true when it ended with OK.
        std::function<bool()> serverSettings;
        // True when the site preset loads from PRESET_DIR.
        std::function<bool()> sitePresetLoads;
        // The new-plate dialog run for the logged-in account; the created
        // plate's path, or empty when it was cancelled.
        std::function<QString(CZelAccount& account)> newPlate;
        // The open-plate dialog; the chosen plate's path, or empty.
        std::function<QString()> openPlate;
    };

    CZelStartDlg(CZelPreference& preference, OperatorInterface& op, Actions actions,
                 QWidget* parent = nullptr);
    ~CZelStartDlg() override;

    // After OK: the plate to open and the logged-in account, handed over.
    const QString& ResultPath() const { return m_resultPath; }
    std::unique_ptr<CZelAccount> TakeAccount();

    // Reads the accounts folder again.
    void Refresh();
    // Starts with this account logged in (back from a plate that would not open).
    void SetSession(std::unique_ptr<CZelAccount> account);
    // A plate named on the command line: opened as soon as someone logs in.
    void SetPendingPlate(const QString& path) { m_pendingPlate = path; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnLogin();
    void Logout();
    void OnChangePassword();
    void OnChangeInitials();
    void OnServerSettings();
    void OnNewPlate();
    void OnOpenPlate();
    void UpdateControls();
    void ShowStatus();
    CZelAccount* SelectedAccount() const;

    CZelPreference& m_preference;
    OperatorInterface& m_op;
    Actions m_actions;
    std::vector<std::unique_ptr<CZelAccount>> m_listed;
    std::unique_ptr<CZelAccount> m_session; // the logged-in account, or null
    QString m_resultPath;
    QString m_pendingPlate;

    AccountListModel* m_model;
    QTableView* m_list;
    QLabel* m_status;
    QPushButton* m_update;
    QPushButton* m_login;
    QPushButton* m_password;
    QPushButton* m_initials;
    QPushButton* m_server;
    QPushButton* m_new;
    QPushButton* m_open;
    QPushButton* m_cancel;
};
