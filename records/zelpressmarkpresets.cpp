#include "zelpressmarkpresets.h"

#include "pressmarkpresettree.h"
#include "zelpreference.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// Names written by Windows workstations separate folders with "\".
QString RelativePath(QString name) {
    return name.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QSize DecodedSize(const QString& path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    return image.isNull() ? QSize() : image.size();
}

} // namespace

bool CZelPressMarkPresets::Load(const QString& folder, const QString& fileName) {
    m_folder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    m_path = m_folder + fileName;
    m_error.clear();
    m_marks.clear();
    CPressMarkPresetTree tree;
    const int result = tree.LoadFile(m_path);
    CTzmpItem* root = result > 0 ? tree.GetRoot() : nullptr;
    if (!root) {
        m_error = result < 0 ? tree.LastFileError()
                             : QStringLiteral("%1: no press marks in the file").arg(m_path);
        return false;
    }
    if (!tree.LastParseReport().complete)
        m_error = QStringLiteral("%1: %2").arg(m_path, tree.LastParseReport().reason);
    auto text = [&tree](CMTItem* mark, const char* key) {
        const CTzmpItem* item = CTzmpTree::Typed(tree.FindChild(mark, key));
        return item ? item->Value().toString() : QString();
    };
    auto number = [&tree](CMTItem* mark, const char* key) {
        const CTzmpItem* item = CTzmpTree::Typed(tree.FindChild(mark, key));
        return item ? item->Value().toDouble() : 0.0;
    };
    for (CMTItem* mark = tree.FindChild(root, "PRESS_MARK"); mark; mark = mark->NextSibling()) {
        auto item = std::make_unique<CZelPressMarkItem>();
        item->name = text(mark, "MARK_NAME");
        item->mediaPath = m_folder + RelativePath(text(mark, "MEDIA_FILE"));
        item->previewPath = m_folder + RelativePath(text(mark, "PREVIEW_FILE"));
        item->width = number(mark, "MEDIA_WIDE");
        item->height = number(mark, "MEDIA_HIGH");
        if (!QFileInfo(item->previewPath).isFile())
            continue;
        item->previewSize = DecodedSize(item->previewPath);
        m_marks.push_back(std::move(item));
    }
    return true;
}

bool CZelPressMarkPresets::LoadFrom(CZelPreference& preference, const char* folderName,
                                    const char* fileName) {
    QString folder;
    if (!preference.GetPresetFolder(QLatin1String(folderName), folder)) {
        m_error = QStringLiteral("PRESET_DIR/%1 cannot be made").arg(QLatin1String(folderName));
        return false;
    }
    return Load(folder, QLatin1String(fileName));
}

bool CZelPressMarkPresets::LoadColorBars(CZelPreference& preference) {
    return LoadFrom(preference, kColorBarFolder, kColorBarFile);
}

bool CZelPressMarkPresets::LoadRegistrationMarks(CZelPreference& preference) {
    return LoadFrom(preference, kRegMarkFolder, kRegMarkFile);
}

const CZelPressMarkItem* CZelPressMarkPresets::Mark(int index) const {
    return index >= 0 && index < Count() ? m_marks[static_cast<size_t>(index)].get() : nullptr;
}

QString CZelPressMarkPresets::Name(int index) const {
    const CZelPressMarkItem* mark = Mark(index);
    return mark ? mark->name : QString();
}

const CZelPressMarkItem* CZelPressMarkPresets::FindPressMark(const QString& name,
                                                             int* index) const {
    for (int i = 0; i < Count(); ++i) {
        if (m_marks[static_cast<size_t>(i)]->name == name) {
            if (index)
                *index = i;
            return m_marks[static_cast<size_t>(i)].get();
        }
    }
    return nullptr;
}

QStringList CZelPressMarkPresets::Names() const {
    QStringList names;
    for (int i = 0; i < Count(); ++i)
        names << Name(i);
    return names;
}
