#include "recordkinds.h"

#include "colorpresettree.h"
#include "docpresettree.h"
#include "jobtree.h"
#include "pancodetree.h"
#include "preferencetree.h"
#include "pressmarkpresettree.h"
#include "serverpresettree.h"
#include "usertree.h"

#include <QFileInfo>
#include <QStringList>

const std::vector<RecordKind>& RecordKinds() {
    static const std::vector<RecordKind> kinds = {
        {QStringLiteral("tzdp"), QStringLiteral("document preset"),
         [] { return std::make_unique<CDocPresetTree>(); }},
        {QStringLiteral("tzmp"), QStringLiteral("imposition document"),
         [] { return std::make_unique<CDocumentTree>(); }},
        {QStringLiteral("tzjob"), QStringLiteral("job ticket"),
         [] { return std::make_unique<CJobTree>(); }},
        {QStringLiteral("tzpr"), QStringLiteral("preference file"),
         [] { return std::make_unique<CPreferenceTree>(); }},
        {QStringLiteral("tzsp"), QStringLiteral("site preset"),
         [] { return std::make_unique<CServerPresetTree>(); }},
        {QStringLiteral("tzpan"), QStringLiteral("plate code"),
         [] { return std::make_unique<CPanCodeTree>(); }},
        {QStringLiteral("tzst-color"), QStringLiteral("colour presets"),
         [] { return std::make_unique<CColorPresetTree>(); }, QStringLiteral("tzst"),
         QStringLiteral("Tessel Color Presets")},
        {QStringLiteral("tzst-mark"), QStringLiteral("colour bar or registration mark presets"),
         [] { return std::make_unique<CPressMarkPresetTree>(); }, QStringLiteral("tzst"),
         QStringLiteral("Tessel Press Mark Presets")},
        {QStringLiteral("tzuac"), QStringLiteral("user account"),
         [] { return std::make_unique<CUserTree>(); }},
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
            *error = QStringLiteral("unknown record kind \"%1\" (known: %2)")
                         .arg(named, known.join(QStringLiteral(", ")));
        return nullptr;
    }
    const QString extension = QFileInfo(path).suffix();
    std::vector<const RecordKind*> candidates;
    for (const RecordKind& kind : RecordKinds()) {
        if (kind.Extension().compare(extension, Qt::CaseInsensitive) == 0)
            candidates.push_back(&kind);
    }
    if (candidates.size() == 1)
        return candidates.front();
    if (candidates.size() > 1) {
        // Kinds sharing an extension differ in their header.
        CTzmpTree header;
        QString type;
        if (header.LoadFile(path) > 0) {
            if (CTzmpItem* root = header.GetRoot()) {
                if (CMTItem* item = header.FindChild(root, "DOCUMENT_TYPE"))
                    type = CTzmpTree::Typed(item)->Value().toString();
            }
        }
        for (const RecordKind* kind : candidates) {
            if (kind->documentType == type)
                return kind;
        }
        QStringList names;
        for (const RecordKind* kind : candidates)
            names << kind->name;
        if (error)
            *error = QStringLiteral("%1: the DOCUMENT_TYPE \"%2\" is none of the .%3 kinds; name "
                                    "one with --kind (%4)")
                         .arg(path, type, extension, names.join(QStringLiteral(", ")));
        return nullptr;
    }
    if (error)
        *error = QStringLiteral(
                     "%1: cannot tell the record kind from the extension; name it with --kind (%2)")
                     .arg(path, known.join(QStringLiteral(", ")));
    return nullptr;
}
