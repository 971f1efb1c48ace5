#pragma once

#include "plateproperties.h"

#include "markup/result.h"

#include <QDate>
#include <QString>

class CZelDocumentPreset;
class CZelPreference;

// Making a new plate: the new-plate dialog's starting values and checks, and
// the creation of the plate file with a freshly issued plate code.
namespace platecreation {

// The values the new-plate dialog starts from (the default preset's).
PlateProperties DefaultProperties();

// The first rule the values break, as the operator reads it; empty when
// they are fine.
QString Validate(const PlateProperties& properties);

struct Request {
    PlateProperties properties; // the plate's settings (from a preset or the dialog)
    QString presetName;
    CZelDocumentPreset* preset = nullptr; // whose free lines the plate takes; may be null
    QString panPrefix;                    // the plate type's PAN
    QString panName;                      // and its NAME
    QDate date;
    QString account;
    QString realName;
    QString initials;
};

// Why a plate could not be made, so that the dialog shows a fixed text.
enum class CreationFailure {
    None,
    NoLocalWorkFolder, // LOCAL_WORK_DIR is not set or not a folder
    NoCodeIssued,      // no plate code: the code folder cannot be made, all 999
                       // codes of the day are taken, or a code file cannot be written
    FileTaken,         // every code tried found its plate file or work folder taken
    WriteFailed,       // the work folder or the plate file cannot be written
};
// The operator's text for a failure; path is the plate file concerned.
QString FailureText(CreationFailure kind, const QString& path = QString());

// PRESS_QUANTITYSTR of a new plate: the whole quantity as "%d", one decimal
// when it has a fraction (2.5 reams read "2.5", not "2").
QString PressQuantityText(double quantity);

// Issues a plate code, makes the work folder in LOCAL_WORK_DIR and writes the
// plate file beside it. Only a code whose plate file or work folder another
// run already holds is given up for the next one (up to 100 times); any other
// failure stops at once. The new plate file's path, or the operator's text
// with the reason after it; kind, when given, says which failure it was.
Result<QString> CreatePlate(CZelPreference& preference, const Request& request,
                            CreationFailure* kind = nullptr);

} // namespace platecreation
