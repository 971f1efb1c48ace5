#include "newplate.h"

#include "installation.h"

#include "records/zelaccount.h"
#include "records/zeldocumentpreset.h"

#include <QFileInfo>
#include <QStringList>

namespace {

// The site preset's plate type whose PAN or NAME is this text.
bool FindPlateType(CZelServerPreset& site, const QString& wanted, QString& pan, QString& name,
                   QStringList& known) {
    for (CMTItem* entry = site.FirstPanCode(); entry; entry = site.NextEntry(entry)) {
        QString entryPan, entryName;
        site.GetPanPrefix(entry, entryPan);
        site.GetName(entry, entryName);
        known << QStringLiteral("%1 (%2)").arg(entryPan, entryName);
        if (entryPan == wanted || entryName == wanted) {
            pan = entryPan;
            name = entryName;
            return true;
        }
    }
    return false;
}

QString UnknownPreset(const QString& presetName) {
    QStringList names;
    CZelDocumentPreset::ListPresets(names);
    return QStringLiteral("no document preset \"%1\" (known: %2)")
        .arg(presetName, names.join(QStringLiteral(", ")));
}

} // namespace

QString DefaultPresetName() {
    return QStringLiteral("[기본 프리셋]");
}

Result<PlateProperties> PresetPlateProperties(const QString& presetName) {
    PlateProperties properties = platecreation::DefaultProperties();
    const QString presetPath = CZelDocumentPreset::PathOf(presetName);
    if (QFileInfo::exists(presetPath)) {
        CZelDocumentPreset preset;
        // A preset read only in part would give a plate of default sizes.
        if (!preset.LoadWhole(presetPath, CZelDocumentPreset::kDocumentType))
            return Failure(preset.LastError());
        properties.ReadPlateKeys(preset);
    } else if (presetName != DefaultPresetName()) {
        return Failure(UnknownPreset(presetName));
    }
    const QString invalid = platecreation::Validate(properties);
    if (!invalid.isEmpty())
        return Failure(invalid);
    return properties;
}

Result<PreparedPlate> PrepareNewPlate(Installation& shop, const NewPlateRequest& request) {
    PreparedPlate plate;
    platecreation::Request& creation = plate.creation;
    QStringList known;
    if (!shop.site.IsLoaded() ||
        !FindPlateType(shop.site, request.plateType, creation.panPrefix, creation.panName, known))
        return Failure(QStringLiteral("no plate type \"%1\" in the site preset (known: %2)")
                           .arg(request.plateType, known.join(QStringLiteral(", "))));

    creation.properties = platecreation::DefaultProperties();
    const QString presetPath = CZelDocumentPreset::PathOf(request.presetName);
    if (QFileInfo::exists(presetPath)) {
        plate.preset = std::make_unique<CZelDocumentPreset>();
        // A preset read only in part would give a plate of default sizes.
        if (!plate.preset->LoadWhole(presetPath, CZelDocumentPreset::kDocumentType))
            return Failure(plate.preset->LastError());
        creation.properties.ReadPlateKeys(*plate.preset);
        creation.preset = plate.preset.get();
    } else if (request.presetName != DefaultPresetName()) {
        return Failure(UnknownPreset(request.presetName));
    }
    const QString invalid = platecreation::Validate(creation.properties);
    if (!invalid.isEmpty())
        return Failure(invalid);
    creation.presetName = request.presetName;
    creation.date = request.date;
    return plate;
}

Result<QString> CreatePlate(Installation& shop, CZelAccount& account, PreparedPlate& plate) {
    if (!account.IsLoggedIn())
        return Failure(QStringLiteral("nobody is logged in"));
    platecreation::Request& creation = plate.creation;
    account.GetAccountName(creation.account);
    account.GetRealName(creation.realName);
    account.GetInitial(creation.initials);
    return platecreation::CreatePlate(shop.preference, creation);
}
