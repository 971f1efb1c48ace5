#pragma once

#include "engine/platecreation.h"
#include "markup/result.h"
#include "records/zeldocumentpreset.h"

#include <QDate>
#include <QString>

#include <memory>

class CZelAccount;
class Installation;

// A new plate from a document preset (or "[기본 프리셋]", the built-in
// defaults) and a plate type of the site preset, for the logged-in account.
struct NewPlateRequest {
    QString presetName;
    QString plateType; // the type's PAN or NAME
    QDate date;
};

// The name of the built-in preset, which needs no file.
QString DefaultPresetName();

// The plate settings of a document preset read whole (the built-in defaults
// for DefaultPresetName()), or why there are none.
Result<PlateProperties> PresetPlateProperties(const QString& presetName);

// A request checked against the shop: the plate type found, the preset read
// whole and its values valid. Made before anyone logs in, so a bad request
// touches no account.
struct PreparedPlate {
    platecreation::Request creation;
    std::unique_ptr<CZelDocumentPreset> preset; // the preset the plate takes its lines from
};
Result<PreparedPlate> PrepareNewPlate(Installation& shop, const NewPlateRequest& request);

// Creates the plate file with a fresh plate code for the account (logged
// in); its path, or why not.
Result<QString> CreatePlate(Installation& shop, CZelAccount& account, PreparedPlate& plate);
