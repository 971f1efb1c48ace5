#pragma once

#include "engine/shopcontext.h"
#include "markup/result.h"
#include "pdfbinding/pdfserver.h"
#include "records/zelcolorpresets.h"
#include "records/zelpreference.h"
#include "records/zelpressmarkpresets.h"
#include "records/zelserverpreset.h"

class OperatorInterface;
class ProgressSink;

// The installation a session works on (the program's folder, --home or
// TESSEL_HOME): its preference file, the site preset, the colour and
// press-mark tables and the composition library beside the program. Owned by
// the front end for the whole run.
class Installation {
public:
    // Fails with the reason when the preference file is missing or invalid,
    // or (when asked for) the library cannot be loaded.
    Result<void> Load(bool withLibrary);

    CZelPreference preference;
    CZelServerPreset site;
    CZelColorPresets colors;
    CZelPressMarkPresets colorBars;
    CZelPressMarkPresets registrationMarks;
    CPDFServer pdf;

    // The plate's view of the shop: these tables, the library (when loaded)
    // and label previews drawn with it.
    ShopContext Context(OperatorInterface* op, ProgressSink* progress);
};
