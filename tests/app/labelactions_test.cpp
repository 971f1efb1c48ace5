#include "appfixture.h"

#include "app/mainframe.h"
#include "engine/tesseldoc.h"
#include "labels/labelset.h"
#include "records/zelaccount.h"
#include "shop/newplate.h"
#include "shop/session.h"
#include "shop/ticketintake.h"
#include "view/tesselview.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>

// The label commands of the main window on a plate holding two orders.
class LabelActionsTest : public MainWindowTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        QString path;
        NewCardPlate(account, path, QDate(2026, 3, 12));
        {
            CTesselDoc doc;
            doc.SetContext(shop.Context(&op, nullptr));
            ASSERT_TRUE(doc.Open(path));
            PlaceTwoCardOrders(doc);
            ASSERT_TRUE(doc.Save(path));
        }
        OpenMainWindow(path);
    }
};

TEST_F(LabelActionsTest, ChangeLabelOnTheLabelPlateWithOneItem) {
    CTesselDoc& doc = *frame->Document();
    QAction* change = Action("changeLabelAction");
    ASSERT_NE(change, nullptr);
    doc.SelectItem(doc.ItemAt(0));
    Action("sideAAction")->trigger();
    EXPECT_FALSE(change->isEnabled());
    Action("sideLabelAction")->trigger();
    EXPECT_TRUE(change->isEnabled());

    const CZelItem* item = doc.ItemAt(0);
    QString offered;
    OnModal("labelSelectDialog", [&offered](QWidget* dialog) {
        auto* list = dialog->findChild<QTableView*>(QStringLiteral("labelList"));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("ok"));
        // The last fitting label: the smallest that fits.
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            list->selectRow(row);
            if (ok->isEnabled())
                offered = list->model()->index(row, 0).data().toString();
        }
        list->selectRow(list->model()
                            ->match(list->model()->index(0, 0), Qt::DisplayRole, offered)
                            .value(0)
                            .row());
        ok->click();
    });
    change->trigger();
    ASSERT_FALSE(offered.isEmpty());
    EXPECT_EQ(item->labelName, offered);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(QFileInfo::exists(item->label.picturePath));
}

// A label saved in the editor draws the plate's items that take their label
// automatically again.
TEST_F(LabelActionsTest, LabelEditorSavesAndTheItemsAreDrawnAgain) {
    CTesselDoc& doc = *frame->Document();
    const CZelItem* item = doc.ItemAt(0);
    ASSERT_TRUE(item->labelName.isEmpty());
    const QString picture = item->label.picturePath;
    ASSERT_TRUE(QFileInfo::exists(picture));
    const QDateTime old = QDateTime::currentDateTime().addDays(-1);
    {
        QFile file(picture);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(Action("labelEditorAction")->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    OnModal("labelEditorDialog", [](QWidget* editor) {
        OnModal("labelSaveDialog", [](QWidget* save) {
            save->findChild<QComboBox*>(QStringLiteral("labelName"))
                ->setEditText(QStringLiteral("시험 저장"));
            save->findChild<QPushButton*>(QStringLiteral("ok"))->click();
        });
        editor->findChild<QPushButton*>(QStringLiteral("save"))->click();
        editor->findChild<QPushButton*>(QStringLiteral("close"))->click();
    });
    Action("labelEditorAction")->trigger();
    QString presetDir;
    ASSERT_TRUE(shop.preference.GetPresetDir(presetDir));
    const QString saved = labelset::LabelPath(presetDir, QStringLiteral("시험 저장"));
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_GT(QFileInfo(picture).lastModified(), old);
    QFile::remove(saved);
}
