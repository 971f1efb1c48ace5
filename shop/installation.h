#pragma once

#include "engine/shopcontext.h"
#include "markup/result.h"
#include "pdfbinding/pdfserver.h"
#include "records/zelcolorpresets.h"
#include "records/zelpreference.h"
#include "records/zelpressmarkpresets.h"
#include "records/zelserverpreset.h"

#include <QStringList>

class OperatorInterface;
class ProgressSink;

// The installation a session works on (the program's folder, --home or
// TESSEL_HOME): its preference file, the site preset, the colour and
// press-mark tables and the composition library beside the program. Owned by
// the front end for the whole run.
class Installation {
public:
    // All of the below in order: what a command needs.
    // Fails with the reason when the preference file is missing or invalid,
    // or (when asked for) the library cannot be loaded.
    // A record file that was read only in part is kept as it is and named in
    // notes with the reason, for the front end to show.
    Result<void> Load(bool withLibrary);

    // The preference file, read and checked; fails with the reason.
    Result<void> LoadPreference();
    // The colour table (the built-in colours serve without a file).
    void LoadColors();
    // The site preset from PRESET_DIR; false when it cannot be read.
    bool LoadSitePreset();
    // The colour-bar and registration-mark tables from PRESET_DIR.
    void LoadPressMarks();
    // The composition library beside the program; fails with the reason.
    Result<void> LoadLibrary();

    CZelPreference preference;
    CZelServerPreset site;
    CZelColorPresets colors;
    CZelPressMarkPresets colorBars;
    CZelPressMarkPresets registrationMarks;
    CPDFServer pdf;
    // What the last Load could not read whole (each file is left as it was).
    QStringList notes;

    // The plate's view of the shop: these tables, the library (when loaded)
    // and label previews drawn with it.
    ShopContext Context(OperatorInterface* op, ProgressSink* progress);
};
