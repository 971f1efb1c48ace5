// Opens every window of the program on a fresh demo shop, off screen, and
// writes a picture of each: tessel-tour OUTDIR [SHOPDIR].
#include "initialchangedlg.h"
#include "joblists.h"
#include "logindlg.h"
#include "mainframe.h"
#include "messageboxoperator.h"
#include "newprojdlg.h"
#include "openprojdlg.h"
#include "passchangedlg.h"
#include "platepreflight.h"
#include "savedocpresetdlg.h"
#include "serverconfigdlg.h"
#include "splashwnd.h"
#include "startdlg.h"

#include "labeleditor/labeldlg.h"
#include "labeleditor/labeleditwnd.h"
#include "labeleditor/labelselectdlg.h"

#include "demo/demoshop.h"
#include "engine/tesseldoc.h"
#include "records/programfolder.h"
#include "records/zelaccount.h"
#include "shop/installation.h"
#include "shop/newplate.h"
#include "shop/session.h"
#include "shop/ticketintake.h"
#include "view/colorselectdlg.h"
#include "view/editlinedlg.h"
#include "view/edittext.h"
#include "view/itemcommands.h"
#include "view/makepresssetupdlg.h"
#include "view/pdfprogressdlg.h"
#include "view/platetitledlg.h"
#include "view/tesselview.h"
#include "view/zeldocpropertydlg.h"
#include "view/zelduplicatedlg.h"
#include "view/zelitemarrangedlg.h"
#include "view/zelitempropertydlg.h"
#include "view/zelowncropdlg.h"
#include "view/zelplateregdlg.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTextStream>
#include <QTranslator>
#include <QTreeWidget>

#include <cstdio>

