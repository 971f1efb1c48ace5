#include "labeleditorfixture.h"

#include "labeleditor/labelselectdlg.h"
#include "labeleditor/lpreviewstatic.h"

#include "engine/zelitem.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>

using LabelSelectTest = LabelEditorTest;

// OK takes a label only when it fits the order's own size.
TEST_F(LabelSelectTest, OkOnlyForALabelThatFitsTheOrder) {
    MakeLabel(QStringLiteral("큰 90x50"), 90, 50);
    MakeLabel(QStringLiteral("중간 85x45"), 85, 45);
    MakeLabel(QStringLiteral("넓은 100x40"), 100, 40);
    MakeLabel(QStringLiteral("꼭 맞는 88x50"), 88, 50);
    CZelItem item;
    item.width = 88;
    item.height = 50;
    item.labelName = QStringLiteral("중간 85x45");
    CZelLabelSelectDlg dialog(PresetDir(), item);
    EXPECT_EQ(Find<QLabel>(&dialog, "itemSize")->text(), QStringLiteral("88 mm * 50 mm"));

    auto* list = Find<QTableView>(&dialog, "labelList");
    auto* ok = Find<QPushButton>(&dialog, "ok");
    auto* preview = Find<CLPreviewStatic>(&dialog, "labelPreview");
    const struct {
        const char16_t* name;
        const char16_t* size;
        bool fits;
    } rows[] = {
        // Largest area first.
        {u"큰 90x50", u"90 mm * 50 mm", false},
        {u"꼭 맞는 88x50", u"88 mm * 50 mm", true},
        {u"넓은 100x40", u"100 mm * 40 mm", false},
        {u"중간 85x45", u"85 mm * 45 mm", true},
    };
    ASSERT_EQ(list->model()->rowCount(), 4);
    // The item's own label is chosen at first.
    EXPECT_EQ(list->selectionModel()->selectedRows().value(0).row(), 3);
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(list->model()->index(row, 0).data().toString(),
                  QString::fromUtf16(rows[row].name));
        EXPECT_EQ(list->model()->index(row, 1).data().toString(),
                  QString::fromUtf16(rows[row].size));
        list->selectRow(row);
        EXPECT_EQ(ok->isEnabled(), rows[row].fits);
        EXPECT_FALSE(preview->Shown().isNull());
    }

    // A label too large cannot be taken, even by accept().
    list->selectRow(2);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    list->clearSelection();
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(preview->Shown().isNull());

    list->selectRow(1);
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.LabelName(), QStringLiteral("꼭 맞는 88x50"));
}

// The preview is the label at its size in pixels; the dialog never shrinks
// below the size it opened with.
TEST_F(LabelSelectTest, PreviewAtTheLabelsSizeAndTheDialogKeepsItsSize) {
    MakeLabel(QStringLiteral("명함"), 90, 50);
    CZelItem item;
    item.width = 90;
    item.height = 50;
    CZelLabelSelectDlg dialog(PresetDir(), item);
    auto* list = Find<QTableView>(&dialog, "labelList");
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
    list->selectRow(0);
    const QPixmap shown = Find<CLPreviewStatic>(&dialog, "labelPreview")->Shown();
    EXPECT_EQ(shown.size(), QSize(340, 189)); // 90 x 50 mm at 96 dpi
    EXPECT_EQ(dialog.minimumSize(), dialog.size());
}
