#include "colorselectdlg.h"

#include "colorcombo.h"
#include "controlnames.h"

#include "records/zelcolorpresets.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CColorSelectDlg::CColorSelectDlg(const CZelColorPresets& colors, const QString& chosen,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("colorSelectDialog"));
    setWindowTitle(QStringLiteral("컬러 선택"));
    setAccessibleName(windowTitle());
    m_list = Named(new QListWidget, "colorList", QStringLiteral("컬러 목록"));
    m_list->setIconSize(QSize(14, 14));
    for (int i = 0; i < colors.Count(); ++i) {
        const CZelColorItem* colour = colors.Color(i);
        m_list->addItem(new QListWidgetItem(
            CColorCombo::Swatch(QColor(colour->r, colour->g, colour->b)), colour->name));
    }
    const QList<QListWidgetItem*> found = m_list->findItems(chosen, Qt::MatchExactly);
    m_list->setCurrentRow(found.isEmpty() ? 0 : m_list->row(found.first()));
    auto* buttons = OkCancelButtons(this);
    auto enable = [this, buttons] {
        buttons->findChild<QPushButton*>(QStringLiteral("ok"))
            ->setEnabled(m_list->currentItem() != nullptr);
    };
    connect(m_list, &QListWidget::currentRowChanged, this, enable);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    enable();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(300, 360);
}

QString CColorSelectDlg::ColorName() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->text() : QString();
}
