#include "recordkinds.h"

#include "docpresettree.h"

#include <QFileInfo>
#include <QStringList>

const std::vector<RecordKind>& RecordKinds() {
    static const std::vector<RecordKind> kinds = {
        {QStringLiteral("tzdp"), QStringLiteral("document preset"), [] { return std::make_unique<CDocPresetTree>(); }},
        {QStringLiteral("tzmp"), QStringLiteral("imposition document"), [] { return std::make_unique<CDocumentTree>(); }},
    };
    return kinds;
}

const RecordKind* FindRecordKind(const QString& name) {
    for (const RecordKind& kind : RecordKinds()) {
        if (kind.name.compare(name, Qt::CaseInsensitive) == 0)
            return &kind;
    }
    return nullptr;
}

const RecordKind* RecordKindOfFile(const QString& path, const QString& named, QString* error) {
    QStringList known;
    for (const RecordKind& kind : RecordKinds())
        known << kind.name;
    if (!named.isEmpty()) {
        if (const RecordKind* kind = FindRecordKind(named))
            return kind;
        if (error)
            *error = QStringLiteral("unknown record kind \"%1\" (known: %2)").arg(named, known.join(QStringLiteral(", ")));
        return nullptr;
    }
    const QString extension = QFileInfo(path).suffix();
    if (const RecordKind* kind = FindRecordKind(extension))
        return kind;
    if (error)
        *error = QStringLiteral("%1: cannot tell the record kind from the extension; name it with --kind (%2)")
                     .arg(path, known.join(QStringLiteral(", ")));
    return nullptr;
}
