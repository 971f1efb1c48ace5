#include "appfixture.h"

#include "app/mainframe.h"
#include "engine/tesseldoc.h"
#include "records/zelaccount.h"
#include "shop/newplate.h"
#include "shop/session.h"
#include "shop/ticketintake.h"
#include "view/tesselview.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

// Undo and redo of the main window on a plate holding two orders of the
// regular cards, dropped by the window's own intake.
class EditMenuTest : public MainWindowTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        QString path;
        NewCardPlate(account, path, QDate(2026, 3, 13));
        OpenMainWindow(path);
        ASSERT_FALSE(HasFatalFailure());
        view = frame->findChild<CTesselView*>();
        ASSERT_NE(view, nullptr);
        view->SetZoom(1000);
        tickets = ticketintake::TicketsIn({Path("Shared/JobTickets/명함/일반")}).value().mid(0, 2);
        CTesselDoc& doc = *frame->Document();
        op.answers = {true, true, true, true};
        ASSERT_TRUE(ticketintake::TakeAndPlace(doc, tickets, doc.Geometry().usableArea.x,
                                               doc.Geometry().usableArea.y, false)
                        .ok());
        op.answers.clear();
        doc.DeselectAll();
        QApplication::processEvents();
    }
    QPoint ViewPoint(double x, double y) const { return ::ViewPoint(*view, x, y); }
    void MoveMouse(const QPoint& to) {
        QWidget* surface = view->viewport();
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(surface->mapToGlobal(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
    }
    void Key(QEvent::Type type, int key, bool autoRepeat) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(view, &event);
    }

    CTesselView* view = nullptr;
    QStringList tickets;
};

TEST_F(EditMenuTest, ADragAndAnArrowKeyRunAreOneStepEach) {
    CTesselDoc& doc = *frame->Document();
    QAction* undo = Action("undoAction");
    QAction* redo = Action("redoAction");
    ASSERT_TRUE(undo && redo);
    EXPECT_EQ(undo->text(), QStringLiteral("실행 취소: 배치"));
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    EXPECT_FALSE(frame->isWindowModified()) << "the drop saved the plate";

    const CZelBound box = doc.ItemAt(0)->Bounds();
    const double x0 = box.x;
    const QPoint inside = ViewPoint(box.x + box.width / 2, box.y + box.height / 2);
    QWidget* surface = view->viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, inside);
    for (int step = 1; step <= 4; ++step)
        MoveMouse(inside + QPoint(0, 20 * step));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, inside + QPoint(0, 80));
    ASSERT_NE(doc.ItemAt(0)->y, box.y);
    EXPECT_EQ(undo->text(), QStringLiteral("실행 취소: 이동"));
    EXPECT_TRUE(frame->isWindowModified());

    // A key held down: presses and releases that repeat, then the last release.
    const int before = doc.History().Position();
    Key(QEvent::KeyPress, Qt::Key_Right, false);
    for (int i = 0; i < 3; ++i) {
        Key(QEvent::KeyRelease, Qt::Key_Right, true);
        Key(QEvent::KeyPress, Qt::Key_Right, true);
    }
    Key(QEvent::KeyRelease, Qt::Key_Right, false);
    EXPECT_NEAR(doc.ItemAt(0)->x, x0 + 4.0, 1e-9);
    EXPECT_EQ(doc.History().Position(), before + 1);

    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(doc.ItemAt(0)->x, x0);
    EXPECT_EQ(redo->text(), QStringLiteral("다시 실행: 이동"));
    undo->trigger();
    EXPECT_DOUBLE_EQ(doc.ItemAt(0)->y, box.y);
    EXPECT_FALSE(frame->isWindowModified()) << "back at the saved plate";

    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(doc.ItemAt(0)->y, box.y);
    EXPECT_TRUE(frame->isWindowModified());

    // Undoing the drop gives the tickets back to the job folder.
    undo->trigger();
    undo->trigger();
    EXPECT_EQ(doc.ItemCount(), 0);
    for (const QString& ticket : tickets)
        EXPECT_TRUE(QFileInfo::exists(ticket)) << ticket.toStdString();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("실행 취소"));
    EXPECT_EQ(redo->text(), QStringLiteral("다시 실행: 배치"));
    redo->trigger();
    EXPECT_GE(doc.ItemCount(), 2);
    for (const QString& ticket : tickets)
        EXPECT_FALSE(QFileInfo::exists(ticket)) << ticket.toStdString();
}

TEST_F(EditMenuTest, ClipboardEntriesAreDisabledAndLeaveTheirKeysToTheFields) {
    for (const char* name : {"cutAction", "copyAction", "pasteAction"}) {
        QAction* action = Action(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_FALSE(action->isEnabled()) << name;
    }
    EXPECT_EQ(Action("copyAction")->shortcut(), QKeySequence(QKeySequence::Copy));

    // With an item selected, Ctrl+C in the position field copies its text.
    frame->Document()->SelectItem(frame->Document()->ItemAt(0));
    QApplication::processEvents();
    auto* field = frame->findChild<QLineEdit*>(QStringLiteral("positionX"));
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->isEnabled());
    field->setFocus();
    field->selectAll();
    QApplication::clipboard()->clear();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), field->text());
}
