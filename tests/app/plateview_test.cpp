#include "appfixture.h"

#include "app/mainframe.h"
#include "engine/tesseldoc.h"
#include "records/zelaccount.h"
#include "shop/newplate.h"
#include "shop/session.h"
#include "shop/ticketintake.h"
#include "view/numberedit.h"
#include "view/platecommands.h"
#include "view/tesselview.h"
#include "view/wdpdlg.h"

#include <QComboBox>
#include <QLineEdit>

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

class PlateViewTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        NewCardPlate(account, path, QDate(2026, 3, 11));
        doc.SetContext(shop.Context(&op, nullptr));
        ASSERT_TRUE(doc.Open(path));
        // Two orders, moved back to the job folder at the end.
        PlaceTwoCardOrders(doc);
        doc.DeselectAll();
        view = std::make_unique<CTesselView>();
        view->resize(1000, 700);
        view->show();
        view->SetZoom(1000);
        view->SetDocument(&doc);
        QApplication::processEvents();
    }
    void TearDown() override {
        view.reset();
        ReturnOrders(doc);
        account->Logout();
    }

    std::unique_ptr<CZelAccount> account;
    QString path;
    CTesselDoc doc;
    std::unique_ptr<CTesselView> view;
};

TEST_F(PlateViewTest, ZoomStepsStopAtTheirEnds) {
    view->SetZoom(120);
    view->StepZoom(-1);
    EXPECT_EQ(view->Zoom(), 120);
    view->StepZoom(1);
    EXPECT_EQ(view->Zoom(), 250);
    view->SetZoom(1900);
    view->StepZoom(1);
    EXPECT_EQ(view->Zoom(), 2000);
    view->StepZoom(1);
    EXPECT_EQ(view->Zoom(), 2000);
}

TEST_F(PlateViewTest, ClickSelectsAndADragMovesOnlyPastTheThreshold) {
    const CZelItem& item = *doc.ItemAt(0);
    const CZelBound box = item.Bounds();
    const QPoint inside = ViewPoint(*view, box.x + box.width / 2, box.y + box.height / 2);
    QWidget* surface = view->viewport();
    QTest::mouseClick(surface, Qt::LeftButton, {}, inside);
    ASSERT_EQ(doc.SelectedCount(), 1);
    EXPECT_EQ(doc.Selection().front(), &item);

    // Five pixels move nothing; beyond that the item follows (unless it snaps).
    const double x0 = item.x;
    QTest::mousePress(surface, Qt::LeftButton, {}, inside);
    QMouseEvent small(QEvent::MouseMove, QPointF(inside + QPoint(5, 0)),
                      QPointF(surface->mapToGlobal(inside + QPoint(5, 0))), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &small);
    EXPECT_EQ(item.x, x0);
    QMouseEvent far(QEvent::MouseMove, QPointF(inside + QPoint(40, 0)),
                    QPointF(surface->mapToGlobal(inside + QPoint(40, 0))), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &far);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, inside + QPoint(40, 0));
    EXPECT_GT(item.x, x0);
    EXPECT_TRUE(doc.IsModified());

    // Arrow keys step by a millimetre, half with Shift.
    const double x1 = item.x;
    QTest::keyClick(view.get(), Qt::Key_Right);
    EXPECT_NEAR(item.x, x1 + 1.0, 1e-9);
    QTest::keyClick(view.get(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_NEAR(item.x, x1 + 0.5, 1e-9);
}

TEST_F(PlateViewTest, RubberBandSelectsWhatItGrazesAndShiftAtReleaseAdds) {
    const CZelBound a = doc.ItemAt(0)->Bounds();
    const CZelBound b = doc.ItemAt(1)->Bounds();
    QWidget* surface = view->viewport();
    // From empty pasteboard above the plate to just inside the first item's corner.
    const QPoint start = ViewPoint(*view, a.x - 5, -10);
    QTest::mousePress(surface, Qt::LeftButton, {}, start);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, ViewPoint(*view, a.x + 1, a.y + 1));
    ASSERT_EQ(doc.SelectedCount(), 1) << start.x() << "," << start.y() << " item " << a.x << ","
                                      << a.y << " scroll " << view->horizontalScrollBar()->value();
    EXPECT_EQ(doc.Selection().front(), doc.ItemAt(0));

    // Shift held from the press: a press on empty space without it clears.
    QTest::mousePress(surface, Qt::LeftButton, Qt::ShiftModifier,
                      ViewPoint(*view, b.x + b.width / 2, -10));
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::ShiftModifier,
                        ViewPoint(*view, b.x + b.width - 1, b.y + 1));
    EXPECT_EQ(doc.SelectedCount(), 2);
}

TEST_F(PlateViewTest, DeleteAsksFirst) {
    const CZelItem* chosen = doc.ItemAt(0);
    doc.SelectItem(doc.ItemAt(0));
    const int before = doc.ItemCount();
    op.answers = {false};
    QTest::keyClick(view.get(), Qt::Key_Delete);
    EXPECT_EQ(doc.ItemCount(), before);
    EXPECT_EQ(op.questions.last(), QStringLiteral("선택 항목 1 개를 삭제하시겠습니까."));
    op.answers = {true};
    QTest::keyClick(view.get(), Qt::Key_Delete);
    EXPECT_LT(doc.ItemCount(), before);
    EXPECT_EQ(doc.IndexOf(chosen), -1);
}

