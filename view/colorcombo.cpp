#include "colorcombo.h"

#include "engine/platechecks.h"
#include "records/zelcolorpresets.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>

#include <algorithm>

namespace {

QStringList PresetNames(const CZelColorPresets* colors) {
    QStringList names;
    for (int i = 0; colors && i < colors->Count(); ++i)
        names << colors->Color(i)->name;
    return names;
}

} // namespace

CColorCombo::CColorCombo(const CZelColorPresets* colors, QWidget* parent)
    : QComboBox(parent), m_colors(colors) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(14);
    Fill(PresetNames(colors));
}

void CColorCombo::Fill(const QStringList& names) {
    const QSignalBlocker blocker(this);
    clear();
    for (const QString& name : names)
        addItem(Swatch(ScreenColor(m_colors, name)), name);
}

void CColorCombo::SelectName(const QString& name, const QString& fallback) {
    const platechecks::ColourEntries entries =
        platechecks::ColourComboEntries(PresetNames(m_colors), name, fallback);
    const QSignalBlocker blocker(this);
    if (entries.names.size() != count())
        Fill(entries.names);
    setCurrentIndex(entries.index);
}

QString CColorCombo::ColorName() const {
    return currentIndex() < 0 ? QString() : currentText();
}

QColor CColorCombo::Color() const {
    return currentIndex() < 0 ? QColor(Qt::white) : ScreenColor(m_colors, currentText());
}

QIcon CColorCombo::Swatch(const QColor& colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

QColor CColorCombo::ScreenColor(const CZelColorPresets* colors, const QString& name,
                                const QColor& fallback) {
    const CZelColorItem* item = colors ? colors->FindColor(name) : nullptr;
    return item ? QColor(item->r, item->g, item->b) : fallback;
}

void CColorCombo::showPopup() {
    // The list is as wide as the longest name with its swatch.
    int widest = width();
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest,
                          fontMetrics().horizontalAdvance(itemText(i)) + iconSize().width() + 18);
    view()->setMinimumWidth(widest);
    QComboBox::showPopup();
}
