#include "tesselapp.h"

#include "mainframe.h"
#include "messageboxoperator.h"
#include "newprojdlg.h"
#include "openprojdlg.h"
#include "serverconfigdlg.h"
#include "splashwnd.h"
#include "startdlg.h"

#include "records/programfolder.h"
#include "records/zelaccount.h"
#include "records/zelpreference.h"
#include "shop/ticketintake.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

CtesselApp::CtesselApp() = default;

CtesselApp::~CtesselApp() {
    ExitInstance();
}

QString CtesselApp::InstanceLockPath(const QString& home) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QByteArray key = QCryptographicHash::hash(
        QDir::cleanPath(QFileInfo(home).absoluteFilePath()).toUtf8(), QCryptographicHash::Sha1);
    return QDir(folder).filePath(
        QStringLiteral("tessel-%1.lock").arg(QString::fromLatin1(key.toHex().left(16))));
}

bool CtesselApp::Fail(int code, const QString& message) {
    if (m_splash)
        m_splash->close();
    if (!message.isEmpty()) {
        CMessageBoxOperator op;
        op.Tell(message);
    }
    m_exitCode = code;
    return false;
}

void CtesselApp::WaitForSplash(int milliseconds) {
    // The splash keeps painting while it waits: an event loop, not a sleep.
    const qint64 left = m_splashShownAt + milliseconds - QDateTime::currentMSecsSinceEpoch();
    if (left > 0) {
        QEventLoop loop;
        QTimer::singleShot(int(left), &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (m_splash)
        m_splash->close();
}

bool CtesselApp::InitInstance(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tessel: plates for a print shop"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("home"),
                      QStringLiteral("The installation folder holding Preferences and Presets."),
                      QStringLiteral("DIR")});
    parser.addPositionalArgument(QStringLiteral("PLATE.tzmp"),
                                 QStringLiteral("A plate to open after logging in."),
                                 QStringLiteral("[PLATE.tzmp]"));
    parser.process(arguments);
    if (parser.isSet(QStringLiteral("home")))
        programfolder::SetHome(parser.value(QStringLiteral("home")));
    QString pendingPlate;
    if (!parser.positionalArguments().isEmpty())
        pendingPlate = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();

    m_splash = new CSplashWnd;
    m_splash->show();
    m_splashShownAt = QDateTime::currentMSecsSinceEpoch();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    m_instanceLock = std::make_unique<QLockFile>(InstanceLockPath(programfolder::Home()));
    // A lock left by a copy that died is taken over; only a running copy counts.
    m_instanceLock->setStaleLockTime(0);
    if (!m_instanceLock->tryLock(0)) {
        m_instanceLock.reset();
        return Fail(1, QStringLiteral("Tessel 응용프로그램이 이미 실행 중입니다."));
    }

    if (const Result<void> created = CZelPreference::CreateProgramFolders(); !created)
        return Fail(1, QStringLiteral("프레퍼런스 또는 프리셋 폴더를 생성할 수 없습니다.\n%1")
                           .arg(created.error()));
    m_shop.LoadColors();
    if (!m_shop.LoadPreference()) {
        // Nothing to work with yet: the operator names the shop's folders.
        WaitForSplash(2000);
        CMessageBoxOperator op;
        CZelServerConfigDlg settings(m_shop.preference, op);
        if (settings.exec() != QDialog::Accepted)
            return Fail(0);
    }
    WaitForSplash(2000);

    if (!StartSession(pendingPlate))
        return Fail(0);
    return true;
}

bool CtesselApp::StartSession(QString pendingPlate) {
    CMessageBoxOperator op;
    std::unique_ptr<CZelAccount> account;
    for (;;) {
        CZelStartDlg::Actions actions;
        actions.serverSettings = [this, &op] {
            CZelServerConfigDlg settings(m_shop.preference, op);
            return settings.exec() == QDialog::Accepted;
        };
        actions.sitePresetLoads = [this] { return m_shop.LoadSitePreset(); };
        actions.newPlate = [this](CZelAccount& account) { return RunNewPlate(account); };
        actions.openPlate = [this] { return RunOpenPlate(QString()); };
        CZelStartDlg start(m_shop.preference, op, std::move(actions), m_frame.get());
        start.SetPendingPlate(pendingPlate);
        if (account)
            start.SetSession(std::move(account));
        if (start.exec() != QDialog::Accepted)
            return false;
        QString presetFolder;
        if (!m_shop.preference.GetPresetDir(presetFolder) || !QFileInfo(presetFolder).isDir())
            return false;
        m_shop.LoadPressMarks();
        m_session.Adopt(start.TakeAccount());
        if (!m_session.Account())
            return false;
        if (Result<void> library = m_shop.LoadLibrary(); !library) {
            op.Tell(library.error());
            return false;
        }
        // A session starts here: drops of this operator cut short before are finished first.
        ticketintake::RecoverInterruptedDrops(m_shop.Context(&op, nullptr),
                                              m_session.AccountName());
        if (!m_frame) {
            CMainFrame::Actions frameActions;
            frameActions.newPlate = [this] { return RunNewPlate(*m_session.Account()); };
            frameActions.openPlate = [this](const QString& current) {
                return RunOpenPlate(current);
            };
            m_frame = std::make_unique<CMainFrame>(m_shop, m_session, std::move(frameActions));
        }
        m_frame->show();
        if (m_frame->OpenPlate(start.ResultPath()))
            return true;
        // The reason was told; back to the start dialog, still logged in.
        m_frame->hide();
        pendingPlate.clear();
        account = m_session.Release();
    }
}

QString CtesselApp::RunNewPlate(CZelAccount& account) {
    QWidget* parent =
        m_frame && m_frame->isVisible() ? m_frame.get() : QApplication::activeWindow();
    CMessageBoxOperator op(parent);
    if (!m_shop.LoadSitePreset()) {
        op.Tell(QStringLiteral("조판에 필요한 프리셋 파일을 로드할 수 없습니다."));
        return {};
    }
    // The dialog offers the colour-bar and registration-mark presets.
    m_shop.LoadPressMarks();
    CZelNewProjDlg dialog(m_shop, account, op, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.PlatePath() : QString();
}

QString CtesselApp::RunOpenPlate(const QString& current) {
    QWidget* parent =
        m_frame && m_frame->isVisible() ? m_frame.get() : QApplication::activeWindow();
    CZelOpenProjDlg dialog(m_shop.preference, current, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.ChosenPath() : QString();
}

void CtesselApp::ExitInstance() {
    m_frame.reset();
    m_session.Logout();
    m_shop.colorBars.Clear();
    m_shop.registrationMarks.Clear();
    m_instanceLock.reset();
}
