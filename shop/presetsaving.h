#pragma once

#include "engine/plateproperties.h"
#include "markup/result.h"

#include <QString>

// Saving the new-plate dialog's values as a named document preset.
namespace presetsaving {

// Writes the settings as the preset of this name in the document preset
// folder; its path, or why not. A preset it replaces keeps its free lines
// (the dialog has none to give); one that cannot be read whole is not
// replaced, since its lines would be lost. An invalid name is refused with
// the operator's message.
Result<QString> SaveDocumentPreset(const PlateProperties& properties, const QString& name);

} // namespace presetsaving
