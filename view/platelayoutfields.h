#pragma once

#include "engine/plateproperties.h"

#include <array>

class CNumberEdit;
class QCheckBox;
class QComboBox;
class QGroupBox;

// The plate's layout as the plate settings and the plate property dialog show
// it: margins and cut-line margins by edge, grid spacing, and the arrangement.
// Four groups, each placed by the window that shows them.
class CPlateLayoutFields {
public:
    CPlateLayoutFields();

    void Show(const PlateProperties& p);
    // Writes the shown layout into p; the rest of p is left as it is.
    void Take(PlateProperties& p) const;

    QGroupBox* marginGroup;
    QGroupBox* cutMarginGroup;
    QGroupBox* gridGroup;
    QGroupBox* arrangementGroup;

    std::array<CNumberEdit*, 4> margin{};    // by PlateProperties::Edge
    std::array<CNumberEdit*, 4> cutMargin{}; // by PlateProperties::Edge
    CNumberEdit* gridWidth;
    CNumberEdit* gridHeight;
    QComboBox* arrangement;
    QCheckBox* maxJob;
};
