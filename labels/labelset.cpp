#include "labelset.h"

#include "markup/cp949.h"
#include "records/filenames.h"
#include "records/labelpresettree.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace labelset {

QString LabelFolder(const QString& presetDir) {
    if (presetDir.isEmpty())
        return {};
    const QString folder = QDir(presetDir).filePath(QStringLiteral("Labels"));
    QDir().mkpath(folder);
    return folder;
}

QString LabelPath(const QString& presetDir, const QString& name) {
    const QString folder = LabelFolder(presetDir);
    if (folder.isEmpty() || !filenames::IsPlainName(name))
        return {};
    return QDir(folder).filePath(name + QLatin1Char('.') + QLatin1String(kExtension));
}

QString DefinitionsPath(const QString& presetDir) {
    return presetDir.isEmpty()
               ? QString()
               : QDir(presetDir).filePath(QStringLiteral("ZelLabelDefinesPreset.tzsp"));
}

int LoadAll(const QString& presetDir, std::vector<std::unique_ptr<CZelLabel>>& labels) {
    labels.clear();
    const QString folder = LabelFolder(presetDir);
    if (folder.isEmpty())
        return 0;
    const QFileInfoList files = QDir(folder).entryInfoList(
        {QStringLiteral("*.") + QLatin1String(kExtension)}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& file : files) {
        auto label = std::make_unique<CZelLabel>();
        if (!label->Load(file.filePath()).ok())
            continue; // an unreadable label is left out of the set
        label->name = file.completeBaseName();
        labels.push_back(std::move(label));
    }
    std::stable_sort(labels.begin(), labels.end(), [](const auto& a, const auto& b) {
        return a->Width() * a->Height() > b->Width() * b->Height();
    });
    return static_cast<int>(labels.size());
}

QString PickLabel(const std::vector<std::unique_ptr<CZelLabel>>& labels, double width,
                  double height) {
    for (const auto& label : labels)
        if (label->Width() == width && label->Height() == height)
            return label->name;
    for (const auto& label : labels)
        if (label->Width() <= width && label->Height() <= height)
            return label->name;
    return {};
}

QString PickLabel(const QString& presetDir, double width, double height) {
    std::vector<std::unique_ptr<CZelLabel>> labels;
    LoadAll(presetDir, labels);
    return PickLabel(labels, width, height);
}

bool ReadLabelSize(const QString& path, double& width, double& height) {
    CLabelPresetTree tree;
    if (tree.LoadFile(path) <= 0 || !tree.GetRoot())
        return false;
    CMTItem* label = tree.FindChild(tree.GetRoot(), "LABLE");
    if (!label)
        return false;
    if (!tree.FindChild(label, "WIDE") || !tree.FindChild(label, "HIGH"))
        return false;
    width = tree.Value(label, "WIDE").toDouble();
    height = tree.Value(label, "HIGH").toDouble();
    return CZelLabel::IsValidSize(width, height);
}

bool IsValidLabelName(const QString& name) {
    return filenames::IsValidSavedName(name, QString::fromLatin1(kExtension)) &&
           name != QStringView(kNewLabelEntry);
}

QString MemberPicturePath(const QString& presetDir, const QString& uid) {
    const QString folder = LabelFolder(presetDir);
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    if (filenames::IsPlainName(uid)) {
        const QString own = dir.filePath(uid + QStringLiteral(".jpg"));
        if (QFileInfo(own).isFile())
            return own;
    }
    const QString fallback = dir.filePath(QStringLiteral("Default_UID.jpg"));
    return QFileInfo(fallback).isFile() ? fallback : QString();
}

Result<std::vector<std::pair<QString, QString>>> LoadDefinitions(const QString& presetDir) {
    const QString path = DefinitionsPath(presetDir);
    CLabelDefTree tree;
    if (path.isEmpty() || tree.LoadFile(path) <= 0 || !tree.GetRoot())
        return Failure(path.isEmpty() ? QStringLiteral("no preset folder is set")
                                      : tree.LastFileError());
    CMTItem* list = tree.FindChild(tree.GetRoot(), "LABEL_DEFINATIONS");
    if (!list)
        return Failure(QStringLiteral("%1: no \"LABEL_DEFINATIONS\" element").arg(path));
    std::vector<std::pair<QString, QString>> definitions;
    for (CMTItem* entry = list->FirstChild(); entry; entry = entry->NextSibling())
        definitions.emplace_back(cp949::ToUnicode(entry->Name()),
                                 CTzmpTree::Typed(entry)->Value().toString());
    return definitions;
}

} // namespace labelset
