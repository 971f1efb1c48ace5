#pragma once

#include "serverpresettree.h"

#include <QString>
#include <QStringList>

// The shop's shared, read-only site preset "TesselPreset.tzsp" in the preset
// folder: the shop's information, the server, and the code lists that fill
// the dialogs' drop-down lists.
//
// Entries are elements of the tree, valid until the next Load. Every
// accessor reports false (or nullptr) while no file has loaded.
class CZelServerPreset {
public:
    static constexpr char kDocumentType[] = "Imposer Stock Presets";
    static constexpr char kFileName[] = "TesselPreset.tzsp";

    CZelServerPreset();
    CZelServerPreset(const CZelServerPreset&) = delete;
    CZelServerPreset& operator=(const CZelServerPreset&) = delete;

    // Loads presetFolder/"TesselPreset.tzsp"; missing sections are added.
    bool Load(const QString& presetFolder);
    bool IsLoaded() const { return m_loaded; }
    const QString& LastError() const { return m_error; }
    CServerPresetTree& Tree() { return m_tree; }

    // USER_INFO and INTERNET_SERVER.
    bool GetCompany(QString& text) const { return SectionText(m_userInfo, "UI_COMPANY", text); }
    bool GetAddress(QString& text) const { return SectionText(m_userInfo, "UI_ADDERSS", text); }
    bool GetSignature(QString& text) const { return SectionText(m_userInfo, "UI_SIGNATURE", text); }
    bool GetHost(QString& text) const { return SectionText(m_internetServer, "IS_HOST", text); }
    bool GetPort(QString& text) const { return SectionText(m_internetServer, "IS_PORT", text); }
    bool GetPlateRegProcess(QString& text) const {
        return SectionText(m_internetServer, "IS_PROCESS_PLATE_REG", text);
    }
    bool GetPlateDelProcess(QString& text) const {
        return SectionText(m_internetServer, "IS_PROCESS_PLATE_DEL", text);
    }

    // Of one list entry.
    bool GetName(const CMTItem* entry, QString& text) const {
        return SectionText(entry, "NAME", text);
    }
    bool GetCode(const CMTItem* entry, int& code) const;
    // The prefix ("PAN") of a plate code type.
    bool GetPanPrefix(const CMTItem* entry, QString& text) const {
        return SectionText(entry, "PAN", text);
    }
    // "WIDTH" and "HEIGHT" of a paper size; false when either is missing.
    bool GetPaperSize(const CMTItem* entry, double& width, double& height) const;

    // The first paper size of exactly this width and height, and its index.
    // The walk stops at an entry that lacks its width or height.
    CMTItem* FindPaperSize(double width, double height, int* index = nullptr) const;

    // First entries of the lists; the next entry is NextEntry, whatever its name.
    CMTItem* FirstProduct() const { return FirstOf(m_productTypes, "PRODUCT"); }
    CMTItem* FirstPanAfterWork() const { return FirstOf(m_panAfterWorks, "PAN_AFTERWORK"); }
    CMTItem* FirstPaperType() const { return FirstOf(m_paperTypes, "PAPER"); }
    CMTItem* FirstPaperSize() const { return FirstOf(m_paperSizes, "PAPER"); }
    CMTItem* FirstPanCode() const { return FirstOf(m_panCodes, "PAN_CODE"); }
    CMTItem* NextEntry(const CMTItem* entry) const {
        return m_loaded && entry ? entry->NextSibling() : nullptr;
    }
    CMTItem* PaperSizeAt(int index) const;

    // The NAMEs of the PAPER and PAN_AFTERWORK lists in file order, as the
    // plate dialogs offer them; an entry without a name is left out.
    QStringList PaperTypeNames() const { return NamesFrom(FirstPaperType()); }
    QStringList PanAfterWorkNames() const { return NamesFrom(FirstPanAfterWork()); }

private:
    bool SectionText(const CMTItem* parent, const char* key, QString& text) const;
    CMTItem* FirstOf(const CMTItem* list, const char* name) const;
    QStringList NamesFrom(const CMTItem* first) const;

    CServerPresetTree m_tree;
    bool m_loaded = false;
    QString m_error;
    CTzmpItem* m_root = nullptr;
    CTzmpItem* m_userInfo = nullptr;
    CTzmpItem* m_internetServer = nullptr;
    CTzmpItem* m_productTypes = nullptr;
    CTzmpItem* m_panAfterWorks = nullptr;
    CTzmpItem* m_paperTypes = nullptr;
    CTzmpItem* m_paperSizes = nullptr;
    CTzmpItem* m_panCodes = nullptr;
};
