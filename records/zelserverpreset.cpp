#include "zelserverpreset.h"

#include <QDir>

CZelServerPreset::CZelServerPreset() = default;

bool CZelServerPreset::Load(const QString& presetFolder) {
    const QString path = QDir(presetFolder).filePath(QLatin1String(kFileName));
    m_error.clear();
    const int result = m_tree.LoadFile(path);
    if (result < 0) {
        m_error = m_tree.LastFileError();
        return false; // the tree and its references are as they were
    }
    // The read has replaced the tree: bind every reference again.
    m_root = m_tree.GetRoot();
    m_loaded = m_root != nullptr;
    if (!m_loaded) {
        m_error = QStringLiteral("%1: no site preset in the file").arg(path);
        m_root = m_tree.GetOrAddChild(nullptr, CTzmpTree::kRootName);
    } else if (!m_tree.LastParseReport().complete) {
        m_error = QStringLiteral("%1: %2").arg(path, m_tree.LastParseReport().reason);
    }
    m_userInfo = m_tree.GetOrAddChild(m_root, "USER_INFO");
    m_internetServer = m_tree.GetOrAddChild(m_root, "INTERNET_SERVER");
    m_productTypes = m_tree.GetOrAddChild(m_root, "PRODUCT_TYPE_LIST");
    m_panAfterWorks = m_tree.GetOrAddChild(m_root, "PAN_AFTER_WORK_LIST");
    m_paperTypes = m_tree.GetOrAddChild(m_root, "PAPER_TYPE_LIST");
    m_paperSizes = m_tree.GetOrAddChild(m_root, "PAPER_SIZE_LIST");
    m_panCodes = m_tree.GetOrAddChild(m_root, "PAN_CODE_LIST");
    return m_loaded;
}

bool CZelServerPreset::SectionText(const CMTItem* parent, const char* key, QString& text) const {
    if (!m_loaded || !parent)
        return false;
    const CTzmpItem* item = CTzmpTree::Typed(m_tree.FindChild(parent, key));
    if (!item)
        return false;
    text = item->Value().toString();
    return true;
}

bool CZelServerPreset::GetCode(const CMTItem* entry, int& code) const {
    if (!m_loaded || !entry)
        return false;
    const CTzmpItem* item = CTzmpTree::Typed(m_tree.FindChild(entry, "CODE"));
    if (!item)
        return false;
    code = item->Value().toInt();
    return true;
}

bool CZelServerPreset::GetPaperSize(const CMTItem* entry, double& width, double& height) const {
    if (!m_loaded || !entry)
        return false;
    const CTzmpItem* w = CTzmpTree::Typed(m_tree.FindChild(entry, "WIDTH"));
    const CTzmpItem* h = CTzmpTree::Typed(m_tree.FindChild(entry, "HEIGHT"));
    if (!w || !h)
        return false;
    width = w->Value().toDouble();
    height = h->Value().toDouble();
    return true;
}

CMTItem* CZelServerPreset::FindPaperSize(double width, double height, int* index) const {
    int i = 0;
    for (CMTItem* entry = FirstPaperSize(); entry; entry = entry->NextSibling(), ++i) {
        double w = 0.0;
        double h = 0.0;
        if (!GetPaperSize(entry, w, h))
            return nullptr;
        if (w == width && h == height) {
            if (index)
                *index = i;
            return entry;
        }
    }
    return nullptr;
}

CMTItem* CZelServerPreset::FirstOf(const CMTItem* list, const char* name) const {
    return m_loaded && list ? m_tree.FindChild(list, name) : nullptr;
}

CMTItem* CZelServerPreset::PaperSizeAt(int index) const {
    return m_loaded ? m_tree.ChildAt(m_paperSizes, index) : nullptr;
}

QStringList CZelServerPreset::NamesFrom(const CMTItem* first) const {
    QStringList names;
    QString name;
    for (const CMTItem* entry = first; entry; entry = NextEntry(entry))
        if (GetName(entry, name))
            names << name;
    return names;
}
