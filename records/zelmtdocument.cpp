#include "zelmtdocument.h"

#include "fontrecord.h"

CZelMTDocument::CZelMTDocument() {
    CZelMTDocument::BuildStructure();
}

void CZelMTDocument::BuildStructure() {
    CZelDocumentPreset::BuildStructure();
    m_root = m_tree.SetHeader(QString::fromLatin1(kDocumentType));
    m_documentInformation = m_tree.GetOrAddChild(m_root, "DOCUMENT_INFORMATION");
}

int CZelMTDocument::ItemCount(CTzmpItem* page) const {
    int count = 0;
    for (CMTItem* item = FirstItem(page); item; item = item->NextSibling())
        ++count;
    return count;
}

namespace {
const char* const kCropKeys[] = {"CROP_LEFT", "CROP_TOP", "CROP_RIGHT", "CROP_BOTTOM"};
const char* const kCropMarkKeys[] = {"CROP_01", "CROP_02", "CROP_03", "CROP_04",
                                     "CROP_05", "CROP_06", "CROP_07", "CROP_08"};
} // namespace

MarkupValue& CZelMTDocument::Crop(CTzmpItem* item, int index) {
    return ObjectValue(item, kCropKeys[index]);
}
MarkupValue CZelMTDocument::Crop(const CTzmpItem* item, int index) const {
    return ObjectValue(item, kCropKeys[index]);
}

MarkupValue& CZelMTDocument::CropMark(CTzmpItem* item, int index) {
    return ObjectValue(item, kCropMarkKeys[index]);
}
MarkupValue CZelMTDocument::CropMark(const CTzmpItem* item, int index) const {
    return ObjectValue(item, kCropMarkKeys[index]);
}

bool CZelMTDocument::GetTextFont(const CTzmpItem* text, LogFont& font) const {
    const CMTItem* element = m_tree.FindChild(text, "TEXT_FONT");
    if (!element)
        return false;
    fontrecord::Read(m_tree, element, "FONT_", font);
    return true;
}

void CZelMTDocument::SetTextFont(CTzmpItem* text, const LogFont& font) {
    fontrecord::Write(m_tree, m_tree.GetOrAddChild(text, "TEXT_FONT"), "FONT_", font);
}

CTzmpItem* CZelMTDocument::Append(CTzmpItem* parent, const char* name) {
    CTzmpItem* element = m_tree.CreateItem(name);
    m_tree.InsertItem(element, parent, CMarkupTree::Position::Last);
    return element;
}

void CZelMTDocument::RemoveAll(const char* name) {
    while (CMTItem* element = m_tree.FindChild(m_root, name))
        m_tree.RemoveItem(element);
}