TEST_F(PlateViewTest, PanelMovesOnlyTheTypedAxisAndTakesZoomsInRange) {
    CWDPDlg panel(*view);
    doc.SelectItem(doc.ItemAt(0));
    panel.ShowSelection();
    const CZelBound before = doc.SelectionBounds(false);
    doc.SetModified(false);

    // Enter with the shown (rounded) text unchanged moves nothing.
    auto* x = Find<CNumberEdit>(&panel, "positionX");
    emit x->editingFinished();
    EXPECT_FALSE(doc.IsModified());
    Type(&panel, "positionX", QStringLiteral("30.25"));
    EXPECT_NEAR(doc.SelectionBounds(false).x, 30.25, 1e-9);
    EXPECT_EQ(doc.SelectionBounds(false).y, before.y);

    auto* zoom = Find<QComboBox>(&panel, "zoom");
    const int shown = view->Zoom();
    zoom->setEditText(QStringLiteral("300"));
    emit zoom->lineEdit()->returnPressed();
    EXPECT_EQ(view->Zoom(), shown);
    EXPECT_EQ(zoom->currentText(), plateview::ZoomText(shown));
    zoom->setEditText(QStringLiteral("75"));
    emit zoom->lineEdit()->returnPressed();
    EXPECT_EQ(view->Zoom(), 750);
    EXPECT_EQ(zoom->currentText(), QStringLiteral("75.0%"));
}

namespace {

// Collects the regions the view's surface is asked to paint.
struct PaintRecorder : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

} // namespace

TEST_F(PlateViewTest, ChangesRepaintOnlyWhereItemsWereAndAre) {
    QWidget* surface = view->viewport();
    PaintRecorder recorder;
    surface->installEventFilter(&recorder);
    const CZelItem& moved = *doc.ItemAt(0);
    doc.SelectItem(&moved);
    QApplication::processEvents();

    // A drag step: the old and the new place of the item, handles included,
    // and nothing of the other item.
    const QPoint grab = ViewPoint(*view, moved.x + 2, moved.y + 2);
    const QRect before =
        QRect(ViewPoint(*view, moved.x, moved.y),
              ViewPoint(*view, moved.x + moved.EffectiveWidth(), moved.y + moved.EffectiveHeight()))
            .adjusted(-4, -4, 4, 4);
    QTest::mousePress(surface, Qt::LeftButton, {}, grab);
    recorder.painted = {};
    QMouseEvent drag(QEvent::MouseMove, QPointF(grab + QPoint(0, 60)),
                     QPointF(surface->mapToGlobal(grab + QPoint(0, 60))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &drag);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, grab + QPoint(0, 60));
    QApplication::processEvents();
    const QRect after =
        QRect(ViewPoint(*view, moved.x, moved.y),
              ViewPoint(*view, moved.x + moved.EffectiveWidth(), moved.y + moved.EffectiveHeight()))
            .adjusted(-4, -4, 4, 4);
    ASSERT_FALSE(recorder.painted.isEmpty());
    EXPECT_TRUE(QRegion(before.united(after)).contains(recorder.painted.boundingRect()))
        << "painted " << recorder.painted.boundingRect().y() << ".."
        << recorder.painted.boundingRect().bottom() << ", moved " << before.y() << ".."
        << after.bottom();
    EXPECT_TRUE(recorder.painted.contains(before.center()));
    EXPECT_TRUE(recorder.painted.contains(after.center()));

    // A change from outside the view (a dialog, a drop) is drawn as well.
    recorder.painted = {};
    doc.RotateSelection(true);
    QApplication::processEvents();
    EXPECT_TRUE(recorder.painted.contains(ViewPoint(*view, moved.x + 1, moved.y + 1)));
    const CZelItem& other = *doc.ItemAt(1);
    EXPECT_FALSE(recorder.painted.contains(ViewPoint(*view, other.x + other.EffectiveWidth() / 2,
                                                     other.y + other.EffectiveHeight() / 2)));
}

