#pragma once

#include "preferencetree.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The workstation's settings: the shared folders and the press options,
// kept in "Preferences/TesselPreference.tzpr" under the program folder.
//
// Folders are returned with one separator appended. The record is written
// when the settings are stored (Save), and when it is destroyed only if it
// changed since it was read or saved and the file was read whole (or did not
// exist): a read-only run writes nothing, and a file that could not be read
// whole is kept for the operator until Save replaces it.
class CZelPreference {
public:
    static constexpr char kDocumentType[] = "Tessel Preference";
    static constexpr char kFileName[] = "TesselPreference.tzpr";

    enum class Folder { Users, Preset, Jobs, Pdfs, Progress, Release, LocalWork };
    enum class Option {
        ItemFrameA,
        ItemFrameB,
        ItemFrameL,
        ItemCutA,
        ItemCutB,
        ItemCutL,
        MakePdfMethod,
        MakePdfType,
        MakePdfView,
        MakePdfTitleFname,
        MakeCutPlan // the cutting sheet and cut program beside the side files
    };

    CZelPreference();
    CZelPreference(const CZelPreference&) = delete;
    CZelPreference& operator=(const CZelPreference&) = delete;
    ~CZelPreference();

    // Creates "Preferences", "Presets", "Presets/Stock Presets" and
    // "Presets/Document Presets" in the program folder when missing.
    static bool CreateProgramFolders(QString* error = nullptr);
    // The program's "Preferences" folder.
    static QString DefaultFolder();

    // Loads folder/"TesselPreference.tzpr". False when the file gives no
    // element; the record then holds an empty structure.
    bool Load(const QString& preferencesFolder);
    // The header is this kind's and every shared folder names an existing
    // folder; reason names the first that fails.
    bool ValidatePreference(QString* reason = nullptr);
    // Writes the record to its path; false when there is none or it fails.
    bool Save();
    // Makes the header this program writes (a record that failed the check
    // for its header is repaired by the settings the operator confirms).
    void RepairHeader() { m_root = m_tree.SetHeader(QString::fromLatin1(kDocumentType)); }
    const QString& Path() const { return m_path; }
    const QString& LastError() const { return m_error; }
    CPreferenceTree& Tree() { return m_tree; }

    static const char* Key(Folder folder);
    static const char* Key(Option option);

    // False when the key is missing or the folder does not exist.
    bool GetFolder(Folder folder, QString& path) const;
    void SetFolder(Folder folder, const QString& path);
    bool GetUsersDir(QString& path) const { return GetFolder(Folder::Users, path); }
    bool GetPresetDir(QString& path) const { return GetFolder(Folder::Preset, path); }
    bool GetJobsDir(QString& path) const { return GetFolder(Folder::Jobs, path); }
    bool GetPdfsDir(QString& path) const { return GetFolder(Folder::Pdfs, path); }
    bool GetProgressDir(QString& path) const { return GetFolder(Folder::Progress, path); }
    bool GetReleaseDir(QString& path) const { return GetFolder(Folder::Release, path); }
    bool GetLocalWorkDir(QString& path) const { return GetFolder(Folder::LocalWork, path); }

    // 0 when the key is missing.
    int GetOption(Option option) const;
    void SetOption(Option option, int value);

    // The press folder, only when it exists; the setter keeps the old value
    // when the new one does not exist.
    bool GetPressDir(QString& path) const;
    // The plate registration server's URL; false when none is set.
    bool GetPlateRegUrl(QString& url) const;
    void SetPlateRegUrl(const QString& url);
    bool SetPressDir(const QString& path);

    // PROGRESS_DIR/first/second/ and RELEASE_DIR/first/second/, each level
    // created when missing.
    bool GetProgressFolder(const QString& first, const QString& second, QString& path) const;
    bool GetReleaseFolder(const QString& first, const QString& second, QString& path) const;
    // PRESET_DIR/name (created, no trailing separator); with a time, followed
    // by the "yyyy-MM" month folder (created) and a separator.
    bool GetPresetFolder(const QString& name, QString& path) const;
    bool GetPresetFolder(const QString& name, const QDateTime& time, QString& path) const;

    // Base names of the "*.extension" files in PRESET_DIR/name, in directory
    // order (the folder is created when missing).
    bool ListPresetFiles(const QString& name, const QString& extension, QStringList& names);
    // Full paths of the "*.extension" files in LOCAL_WORK_DIR, by name.
    bool ListLocalWorkFiles(const QString& extension, QStringList& paths);

private:
    void BuildStructure();
    bool SubFolder(Folder base, const QString& first, const QString& second, QString& path) const;

    QString m_path;
    CPreferenceTree m_tree;
    CTzmpItem* m_root = nullptr;
    QString m_error;
    // False while the file on disk exists but was not read whole: writing the
    // record back would drop what was not read.
    bool m_readWhole = true;
    // The record as the file holds it, to tell whether anything changed.
    QByteArray m_savedBytes;
};
