#include "recordkinds.h"

#include "colorpresettree.h"
#include "docpresettree.h"
#include "jobtree.h"
#include "pancodetree.h"
#include "preferencetree.h"
#include "pressmarkpresettree.h"
#include "serverpresettree.h"
#include "usertree.h"

#include "labelpresettree.h"
#include "zelaccount.h"
#include "zelcolorpresets.h"
#include "zeldocumentpreset.h"
#include "zeljob.h"
#include "zelmtdocument.h"
#include "zelpancode.h"
#include "zelpreference.h"
#include "zelpressmarkpresets.h"
#include "zelserverpreset.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

const std::vector<RecordKind>& RecordKinds() {
    static const std::vector<RecordKind> kinds = {
        {QStringLiteral("tzdp"), QStringLiteral("document preset"),
         QLatin1String(CZelDocumentPreset::kDocumentType),
         [] { return std::make_unique<CDocPresetTree>(); }},
        {QStringLiteral("tzmp"), QStringLiteral("plate file"),
         QLatin1String(CZelMTDocument::kDocumentType),
         [] { return std::make_unique<CDocumentTree>(); }},
        {QStringLiteral("tzjob"), QStringLiteral("job ticket"),
         QLatin1String(CZelJob::kDocumentType), [] { return std::make_unique<CJobTree>(); }},
        {QStringLiteral("tzpr"), QStringLiteral("preference file"),
         QLatin1String(CZelPreference::kDocumentType),
         [] { return std::make_unique<CPreferenceTree>(); }},
        {QStringLiteral("tzsp"), QStringLiteral("site preset"),
         QLatin1String(CZelServerPreset::kDocumentType),
         [] { return std::make_unique<CServerPresetTree>(); }},
        {QStringLiteral("tzsp-labeldefs"), QStringLiteral("label definitions"),
         QLatin1String(CLabelDefTree::kDocumentType),
         [] { return std::make_unique<CLabelDefTree>(); }, QStringLiteral("tzsp")},
        {QStringLiteral("tzlp"), QStringLiteral("label"),
         QLatin1String(CLabelPresetTree::kDocumentType),
         [] { return std::make_unique<CLabelPresetTree>(); }},
        {QStringLiteral("tzpan"), QStringLiteral("plate code"),
         QLatin1String(CZelPanCode::kDocumentType),
         [] { return std::make_unique<CPanCodeTree>(); }},
        {QStringLiteral("tzst-color"), QStringLiteral("colour presets"),
         QLatin1String(CZelColorPresets::kDocumentType),
         [] { return std::make_unique<CColorPresetTree>(); }, QStringLiteral("tzst")},
        {QStringLiteral("tzst-mark"), QStringLiteral("colour bar or registration mark presets"),
         QLatin1String(CZelPressMarkPresets::kDocumentType),
         [] { return std::make_unique<CPressMarkPresetTree>(); }, QStringLiteral("tzst")},
        {QStringLiteral("tzuac"), QStringLiteral("user account"),
         QLatin1String(CZelAccount::kDocumentType), [] { return std::make_unique<CUserTree>(); }},
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

const RecordKind* RecordKindOfType(const QString& documentType) {
    for (const RecordKind& kind : RecordKinds()) {
        if (kind.documentType == documentType)
            return &kind;
    }
    return nullptr;
}

QString DocumentTypeOf(const QString& path) {
    CTzmpTree header;
    if (header.LoadFile(path) <= 0)
        return QString();
    const CTzmpItem* root = header.GetRoot();
    const CMTItem* item = root ? header.FindChild(root, "DOCUMENT_TYPE") : nullptr;
    return item ? CTzmpTree::Typed(item)->Value().toString() : QString();
}

QString WhatFileIs(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.read(1024).contains("%PDF-"))
        return QStringLiteral("PDF file");
    const QString type = DocumentTypeOf(path);
    if (type.isEmpty())
        return QString();
    if (const RecordKind* kind = RecordKindOfType(type))
        return kind->description;
    return QStringLiteral("DOCUMENT_TYPE \"%1\"").arg(type);
}

Result<const RecordKind*> RecordKindOfFile(const QString& path, const QString& named) {
    QStringList known;
    for (const RecordKind& kind : RecordKinds())
        known << kind.name;
    if (!named.isEmpty()) {
        if (const RecordKind* kind = FindRecordKind(named))
            return kind;
        return Failure(QStringLiteral("unknown record kind \"%1\" (known: %2)")
                           .arg(named, known.join(QStringLiteral(", "))));
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
        const QString type = DocumentTypeOf(path);
        for (const RecordKind* kind : candidates) {
            if (kind->documentType == type)
                return kind;
        }
        QStringList names;
        for (const RecordKind* kind : candidates)
            names << kind->name;
        return Failure(QStringLiteral("%1: the DOCUMENT_TYPE \"%2\" is none of the .%3 kinds; "
                                      "name one with --kind (%4)")
                           .arg(path, type, extension, names.join(QStringLiteral(", "))));
    }
    return Failure(
        QStringLiteral(
            "%1: cannot tell the record kind from the extension; name it with --kind (%2)")
            .arg(path, known.join(QStringLiteral(", "))));
}
