// Opens every window of the program on a fresh demo shop, off screen, and
// writes a picture of each: tessel-tour OUTDIR [SHOPDIR].
#include "initialchangedlg.h"
#include "logindlg.h"
#include "mainframe.h"
#include "messageboxoperator.h"
#include "newprojdlg.h"
#include "openprojdlg.h"
#include "passchangedlg.h"
#include "savedocpresetdlg.h"
#include "serverconfigdlg.h"
#include "splashwnd.h"
#include "startdlg.h"

#include "demo/demoshop.h"
#include "engine/tesseldoc.h"
#include "records/programfolder.h"
#include "records/zelaccount.h"
#include "shop/installation.h"
#include "shop/newplate.h"
#include "shop/session.h"
#include "shop/ticketintake.h"
#include "view/makepresssetupdlg.h"
#include "view/pdfprogressdlg.h"
#include "view/platetitledlg.h"
#include "view/tesselview.h"
#include "view/zelplateregdlg.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLibraryInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>

namespace {

// Answers every question "yes" and keeps quiet: the tour only looks.
struct SilentOperator : OperatorInterface {
    bool Ask(const QString&) override { return true; }
    void Tell(const QString&) override {}
};

int Fail(const QString& text) {
    QTextStream(stderr) << "tessel-tour: " << text << '\n';
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("TesselTour"));
    QApplication::setApplicationName(QStringLiteral("Tessel"));
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("NanumGothic"), font.family()});
    QApplication::setFont(font);

    const QStringList args = QApplication::arguments();
    if (args.size() < 2)
        return Fail(QStringLiteral("usage: tessel-tour OUTDIR [SHOPDIR]"));
    const QDir out(args.at(1));
    if (!QDir().mkpath(out.path()))
        return Fail(QStringLiteral("cannot make %1").arg(out.path()));
    QTemporaryDir scratch;
    const QString shopDir =
        args.size() > 2 ? args.at(2) : scratch.filePath(QStringLiteral("demo-shop"));
    if (!QFileInfo::exists(QDir(shopDir).filePath(QStringLiteral("Preferences")))) {
        CDemoShop demo;
        if (!demo.Create(shopDir))
            return Fail(demo.LastError());
    }
    programfolder::SetHome(shopDir);
    Installation shop;
    if (const Result<void> loaded = shop.Load(true); !loaded)
        return Fail(loaded.error());
    SilentOperator op;
    int written = 0;
    auto shoot = [&](QWidget* window, const char* name) {
        window->show();
        QApplication::processEvents();
        const QString file = out.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (window->grab().save(file)) {
            ++written;
            QTextStream(stdout) << file << '\n';
        }
        window->hide();
    };

    CSplashWnd splash;
    shoot(&splash, "01-splash");
    CZelStartDlg start(shop.preference, op, {});
    if (auto* list = start.findChild<QTableView*>(QStringLiteral("accountList")))
        list->selectRow(0);
    shoot(&start, "02-start");

    CZelAccount account(QDir(shopDir).filePath(QStringLiteral("Shared/Accounts/demo.tzuac")));
    CZelLoginDlg login(account, op);
    shoot(&login, "03-login");
    CZelPassChangeDlg password(account, op);
    shoot(&password, "04-new-password");
    if (account.Login(QStringLiteral("demo")) != CZelAccount::Success)
        return Fail(QStringLiteral("the demo account does not log in"));
    CZelInitialChangeDlg initials(account);
    shoot(&initials, "05-initials");
    CZelServerConfigDlg server(shop.preference, op);
    shoot(&server, "06-server-settings");
    CZelNewProjDlg newPlate(shop, account, op);
    shoot(&newPlate, "07-new-plate");
    CSaveDocPresetDlg savePreset({QStringLiteral("명함 국2절 92x52")}, 0, op);
    shoot(&savePreset, "08-save-preset");

    QStringList plates;
    for (int i = 0; i < 2; ++i) {
        Result<PreparedPlate> plate =
            PrepareNewPlate(shop, {QStringLiteral("명함 양면 국2절 92x52"), QStringLiteral("P"),
                                   QDate::currentDate()});
        if (!plate)
            return Fail(plate.error());
        const Result<QString> path = CreatePlate(shop, account, plate.value());
        if (!path)
            return Fail(path.error());
        plates << path.value();
    }
    CZelOpenProjDlg open(shop.preference, plates.first());
    shoot(&open, "09-open-plate");

    // The main window on a plate holding the regular cards.
    {
        CTesselDoc doc;
        doc.SetContext(shop.Context(&op, nullptr));
        const Result<QStringList> tickets = ticketintake::TicketsIn(
            {QDir(shopDir).filePath(QStringLiteral("Shared/JobTickets/명함/일반"))});
        if (doc.Open(plates.first()) && tickets)
            (void)ticketintake::TakeAndPlace(doc, tickets.value(), doc.Geometry().usableArea.x,
                                             doc.Geometry().usableArea.y, false);
    }
    ShopSession session;
    CMainFrame frame(shop, session, {});
    frame.resize(1280, 860);
    frame.OpenPlate(plates.first());
    shoot(&frame, "10-main-window");
    frame.View()->SetZoom(250);
    frame.View()->SetSide(plateview::ViewSide::B);
    shoot(&frame, "11-main-window-side-b");
    frame.View()->SetSide(plateview::ViewSide::Label);
    shoot(&frame, "12-main-window-label-side");

    // The press and registration windows on that plate.
    if (CTesselDoc* doc = frame.Document()) {
        CPlateTitleDlg title(doc->Properties().titleItems, doc->Properties().titleFont);
        shoot(&title, "13-plate-title");
        CMakePressSetupDlg press(*doc, shop.preference, shop.colorBars, shop.registrationMarks, op);
        shoot(&press, "14-press-settings");
        CPDFDlgMakePress making;
        making.Begin(QStringLiteral("A 판 PDF 배치 중..."), 8);
        making.Step(3);
        making.Detail(QStringLiteral("PDF 배치: %1 - %2")
                          .arg(doc->ItemCount() ? doc->ItemAt(0)->ordernum : QString(),
                               doc->ItemCount() ? doc->ItemAt(0)->product : QString()));
        shoot(&making, "15-press-progress");
        CZelPDFDlgLoadDoc loading;
        loading.Begin(QStringLiteral("작업 파일 로드: %1").arg(QFileInfo(doc->Path()).fileName()),
                      4);
        loading.Step(1);
        loading.Detail(QStringLiteral("%1.pdf - 1/2")
                           .arg(doc->ItemCount() ? doc->ItemAt(0)->ordernum : QString()));
        shoot(&loading, "16-load-progress");
        QString url, signature;
        shop.preference.GetPlateRegUrl(url);
        shop.site.GetSignature(signature);
        CZelPlateRegDlg registration(*doc, signature, url, op);
        shoot(&registration, "17-plate-registration");
    }
    account.Logout();
    QTextStream(stdout) << written << " pictures in " << out.absolutePath() << '\n';
    return 0;
}
