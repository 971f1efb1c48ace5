#pragma once

#include "../engine/scriptedoperator.h"
#include "app/mainframe.h"
#include "demo/demoshop.h"
#include "engine/operatorinterface.h"
#include "engine/tesseldoc.h"
#include "records/programfolder.h"
#include "records/zelaccount.h"
#include "shop/installation.h"
#include "shop/newplate.h"
#include "shop/session.h"
#include "shop/ticketintake.h"
#include "view/tesselview.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The dialogs' operator: answers from a script and keeps what was said.
using RecordingOperator = ScriptedOperator;

// One demo shop for the suite (making it draws artwork); tests that change
// it put it back.
class AppTest : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "app_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QApplication(argc, argv);
        QCoreApplication::setOrganizationName(QStringLiteral("TesselTests"));
        s_dir = std::make_unique<QTemporaryDir>();
        CDemoShop shop;
        ASSERT_TRUE(shop.Create(s_dir->filePath(QStringLiteral("가게")),
                                QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << shop.LastError().toStdString();
    }
    static void TearDownTestSuite() { s_dir.reset(); }

protected:
    void SetUp() override {
        programfolder::SetHome(Home());
        ASSERT_TRUE(shop.LoadPreference().ok());
        ASSERT_TRUE(shop.LoadSitePreset());
        shop.LoadPressMarks();
    }
    // The demo account logged in, and a new two-sided card plate of that date
    // made for it: its path.
    void NewCardPlate(std::unique_ptr<CZelAccount>& account, QString& path, QDate date) {
        ASSERT_TRUE(shop.pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << shop.pdf.LoadError().toStdString();
        account = std::make_unique<CZelAccount>(Path("Shared/Accounts/demo.tzuac"));
        ASSERT_EQ(account->Login(QStringLiteral("demo")), CZelAccount::Success);
        PreparedPlate plate = PrepareNewPlate(shop, {QStringLiteral("명함 양면 국2절 92x52"),
                                                     QStringLiteral("P"), date})
                                  .value();
        path = CreatePlate(shop, *account, plate).value();
    }
    // Two orders of the regular cards taken onto the plate.
    void PlaceTwoCardOrders(CTesselDoc& doc) {
        const QStringList tickets =
            ticketintake::TicketsIn({Path("Shared/JobTickets/명함/일반")}).value().mid(0, 2);
        op.answers = {true, true, true, true};
        ASSERT_TRUE(ticketintake::TakeAndPlace(doc, tickets, doc.Geometry().usableArea.x,
                                               doc.Geometry().usableArea.y, false)
                        .ok());
        op.answers.clear();
        ASSERT_GE(doc.ItemCount(), 2);
    }
    // Every order of the plate back to the job folder, for the next test.
    void ReturnOrders(CTesselDoc& doc) {
        doc.SelectAll();
        op.answers = {true, true, true, true};
        doc.DeleteSelectedOrders();
        op.answers.clear();
    }

    static QString Home() { return s_dir->filePath(QStringLiteral("가게")); }
    static QString Path(const char* relative) {
        return Home() + QLatin1Char('/') + QString::fromUtf8(relative);
    }

    template <typename T> static T* Find(QWidget* in, const char* name) {
        T* found = in->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << "no control " << name;
        return found;
    }
    static void Type(QWidget* in, const char* name, const QString& text) {
        QLineEdit* edit = Find<QLineEdit>(in, name);
        edit->setText(text);
        emit edit->editingFinished();
    }
    static void Click(QWidget* in, const char* name) { Find<QAbstractButton>(in, name)->click(); }
    // Runs `act` on the modal dialog of that name once it shows (for
    // dialogs that a button opens with exec()).
    static void OnModal(const char* name, std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, [name, act] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->objectName() != QLatin1String(name)) {
                OnModal(name, act);
                return;
            }
            act(modal);
        });
    }

    Installation shop;
    RecordingOperator op;
    static inline std::unique_ptr<QTemporaryDir> s_dir;
};

// The view's viewport point of a plate point on page 0.
inline QPoint ViewPoint(const CTesselView& view, double x, double y) {
    const QPoint origin = view.PageOrigin(0);
    return QPoint(origin.x() + view.Px(x, Qt::Horizontal) - view.horizontalScrollBar()->value(),
                  origin.y() + view.Px(y, Qt::Vertical) - view.verticalScrollBar()->value());
}

// The main window of the demo account on a plate of its own. Tear-down gives
// the plate's orders back to the job folder and logs out.
class MainWindowTest : public AppTest {
protected:
    // Opens the plate at path in a new main window, shown; the plate's
    // questions go to the script, not to message boxes.
    void OpenMainWindow(const QString& path) {
        frame = std::make_unique<CMainFrame>(shop, session, CMainFrame::Actions{});
        ASSERT_TRUE(frame->OpenPlate(path));
        frame->Document()->SetContext(shop.Context(&op, nullptr));
        frame->show();
    }
    void TearDown() override {
        if (frame) {
            CTesselDoc& doc = *frame->Document();
            ReturnOrders(doc);
            // Only tidying up: the orders are back whatever the plate file says.
            (void)doc.Save(doc.Path());
        }
        frame.reset();
        if (account)
            account->Logout();
    }
    QAction* Action(const char* name) const {
        return frame->findChild<QAction*>(QString::fromLatin1(name));
    }

    std::unique_ptr<CZelAccount> account;
    ShopSession session;
    std::unique_ptr<CMainFrame> frame;
};