namespace {

// Answers every question "yes" and keeps quiet: the tour only looks.
struct SilentOperator : OperatorInterface {
    bool Ask(const QString&) override { return true; }
    void Tell(const QString&) override {}
};

// Controls a screen reader or a test could not find by name: every control
// needs an object name and an accessible name.
QStringList UnnamedControls(const QWidget* window, const char* shot) {
    QStringList unnamed;
    for (const QWidget* child : window->findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<const QAbstractButton*>(child) || qobject_cast<const QLineEdit*>(child) ||
            qobject_cast<const QComboBox*>(child) || qobject_cast<const QAbstractSpinBox*>(child) ||
            qobject_cast<const QAbstractItemView*>(child) ||
            qobject_cast<const QTextEdit*>(child) || qobject_cast<const QPlainTextEdit*>(child) ||
            qobject_cast<const QSlider*>(child) || qobject_cast<const QTabBar*>(child);
        // Parts Qt makes inside a control (a combo's line edit, a spin box's
        // field, a table's corner button) are named by their control.
        const QWidget* parent = child->parentWidget();
        const bool part = child->objectName().startsWith(QLatin1String("qt_")) ||
                          (parent && (qobject_cast<const QComboBox*>(parent) ||
                                      qobject_cast<const QAbstractSpinBox*>(parent) ||
                                      qobject_cast<const QAbstractItemView*>(parent) ||
                                      qobject_cast<const QTabWidget*>(parent)));
        if (!control || part || !child->isVisibleTo(window))
            continue;
        if (child->objectName().isEmpty() || child->accessibleName().isEmpty())
            unnamed << QStringLiteral("%1: %2 \"%3\" (%4)")
                           .arg(QString::fromLatin1(shot),
                                QString::fromLatin1(child->metaObject()->className()),
                                child->objectName(), child->accessibleName());
    }
    return unnamed;
}

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
    QStringList unnamed;
    auto shoot = [&](QWidget* window, const char* name) {
        window->show();
        QApplication::processEvents();
        unnamed << UnnamedControls(window, name);
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
    // The job list bars read the demo folders and show the premium cards with a few
    // orders selected.
    CJTBDlg* products = frame.JobLists()->ProductPanel();
    products->Build();
    for (QTreeWidgetItem* item :
         products->findChild<QTreeWidget*>(QStringLiteral("productTree"))
             ->findItems(QStringLiteral("고급"), Qt::MatchStartsWith | Qt::MatchRecursive))
        products->findChild<QTreeWidget*>(QStringLiteral("productTree"))->setCurrentItem(item);
    if (auto* orders = frame.findChild<QTableView*>(QStringLiteral("orderList"))) {
        orders->selectRow(0);
        orders->selectionModel()->select(orders->model()->index(1, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The plate's preflight runs on its own; its badges belong in the pictures.
    QElapsedTimer preflightClock;
    preflightClock.start();
    while (frame.Preflight()->Busy() && preflightClock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    // One item selected: its handles, and its place and pictures in the panel.
    if (CTesselDoc* doc = frame.Document(); doc && doc->ItemCount() > 0)
        doc->SelectItem(doc->ItemAt(0));
    shoot(&frame, "10-main-window");
    if (auto* tabs = frame.findChild<QTabWidget*>(QStringLiteral("jobTabs"))) {
        tabs->setCurrentIndex(CWSBDlg::WorkTab);
        shoot(&frame, "10a-main-window-work-list");
        // The preflight list with its first order clicked: that order's items selected.
        tabs->setCurrentIndex(CWSBDlg::PreflightTab);
        auto* findings = frame.findChild<QTreeWidget*>(QStringLiteral("preflightList"));
        if (findings && findings->topLevelItemCount() > 0) {
            findings->setCurrentItem(findings->topLevelItem(0));
            emit findings->itemClicked(findings->topLevelItem(0), 0);
        }
        shoot(&frame, "10b-main-window-preflight");
        tabs->setCurrentIndex(CWSBDlg::OrderTab);
    }
    frame.View()->SetZoom(250);
    frame.View()->SetSide(plateview::ViewSide::B);
    shoot(&frame, "11-main-window-side-b");
    frame.View()->SetSide(plateview::ViewSide::Label);
    shoot(&frame, "12-main-window-label-side");
    frame.View()->SetSide(plateview::ViewSide::A);
    if (auto* cutPlan = frame.findChild<QAction*>(QStringLiteral("cutPlanAction"))) {
        cutPlan->setChecked(true);
        shoot(&frame, "12a-main-window-cut-plan");
        cutPlan->setChecked(false);
    }

    // The item and plate dialogs over the open plate.
    if (CTesselDoc* doc = frame.Document()) {
        const itemcommands::PlateLists lists = itemcommands::ListsOf(shop);
        CZelDocPropertyDlg plateDetails(doc->Properties(), lists.paperTypes, lists.afterWorks, op);
        shoot(&plateDetails, "13-plate-details");
        if (doc->ItemCount() > 0) {
            CZelItemPropertyDlg itemDetails(CZelItemPropertyDlg::RowsOf(*doc->ItemAt(0)));
            shoot(&itemDetails, "14-item-details");
        }
        CZelItemArrangeDlg spacing(CZelItemArrangeDlg::Horizontal, -30, 30, op);
        shoot(&spacing, "15-spacing");
        CZelDuplicateDlg duplicate(1, doc->Properties().arrangeDirection, op);
        shoot(&duplicate, "16-duplicate");
        CZelOwnCropDlg ownCut(doc->DefaultOwnCutSettings(), op);
        shoot(&ownCut, "17-own-cut-lines");
        CColorSelectDlg colour(shop.colors, CColorSelectDlg::DefaultColor());
        shoot(&colour, "18-colour-select");
        const double width = doc->Properties().width;
        std::vector<FreeLine> lines = doc->Lines();
        lines.push_back({1, 0, width, 3, 0.25, QStringLiteral(" [ Black ]")});
        CEditLineDlg lineDialog(lines, width, doc->Properties().height, &shop.colors);
        shoot(&lineDialog, "19-free-lines");
        std::vector<TextBox> boxes = doc->TextBoxes();
        TextBox memo;
        memo.x = 10;
        memo.y = 5;
        memo.width = 60;
        memo.height = 8;
        memo.text = QStringLiteral("판 메모");
        boxes.push_back(memo);
        CEditText textDialog(
            boxes, {width, doc->Properties().height, doc->WorkFolder(), &shop.colors, nullptr}, op);
        shoot(&textDialog, "20-text-boxes");
    }

    // The label windows on the demo shop's business card label.
    QString presetDir;
    shop.preference.GetPresetDir(presetDir);
    {
        CZelLabelDlg editor(presetDir, op);
        editor.ShowStoredLabel(QStringLiteral("명함 90x50"));
        editor.Canvas()->Select(3);
        shoot(&editor, "21-label-editor");
    }
    if (frame.Document() && frame.Document()->ItemCount() > 0) {
        CZelLabelSelectDlg select(presetDir, *frame.Document()->ItemAt(0));
        if (auto* list = select.findChild<QTableView*>(QStringLiteral("labelList")))
            list->selectRow(1);
        shoot(&select, "22-label-select");
    }

    // The press and registration windows on that plate.
    if (CTesselDoc* doc = frame.Document()) {
        CPlateTitleDlg title(doc->Properties().titleItems, doc->Properties().titleFont);
        shoot(&title, "23-plate-title");
        CMakePressSetupDlg press(*doc, shop.preference, shop.colorBars, shop.registrationMarks, op);
        shoot(&press, "24-press-settings");
        CPDFDlgMakePress making;
        making.Begin(QStringLiteral("A 판 PDF 배치 중..."), 8);
        making.Step(3);
        making.Detail(QStringLiteral("PDF 배치: %1 - %2")
                          .arg(doc->ItemCount() ? doc->ItemAt(0)->ordernum : QString(),
                               doc->ItemCount() ? doc->ItemAt(0)->product : QString()));
        shoot(&making, "25-press-progress");
        CZelPDFDlgLoadDoc loading;
        loading.Begin(QStringLiteral("작업 파일 로드: %1").arg(QFileInfo(doc->Path()).fileName()),
                      4);
        loading.Step(1);
        loading.Detail(QStringLiteral("%1.pdf - 1/2")
                           .arg(doc->ItemCount() ? doc->ItemAt(0)->ordernum : QString()));
        shoot(&loading, "26-load-progress");
        QString url, signature;
        shop.preference.GetPlateRegUrl(url);
        shop.site.GetSignature(signature);
        CZelPlateRegDlg registration(*doc, signature, url, op);
        shoot(&registration, "27-plate-registration");
    }
    account.Logout();
    QTextStream(stdout) << written << " pictures in " << out.absolutePath() << '\n';
    if (!unnamed.isEmpty())
        return Fail(QStringLiteral("controls without an object or accessible name:\n  ") +
                    unnamed.join(QStringLiteral("\n  ")));
    return 0;
}
