#include "presetsaving.h"

#include "records/filenames.h"
#include "records/zeldocumentpreset.h"

#include <QFileInfo>

namespace presetsaving {

Result<QString> SaveDocumentPreset(const PlateProperties& properties, const QString& name) {
    if (!filenames::IsValidPresetName(name))
        return Failure(filenames::InvalidNameMessage(name));
    const QString path = CZelDocumentPreset::PathOf(name);
    if (path.isEmpty())
        return Failure(QStringLiteral("the document preset folder is not available"));

    CZelDocumentPreset preset;
    preset.BuildStructure();
    if (QFileInfo::exists(path)) {
        CZelDocumentPreset replaced;
        if (!replaced.LoadWhole(path, CZelDocumentPreset::kDocumentType))
            return Failure(QStringLiteral("프리셋 \"%1\"을(를) 읽을 수 없어 바꾸지 않았습니다.\n%2")
                               .arg(name, replaced.LastError()));
        preset.CopyLines(replaced);
    }
    preset.Name() = name;
    properties.WritePlateKeys(preset);
    if (!preset.Save(path))
        return Failure(preset.LastError());
    return path;
}

} // namespace presetsaving
