#pragma once

#include "makepress.h"

#include "markup/result.h"

#include <QString>
#include <QStringList>

class CTesselDoc;
class CZelPressMarkPresets;

// The press files of one open plate, for the windows: made by a run, and
// written again under a name the operator chooses. Lives as long as the
// plate is open; a plate opened afresh starts with no press files made.
class PressOutput {
public:
    PressOutput(CTesselDoc& doc, const CZelPressMarkPresets* colorBars,
                const CZelPressMarkPresets* registrationMarks);

    // A whole make-press run. Its files for the press (side files, then the
    // press folder's), or the reason it stopped for the dialog to show. Only
    // a run that succeeds marks the press files made; one that fails
    // unmarks them, since it may have removed the side files.
    Result<QStringList> Make(const MakePressOptions& options);
    // Whether the last run made the side files ("save PDF under another
    // name" is offered only then).
    bool IsMade() const { return m_made; }
    // Made, and every side file still there (nobody removed one since).
    bool CanSaveAs() const;
    // Notes of the last run that did not stop it.
    const QStringList& Notes() const { return m_press.Notes(); }

    // Writes the plate's side files, merged into one file, to path: beside
    // it first, then renamed over it, as the press folder receives them, so
    // an existing file is kept when writing fails. Refused before a run has
    // made them, and for a path that is one of the side files.
    Result<QString> SaveAs(const QString& path);

private:
    CTesselDoc& m_doc;
    CMakePress m_press;
    bool m_made = false;
};
