#pragma once

#include <QColor>
#include <QComboBox>
#include <QIcon>

class CZelColorPresets;

// A combo of the shop's colour presets, each entry with a swatch of its
// colour. A stored name that is no preset any more stays as an entry of its
// own, so an untouched setting keeps its value.
class CColorCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CColorCombo(const CZelColorPresets* colors, QWidget* parent = nullptr);

    // Chooses the entry of exactly this name; an empty name chooses the
    // fallback preset (or the first entry). Fires no edit handler.
    void SelectName(const QString& name, const QString& fallback = QString());
    // The chosen name; empty when nothing is chosen.
    QString ColorName() const;
    // The chosen colour on screen; white when nothing is chosen.
    QColor Color() const;

    // A swatch of a colour, as the colour lists show it.
    static QIcon Swatch(const QColor& colour);
    // A preset's colour on screen; fallback when there is no such preset.
    static QColor ScreenColor(const CZelColorPresets* colors, const QString& name,
                              const QColor& fallback = Qt::white);

protected:
    void showPopup() override;

private:
    void Fill(const QStringList& names);

    const CZelColorPresets* m_colors;
};
