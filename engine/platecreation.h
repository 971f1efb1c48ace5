#pragma once

#include "plateproperties.h"

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
    QString panPrefix;  // the plate type's PAN
    QString panName;    // and its NAME
    QDate date;
    QString account;
    QString realName;
    QString initials;
};

// Issues a plate code, makes the work folder in LOCAL_WORK_DIR and writes the
// plate file beside it; up to 100 attempts. On success path is the new plate
// file; otherwise error says why (the operator's message when every attempt
// found its file taken).
bool CreatePlate(CZelPreference& preference, const Request& request, QString& path, QString* error = nullptr);

} // namespace platecreation
