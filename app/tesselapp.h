#pragma once

#include "shop/installation.h"
#include "shop/session.h"

#include <QPointer>
#include <QString>

#include <memory>

class CMainFrame;
class CZelAccount;
class CSplashWnd;
class QLockFile;

// The program: start-up in its fixed order (single instance, folders,
// settings, login), the main window, and the end of the session at exit.
class CtesselApp {
public:
    CtesselApp();
    ~CtesselApp();
    CtesselApp(const CtesselApp&) = delete;
    CtesselApp& operator=(const CtesselApp&) = delete;

    // Runs start-up on the program's arguments; false when the program ends
    // without a main window (ExitCode says how).
    bool InitInstance(const QStringList& arguments);
    int ExitCode() const { return m_exitCode; }
    // Logs the account out and lets the tables go.
    void ExitInstance();

    Installation& Shop() { return m_shop; }
    ShopSession& Session() { return m_session; }
    CMainFrame* MainFrame() const { return m_frame.get(); }

    // The per-user lock that keeps a second copy on the same installation
    // from starting; its file is named after the installation folder.
    static QString InstanceLockPath(const QString& home);

private:
    bool Fail(int code, const QString& message = QString());
    void WaitForSplash(int milliseconds);
    // The start dialog until a plate opens; false when it was cancelled.
    bool StartSession(QString pendingPlate);
    QString RunNewPlate(CZelAccount& account);
    QString RunOpenPlate(const QString& current);

    Installation m_shop;
    ShopSession m_session;
    std::unique_ptr<QLockFile> m_instanceLock;
    std::unique_ptr<CMainFrame> m_frame;
    QPointer<CSplashWnd> m_splash; // closes (and deletes) itself
    qint64 m_splashShownAt = 0;
    int m_exitCode = 0;
};