TEST_F(PlateViewTest, ContextMenuEnablesByTheSideAndTheSelection) {
    CPlateCommands commands(*view);
    QAction properties(QStringLiteral("판 / 항목 정보..."));
    properties.setObjectName(QStringLiteral("propertiesAction"));
    QAction duplicate(QStringLiteral("복제 적용..."));
    duplicate.setObjectName(QStringLiteral("duplicateAction"));
    QAction deleteItems(QStringLiteral("선택 항목 삭제..."));
    deleteItems.setObjectName(QStringLiteral("deleteItemsAction"));
    QAction changeLabel(QStringLiteral("레이블 변경..."));
    changeLabel.setObjectName(QStringLiteral("changeLabelAction"));
    const CPlateCommands::ContextActions actions{&properties, &duplicate, &deleteItems,
                                                 &changeLabel};
    const struct {
        plateview::ViewSide side;
        int selected;
        std::vector<std::string> enabled;
    } cases[] = {
        {plateview::ViewSide::A,
         1,
         {"propertiesAction", "duplicateAction", "deleteOrdersAction", "deleteItemsAction"}},
        {plateview::ViewSide::A, 2, {"propertiesAction"}},
        {plateview::ViewSide::A, 0, {"propertiesAction"}},
        {plateview::ViewSide::Label, 1, {"propertiesAction", "changeLabelAction"}},
        {plateview::ViewSide::Label, 2, {"propertiesAction"}},
    };
    for (const auto& c : cases) {
        view->SetSide(c.side);
        doc.DeselectAll();
        for (int i = 0; i < c.selected; ++i)
            doc.SelectItem(doc.ItemAt(i));
        const std::unique_ptr<QMenu> menu = commands.ContextMenu(actions);
        std::vector<std::string> enabled;
        for (const QAction* entry : menu->actions())
            if (entry->isEnabled())
                enabled.push_back(entry->objectName().chopped(int(strlen("InMenu"))).toStdString());
        EXPECT_EQ(enabled, c.enabled) << int(c.side) << " with " << c.selected;
    }

    // A right click on an unselected item selects it alone first.
    view->SetSide(plateview::ViewSide::A);
    doc.DeselectAll();
    doc.SelectItem(doc.ItemAt(0));
    const CZelItem& second = *doc.ItemAt(1);
    QPoint requested;
    QObject::connect(view.get(), &CTesselView::contextMenuRequested,
                     [&](const QPoint& at) { requested = at; });
    const QPoint at = ViewPoint(*view, second.x + 1, second.y + 1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &event);
    EXPECT_EQ(requested, view->viewport()->mapToGlobal(at));
    ASSERT_EQ(doc.SelectedCount(), 1);
    EXPECT_EQ(doc.Selection().front(), &second);
    EXPECT_EQ(requested, view->viewport()->mapToGlobal(at));
}

TEST_F(PlateViewTest, CommandKeysActWindowWideButLetFieldsType) {
    QMainWindow window;
    view->setParent(&window);
    window.setCentralWidget(view.get());
    auto* field = new QLineEdit;
    auto* bar = new QToolBar;
    bar->addWidget(field);
    window.addToolBar(bar);
    CPlateCommands commands(*view);
    window.addActions(QList<QAction*>(commands.Actions().begin(), commands.Actions().end()));
    window.show();
    QApplication::setActiveWindow(&window);
    doc.SelectItem(doc.ItemAt(0));
    doc.SelectItem(doc.ItemAt(1));
    auto* rotate = commands.findChild<QAction*>(QStringLiteral("rotateClockwiseAction"));
    ASSERT_TRUE(rotate);
    EXPECT_TRUE(rotate->isEnabled());

    // Typing a capital H in a field types it.
    field->setFocus();
    const std::vector<double> xs = {doc.ItemAt(0)->x, doc.ItemAt(1)->x};
    QTest::keyClick(field, 'H', Qt::ShiftModifier);
    EXPECT_EQ(field->text(), QStringLiteral("H"));
    EXPECT_EQ(doc.ItemAt(0)->x, xs[0]);
    EXPECT_EQ(doc.ItemAt(1)->x, xs[1]);

    // The turn's keys reach the plate from the field as from the plate.
    const int angle = doc.ItemAt(0)->rotate;
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc.ItemAt(0)->rotate, (angle + 90) % 360);
    view->setFocus();
    QTest::keyClick(view.get(), Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc.ItemAt(0)->rotate, angle);
    view->setParent(nullptr);
}

TEST_F(PlateViewTest, PanelShowsTheTurnAndTheOwnCutOfOneItemAndAsksForDetails) {
    CWDPDlg panel(*view);
    auto* rotation = Find<QLabel>(&panel, "rotationPicture");
    auto* ownCut = Find<QLabel>(&panel, "ownCutPicture");
    doc.SelectItem(doc.ItemAt(0));
    doc.RotateSelection(true);
    panel.ShowSelection();
    EXPECT_EQ(rotation->accessibleDescription(), QStringLiteral("%1도").arg(doc.ItemAt(0)->rotate));
    EXPECT_EQ(ownCut->accessibleDescription(), QStringLiteral("없음"));
    const QImage upright = rotation->pixmap().toImage();
    doc.RotateSelection(true);
    panel.ShowSelection();
    EXPECT_NE(rotation->pixmap().toImage(), upright); // the picture turns with the item

    doc.SelectItem(doc.ItemAt(1)); // two: nothing of one item is shown
    panel.ShowSelection();
    EXPECT_TRUE(rotation->accessibleDescription().isEmpty());
    EXPECT_TRUE(ownCut->accessibleDescription().isEmpty());

    int asked = 0;
    QObject::connect(&panel, &CWDPDlg::propertiesRequested, [&] { ++asked; });
    Find<QPushButton>(&panel, "propertiesButton")->click();
    EXPECT_EQ(asked, 1);
}
