#pragma once

#include <QString>

// Names that come from a file's content (an order number, an account, a
// picture name) and become part of a path: they must name one entry inside
// the folder they are joined to, never lead out of it.
namespace filenames {

// Not empty, not "." or "..", no "/" or "\", no drive ("C:"), no NUL.
bool IsPlainName(const QString& name);

// CON, PRN, AUX, NUL, COM1-9 or LPT1-9 before the first dot (trailing blanks
// ignored), in any case: a Windows workstation opening such a file on the
// share would reach the device instead.
bool IsWindowsDeviceName(const QString& name);

// A name the operator gives a file that other workstations share (a
// document preset, a label): not empty; no tab, space or dot at either end;
// none of " * / : < > ? \ | and no control character; no device name; the
// file name with its extension within 255 bytes; and text the record files'
// code page can carry.
bool IsValidSavedName(const QString& name, const QString& extension);
// The operator's message for a name refused by IsValidSavedName.
QString InvalidNameMessage(const QString& name);

// Document presets are saved as "<name>.tzdp" in the preset folder.
inline bool IsValidPresetName(const QString& name) {
    return IsValidSavedName(name, QStringLiteral("tzdp"));
}

} // namespace filenames
