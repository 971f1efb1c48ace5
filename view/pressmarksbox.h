#pragma once

#include "engine/plateproperties.h"

#include <QStringList>
#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;

// Selects a combo's entry for a stored name. A name the shop no longer has
// stays as an entry of its own, so an untouched setting is kept.
void SelectStoredName(QComboBox* combo, const QString& name);

// The plate's press marks as the plate settings and the press settings show
// them: plate cut lines by edge, the eight colour bars with their preset and
// alignment, registration marks by edge with theirs.
class CPressMarksBox : public QWidget {
    Q_OBJECT
public:
    CPressMarksBox(const QStringList& colorBarNames, const QStringList& registrationMarkNames,
                   QWidget* parent = nullptr);

    void Show(const PlateProperties& p);
    // Writes the shown marks into p; the rest of p is left as it is.
    void Take(PlateProperties& p) const;

private:
    std::array<QCheckBox*, 4> m_plateCrop{};
    std::array<QCheckBox*, 8> m_colorBar{};
    QComboBox* m_colorBarName;
    QComboBox* m_colorBarAlign;
    std::array<QCheckBox*, 4> m_registrationMark{};
    QComboBox* m_registrationMarkName;
    QComboBox* m_registrationMarkAlign;
};
