#pragma once

#include <QString>

// The installation folder that holds "Preferences" and "Presets". It is the
// executable's folder unless --home or TESSEL_HOME names another one (for
// installs whose program folder is read-only).
namespace programfolder {

// Sets the folder explicitly (from --home); an empty path restores the default.
void SetHome(const QString& path);
// The explicit folder, else TESSEL_HOME, else the executable's folder.
QString Home();

QString PresetsFolder();         // Home/Presets
QString DocumentPresetsFolder(); // Home/Presets/Document Presets
QString StockPresetsFolder();    // Home/Presets/Stock Presets
QString PreferencesFolder();     // Home/Preferences

} // namespace programfolder
