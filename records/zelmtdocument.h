#pragma once

#include "zeldocumentpreset.h"

// An imposition document (".tzmp"): the preset's sections, the document
// information, one "PAGE" of placed items, the free lines and the text boxes.
// The plate model reads pages, lines and texts out of the tree on open and
// writes them back on save; between the two the tree holds the header, the
// plate sections and the document information only.
class CZelMTDocument : public CZelDocumentPreset {
public:
    static constexpr char kDocumentType[] = "Imposer Document";
    static constexpr char kExtension[] = "tzmp";

    CZelMTDocument();
    void BuildStructure() override;

    // DOCUMENT_INFORMATION
    MarkupValue& PresetName() { return Info("PRESET_NAME"); }
    MarkupValue PresetName() const { return Info("PRESET_NAME"); }
    MarkupValue& JobDate() { return Info("JOB_DATE"); }
    MarkupValue JobDate() const { return Info("JOB_DATE"); }
    MarkupValue& JobCode() { return Info("JOB_CODE"); }
    MarkupValue JobCode() const { return Info("JOB_CODE"); }
    MarkupValue& UserAccount() { return Info("USER_ACCOUNT"); }
    MarkupValue UserAccount() const { return Info("USER_ACCOUNT"); }
    MarkupValue& UserInitial() { return Info("USER_INITIAL"); }
    MarkupValue UserInitial() const { return Info("USER_INITIAL"); }
    MarkupValue& UserName() { return Info("USER_NAME"); }
    MarkupValue UserName() const { return Info("USER_NAME"); }
    MarkupValue& PressQuantityText() { return Info("PRESS_QUANTITYSTR"); }
    MarkupValue PressQuantityText() const { return Info("PRESS_QUANTITYSTR"); }
    MarkupValue& PageCount() { return Info("NUM_PAGES"); }
    MarkupValue PageCount() const { return Info("NUM_PAGES"); }

    // Pages and their items
    CTzmpItem* FirstPage() const { return Child(m_root, "PAGE"); }
    CTzmpItem* FirstItem(CTzmpItem* page) const { return Child(page, "ITEM"); }
    // The first "ITEM" and all its following siblings.
    int ItemCount(CTzmpItem* page) const;
    CTzmpItem* Job(CTzmpItem* item) { return m_tree.GetOrAddChild(item, "JOB"); }
    CTzmpItem* Object(CTzmpItem* item) { return m_tree.GetOrAddChild(item, "OBJECT"); }
    MarkupValue& JobValue(CTzmpItem* item, const char* key) { return m_tree.Value(Job(item), key); }
    MarkupValue& ObjectValue(CTzmpItem* item, const char* key) {
        return m_tree.Value(Object(item), key);
    }
    MarkupValue& Crop(CTzmpItem* item, int index);     // CROP_LEFT, _TOP, _RIGHT, _BOTTOM
    MarkupValue& CropMark(CTzmpItem* item, int index); // CROP_01 ... CROP_08
    // Reading an item's keys: empty when its JOB or OBJECT or the key is missing.
    MarkupValue JobValue(const CTzmpItem* item, const char* key) const {
        return m_tree.ValueOr(item ? m_tree.FindChild(item, "JOB") : nullptr, key);
    }
    MarkupValue ObjectValue(const CTzmpItem* item, const char* key) const {
        return m_tree.ValueOr(item ? m_tree.FindChild(item, "OBJECT") : nullptr, key);
    }
    MarkupValue Crop(const CTzmpItem* item, int index) const;
    MarkupValue CropMark(const CTzmpItem* item, int index) const;

    // Text boxes
    CTzmpItem* Texts() const { return Child(m_root, "TEXTS"); }
    CTzmpItem* FirstText() const { return Child(Texts(), "TEXT"); }
    MarkupValue& TextValue(CTzmpItem* text, const char* key) { return m_tree.Value(text, key); }
    MarkupValue TextValue(const CTzmpItem* text, const char* key) const {
        return m_tree.ValueOr(text, key);
    }
    bool GetTextFont(const CTzmpItem* text, LogFont& font) const;
    void SetTextFont(CTzmpItem* text, const LogFont& font);

    // Removal of every "PAGE", "LINES" or "TEXTS" under the root, and new
    // elements appended where they belong.
    void RemoveAllPages() { RemoveAll("PAGE"); }
    void RemoveAllTexts() { RemoveAll("TEXTS"); }
    CTzmpItem* AddPage() { return Append(m_root, "PAGE"); }
    CTzmpItem* AddItem(CTzmpItem* page) { return Append(page, "ITEM"); }
    CTzmpItem* AddTexts() { return Append(m_root, "TEXTS"); }
    CTzmpItem* AddText(CTzmpItem* texts) { return Append(texts, "TEXT"); }
    void RemoveElement(CTzmpItem* element) { m_tree.RemoveItem(element); }

private:
    MarkupValue& Info(const char* key) { return m_tree.Value(m_documentInformation, key); }
    MarkupValue Info(const char* key) const { return m_tree.ValueOr(m_documentInformation, key); }
    CTzmpItem* Child(CTzmpItem* parent, const char* name) const {
        return parent ? CTzmpTree::Typed(m_tree.FindChild(parent, name)) : nullptr;
    }
    CTzmpItem* Append(CTzmpItem* parent, const char* name);
    void RemoveAll(const char* name);

    CTzmpItem* m_documentInformation = nullptr;
};
