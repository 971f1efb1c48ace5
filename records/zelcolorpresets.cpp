#include "zelcolorpresets.h"

#include "colorpresettree.h"

#include "markup/durablefile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

bool NameLess(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

std::uint8_t Clamp(int value, int maximum) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, maximum));
}

} // namespace

QString CZelColorItem::SeparationNameOf(const QString& name) {
    QString text = name;
    text.replace(QLatin1Char('['), QLatin1Char(' '));
    text.replace(QLatin1Char(']'), QLatin1Char(' '));
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return QStringLiteral("+zelCmYkReg ") + text.mid(first, last - first) + QLatin1Char('+');
}

CZelColorPresets::CZelColorPresets() {
    AddColor(QStringLiteral(" [ Registration ]"), 100, 100, 100, 100, 0, 0, 0, 1);
    AddColor(QStringLiteral(" [ Black ]"), 0, 0, 0, 100, 0, 0, 0, 1);
    AddColor(QStringLiteral(" [ White ]"), 0, 0, 0, 0, 255, 255, 255, 1);
    AddColor(QStringLiteral(" [C=100 M=0 Y=0 K=0]"), 100, 0, 0, 0, 0, 174, 239, 1);
    AddColor(QStringLiteral(" [C=0 M=100 Y=0 K=0]"), 0, 100, 0, 0, 236, 0, 140, 1);
    AddColor(QStringLiteral(" [C=0 M=0 Y=100 K=0]"), 0, 0, 100, 0, 255, 242, 0, 1);
    AddColor(QStringLiteral(" [C=15 M=100 Y=100 K=0]"), 15, 100, 100, 0, 210, 35, 42, 1);
    AddColor(QStringLiteral(" [C=75 M=5 Y=100 K=0]"), 75, 5, 100, 0, 64, 174, 73, 1);
    AddColor(QStringLiteral(" [C=100 M=90 Y=10 K=0]"), 100, 90, 10, 0, 35, 64, 143, 1);
}

CZelColorPresets::~CZelColorPresets() {
    if (!m_path.isEmpty() && m_readWhole && Serialize() != m_savedBytes)
        Save();
}

bool CZelColorPresets::Load(const QString& stockPresetsFolder) {
    m_path = QDir(stockPresetsFolder).filePath(QLatin1String(kFileName));
    m_error.clear();
    const bool exists = QFileInfo::exists(m_path);
    CColorPresetTree tree;
    const int result = tree.LoadFile(m_path);
    CTzmpItem* root = result > 0 ? tree.GetRoot() : nullptr;
    if (!root) {
        m_error = result < 0 ? tree.LastFileError()
                             : QStringLiteral("%1: no colour presets in the file").arg(m_path);
        // Saving now would replace the shop's colours by none.
        m_readWhole = !exists;
        m_savedBytes = Serialize();
        return false;
    }
    // A file cut short loses the colours after the cut if written back.
    m_readWhole = tree.LastParseReport().complete;
    if (!m_readWhole)
        m_error = QStringLiteral("%1: %2; the file is kept as it is")
                      .arg(m_path, tree.LastParseReport().reason);
    auto number = [&tree](CMTItem* preset, const char* key) {
        const CTzmpItem* item = CTzmpTree::Typed(tree.FindChild(preset, key));
        return item ? item->Value().toInt() : 0;
    };
    for (CMTItem* preset = tree.FindChild(root, "COLOR_PRESET"); preset;
         preset = preset->NextSibling()) {
        const CTzmpItem* name = CTzmpTree::Typed(tree.FindChild(preset, "COLOR_NAME"));
        AddColor(name ? name->Value().toString() : QString(), number(preset, "C"),
                 number(preset, "M"), number(preset, "Y"), number(preset, "K"), number(preset, "R"),
                 number(preset, "G"), number(preset, "B"), 0);
    }
    m_savedBytes = Serialize();
    return true;
}

QByteArray CZelColorPresets::Serialize() const {
    CColorPresetTree tree;
    CTzmpItem* root = tree.SetHeader(QString::fromLatin1(kDocumentType));
    for (const auto& color : m_colors) {
        if (color->builtIn != 0)
            continue;
        CTzmpItem* preset = tree.CreateItem("COLOR_PRESET");
        tree.InsertItem(preset, root, CMarkupTree::Position::Last);
        tree.Value(preset, "COLOR_NAME") = color->name;
        tree.Value(preset, "COLOR_SPEC") = std::int32_t{0};
        const std::pair<const char*, std::uint8_t> values[] = {
            {"C", color->c}, {"M", color->m}, {"Y", color->y}, {"K", color->k},
            {"R", color->r}, {"G", color->g}, {"B", color->b}};
        for (const auto& [key, value] : values)
            tree.Value(preset, key) = static_cast<std::int32_t>(value);
    }
    return tree.Serialize();
}

bool CZelColorPresets::Save() {
    if (m_path.isEmpty())
        return false;
    const QByteArray bytes = Serialize();
    if (const Result<void> written = durablefile::Write(m_path, bytes); !written) {
        m_error = written.error();
        return false;
    }
    m_savedBytes = bytes;
    m_readWhole = true;
    return true;
}

int CZelColorPresets::AddColor(const QString& name, int c, int m, int y, int k, int r, int g, int b,
                               int builtIn) {
    auto color = std::make_unique<CZelColorItem>();
    color->name = name;
    color->separationName = CZelColorItem::SeparationNameOf(name);
    color->c = Clamp(c, 100);
    color->m = Clamp(m, 100);
    color->y = Clamp(y, 100);
    color->k = Clamp(k, 100);
    color->r = Clamp(r, 255);
    color->g = Clamp(g, 255);
    color->b = Clamp(b, 255);
    color->builtIn = builtIn;
    // After equal names, as appending and bubbling it down would place it.
    const auto at = std::upper_bound(
        m_colors.begin(), m_colors.end(), name,
        [](const QString& n, const auto& item) { return NameLess(n, item->name); });
    m_colors.insert(at, std::move(color));
    return Count();
}

const CZelColorItem* CZelColorPresets::FindColor(const QString& name) const {
    // Search in the order the array is kept in, then match exactly among
    // the names that differ only in case.
    auto it = std::lower_bound(
        m_colors.begin(), m_colors.end(), name,
        [](const auto& item, const QString& n) { return NameLess(item->name, n); });
    for (; it != m_colors.end() && !NameLess(name, (*it)->name); ++it) {
        if ((*it)->name == name)
            return it->get();
    }
    return nullptr;
}

const CZelColorItem* CZelColorPresets::Color(int index) const {
    return index >= 0 && index < Count() ? m_colors[static_cast<size_t>(index)].get() : nullptr;
}

const CZelColorItem* CZelColorPresets::White() const {
    return FindColor(QStringLiteral(" [ White ]"));
}
const CZelColorItem* CZelColorPresets::Black() const {
    return FindColor(QStringLiteral(" [ Black ]"));
}
const CZelColorItem* CZelColorPresets::Red() const {
    return FindColor(QStringLiteral(" [C=15 M=100 Y=100 K=0]"));
}
