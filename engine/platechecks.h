#pragma once

#include "furniture.h"
#include "plateproperties.h"

#include <QString>
#include <QStringList>

#include <array>

#include <vector>

// The checks the plate's dialogs make before they hand values to the plate:
// plate settings, free lines and text boxes. Each answers from its inputs
// alone, so every dialog and the command line agree.
namespace platechecks {

// The plate settings the properties and new-plate dialogs share: margins,
// grid and cut margins not negative, and margins that leave room on the
// layout area (half the sheet, with no inner margin, on a split
// work-and-turn plate). The first rule broken, as the operator reads it;
// empty when the settings are fine.
QString ValidateLayout(const PlateProperties& properties);

// The turn method (IMPOSITION) may be changed only on a double-sided plate:
// on a work-and-turn plate it decides the layout area under placed items,
// and a single-sided plate has none.
bool TurnMethodEditable(int paperSideSetting);

// The own cut line dialog's values: with any mark on, margins not negative
// and at most a quarter of the grid the dialog was opened with (92 x 52 mm
// unless told otherwise). Empty when fine; with every mark off there is
// nothing to check.
QString ValidateOwnCut(const std::array<double, 4>& margins, const std::array<int, 8>& marks,
                       double gridWidth = 92.0, double gridHeight = 52.0);

// A free line lies on the plate: weight above 0, offset inside the plate
// across the line, start before end and both along the plate.
bool IsValidLine(const FreeLine& line, double plateWidth, double plateHeight);

// A text box has a size and lies, as turned, inside the plate.
bool IsValidTextBox(const TextBox& box, double plateWidth, double plateHeight);
// Whether another box of the list already has every field but the name
// (which the plate gives each box itself) equal to this one.
bool IsDuplicateTextBox(const TextBox& box, const std::vector<TextBox>& boxes);

// The entries of a colour combo for a stored colour name: the presets, and
// the stored name after them when no preset has it any more, so that the
// value stays as it is unless the operator picks another. An empty stored
// name selects the fallback preset (or the first).
struct ColourEntries {
    QStringList names;
    int index = -1; // -1 only when there is nothing to choose
};
ColourEntries ColourComboEntries(const QStringList& presetNames, const QString& stored,
                                 const QString& fallback = QString());

} // namespace platechecks
