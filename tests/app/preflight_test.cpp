#include "appfixture.h"

#include "app/mainframe.h"
#include "app/platepreflight.h"
#include "app/wsbpreflightdlg.h"
#include "engine/tesseldoc.h"
#include "records/zelaccount.h"
#include "shop/session.h"
#include "view/tesselview.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QTreeWidget>

// The main window checks the plate's orders on its own after an open and a
// drop, without holding the window, and shows what it found.
class PreflightWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        QString path;
        NewCardPlate(account, path, QDate(2026, 3, 16));
        OpenMainWindow(path);
        ASSERT_FALSE(HasFatalFailure());
        view = frame->View();
        view->SetZoom(1000);
    }
    // Lets the window run until the check has ended; whether it did.
    bool WaitForPreflight() {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!frame->Preflight()->Busy())
                return true;
        }
        return false;
    }
    QPoint ViewPoint(double x, double y) const { return ::ViewPoint(*view, x, y); }

    CTesselView* view = nullptr;
};

TEST_F(PreflightWindowTest, ADropIsCheckedAndItsFindingsSelectTheirItems) {
    ASSERT_TRUE(WaitForPreflight());
    auto* list = Find<QTreeWidget>(frame.get(), "preflightList");
    EXPECT_EQ(list->topLevelItemCount(), 0); // an empty plate

    PlaceTwoCardOrders(*frame->Document());
    frame->Document()->DeselectAll();
    ASSERT_TRUE(WaitForPreflight());
    const std::vector<OrderPreflight>& results = frame->Preflight()->Results();
    ASSERT_EQ(results.size(), 2u);

    // The demo's regular cards are drawn in RGB: every order has findings,
    // listed with its rows, badged and told on the item under the mouse.
    ASSERT_EQ(list->topLevelItemCount(), 2);
    QTreeWidgetItem* first = list->topLevelItem(0);
    EXPECT_EQ(first->text(0), results[0].ordernum);
    EXPECT_EQ(first->childCount(), int(results[0].findings.size()));
    const CZelItem* item = frame->Document()->FindByOrdernum(results[0].ordernum);
    ASSERT_NE(item, nullptr);
    const QStringList lines = view->PreflightFindingsAt(
        ViewPoint(item->x + item->EffectiveWidth() / 2, item->y + item->EffectiveHeight() / 2));
    EXPECT_EQ(lines.size(), first->childCount());

    // A finding's row selects every item of its order.
    emit list->itemClicked(first->child(0), 0);
    const std::vector<const CZelItem*>& selection = frame->Document()->Selection();
    ASSERT_EQ(int(selection.size()), frame->Document()->CountOrderItems(results[0].ordernum));
    for (const CZelItem* selected : selection)
        EXPECT_EQ(selected->ordernum, results[0].ordernum);
}
