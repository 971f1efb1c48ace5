#include "plateservices.h"

#include "commandline.h"
#include "installation.h"

#include "engine/platecreation.h"
#include "engine/tesseldoc.h"
#include "records/zeldocumentpreset.h"
#include "records/zeljob.h"

#include <QDir>
#include <QFileInfo>

namespace plateservices {

namespace {

bool SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

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

} // namespace

QString DefaultPresetName() {
    return QStringLiteral("[기본 프리셋]");
}

bool CheckPlateType(Installation& shop, const QString& plateType, QString* error) {
    QString pan, name;
    QStringList known;
    if (!shop.site.IsLoaded() || !FindPlateType(shop.site, plateType, pan, name, known))
        return SetError(error, QStringLiteral("no plate type \"%1\" in the site preset (known: %2)")
                                   .arg(plateType, known.join(QStringLiteral(", "))));
    return true;
}

bool ReadPresetProperties(const QString& presetName, PlateProperties& properties, QString* error) {
    CZelDocumentPreset preset;
    properties = platecreation::DefaultProperties();
    const QString presetPath = CZelDocumentPreset::PathOf(presetName);
    if (QFileInfo::exists(presetPath)) {
        // A preset read only in part would give a plate of default sizes.
        if (!preset.LoadWhole(presetPath, CZelDocumentPreset::kDocumentType))
            return SetError(error, preset.LastError());
        properties.ReadPlateKeys(preset);
    } else if (presetName != DefaultPresetName()) {
        QStringList names;
        CZelDocumentPreset::ListPresets(names);
        return SetError(error, QStringLiteral("no document preset \"%1\" (known: %2)")
                                   .arg(presetName, names.join(QStringLiteral(", "))));
    }
    const QString invalid = platecreation::Validate(properties);
    if (!invalid.isEmpty())
        return SetError(error, invalid);
    return true;
}

bool CreatePlate(Installation& shop, const CliLogin& login, const QString& presetName,
                 const QString& plateType, const QDate& date, int pressCount, QString& path,
                 QString* error) {
    platecreation::Request request;
    QStringList known;
    if (!shop.site.IsLoaded() ||
        !FindPlateType(shop.site, plateType, request.panPrefix, request.panName, known))
        return SetError(error, QStringLiteral("no plate type \"%1\" in the site preset (known: %2)")
                                   .arg(plateType, known.join(QStringLiteral(", "))));
    CZelDocumentPreset preset;
    request.properties = platecreation::DefaultProperties();
    const QString presetPath = CZelDocumentPreset::PathOf(presetName);
    if (QFileInfo::exists(presetPath)) {
        if (!preset.LoadWhole(presetPath, CZelDocumentPreset::kDocumentType))
            return SetError(error, preset.LastError());
        request.properties.ReadPlateKeys(preset);
        request.preset = &preset;
    } else if (presetName != DefaultPresetName()) {
        return SetError(error, QStringLiteral("no document preset \"%1\"").arg(presetName));
    }
    if (pressCount > 0) {
        // The plate runs this many sheets; its quantity says the same.
        request.properties.pressCount = pressCount;
        request.properties.quantity =
            request.properties.pressUnit ? pressCount / 500.0 : static_cast<double>(pressCount);
    }
    const QString invalid = platecreation::Validate(request.properties);
    if (!invalid.isEmpty())
        return SetError(error, invalid);
    request.presetName = presetName;
    request.date = date;
    login.Account()->GetAccountName(request.account);
    login.Account()->GetRealName(request.realName);
    login.Account()->GetInitial(request.initials);
    return platecreation::CreatePlate(shop.preference, request, path, error);
}

QStringList TicketsOf(const QStringList& sources, QString& error) {
    QStringList tickets;
    for (const QString& source : sources) {
        const QFileInfo info(source);
        if (info.isDir()) {
            const QFileInfoList files =
                QDir(source).entryInfoList({QStringLiteral("*.tzjob")}, QDir::Files, QDir::Name);
            for (const QFileInfo& file : files)
                tickets << file.absoluteFilePath();
        } else if (info.isFile()) {
            tickets << info.absoluteFilePath();
        } else {
            error = QStringLiteral("%1: no such ticket or folder").arg(source);
            return {};
        }
    }
    return tickets;
}

CTesselDoc::DropResult TakeOrders(CTesselDoc& doc, const QStringList& tickets, double x, double y,
                                  bool oneCopy, std::vector<std::unique_ptr<CZelJob>>& jobs) {
    // Taking orders onto the plate moves their tickets into its progress folder.
    std::vector<CZelJob*> orders;
    for (const QString& ticket : tickets) {
        auto job = std::make_unique<CZelJob>(ticket);
        if (!job->IsValid() || !job->MoveTo(doc.ProgressFolder())) {
            PrintWarning(QStringLiteral("%1: %2").arg(ticket, job->LastError()));
            continue;
        }
        orders.push_back(job.get());
        jobs.push_back(std::move(job));
    }
    return doc.DropOrders(orders, x, y, oneCopy);
}

void ReturnTaken(CTesselDoc& doc, const std::vector<std::unique_ptr<CZelJob>>& jobs) {
    const QString progressFolder = QFileInfo(doc.ProgressFolder()).absoluteFilePath();
    for (const auto& job : jobs)
        if (QFileInfo(job->Path()).absolutePath() == progressFolder)
            doc.ReturnTicket(*job);
}

} // namespace plateservices
