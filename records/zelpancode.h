#pragma once

#include "pancodetree.h"

#include <QDate>
#include <QString>

class CZelPreference;

// One issued plate code, kept as "PanCodes/yyyy-MM/<code>.tzpan" in the
// shared preset folder so that no code is issued twice.
class CZelPanCode {
public:
    static constexpr char kDocumentType[] = "Tessel Pan Code";
    static constexpr char kExtension[] = "tzpan";
    static constexpr char kFolderName[] = "PanCodes";

    CZelPanCode();
    CZelPanCode(const CZelPanCode&) = delete;
    CZelPanCode& operator=(const CZelPanCode&) = delete;

    // Builds the record: header, "PAN_CODE" with "PAN" and "NAME", then
    // "PAN_ACCOUNT", "PAN_USER" and "PAN_STATE" 0.
    void Fill(const QString& prefix, const QString& typeName, const QString& account,
              const QString& user);
    // Saves to path and remembers it on success.
    bool Save(const QString& path);
    // Saves to the remembered path, only when that file still exists.
    bool Save();
    // Loads a code file (for inspection); false when it gives no element.
    bool Load(const QString& path);

    // The code: the remembered file's base name.
    bool GetPlateCode(QString& code) const;
    const QString& Path() const { return m_path; }
    const QString& LastError() const { return m_error; }
    CPanCodeTree& Tree() { return m_tree; }

    // The date part of a code: "yyMMdd" from 2000 on, "00MMdd" before, and
    // "000000" for no date.
    static QString DatePart(const QDate& date);

    // Takes the first free code prefix + date part + 001..999 in the month
    // folder of the date, creating the file exclusively, so that two
    // workstations issuing at once never take the same code. False when the
    // folder cannot be made, all 999 are taken, or the file cannot be written.
    bool IssuePlateCode(CZelPreference& preference, const QString& prefix, const QString& typeName,
                        const QString& account, const QString& user, const QDate& date);

private:
    void BuildStructure();

    QString m_path;
    CPanCodeTree m_tree;
    CTzmpItem* m_root = nullptr;
    QString m_error;
};
