#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CZelPreference;

// One ready-made press mark: a one-page PDF placed on plates, with its
// preview picture.
struct CZelPressMarkItem {
    QString name;
    QString mediaPath;   // the PDF
    QString previewPath; // the preview picture
    double width = 0.0;  // millimetres
    double height = 0.0;
    // Pixel size of the decoded preview; empty when it cannot be decoded.
    QSize previewSize;
};

// A table of press marks read from a shared preset file: the colour bars
// ("ColorBars/ZelColorBarPresets.tzst") or the registration marks
// ("RegistrationMarks/ZelRegMarkPresets.tzst") under PRESET_DIR. Read only.
class CZelPressMarkPresets {
public:
    static constexpr char kDocumentType[] = "Tessel Press Mark Presets";
    static constexpr char kColorBarFolder[] = "ColorBars";
    static constexpr char kColorBarFile[] = "ZelColorBarPresets.tzst";
    static constexpr char kRegMarkFolder[] = "RegistrationMarks";
    static constexpr char kRegMarkFile[] = "ZelRegMarkPresets.tzst";

    CZelPressMarkPresets() = default;
    CZelPressMarkPresets(const CZelPressMarkPresets&) = delete;
    CZelPressMarkPresets& operator=(const CZelPressMarkPresets&) = delete;

    // Reads folder/fileName and adds every "PRESS_MARK"; media and preview
    // names are relative to the folder. A mark whose preview file is missing
    // is left out; one whose preview cannot be decoded has an empty size.
    bool Load(const QString& folder, const QString& fileName);
    // The two tables under the preference's PRESET_DIR (folder created).
    bool LoadColorBars(CZelPreference& preference);
    bool LoadRegistrationMarks(CZelPreference& preference);
    const QString& LastError() const { return m_error; }
    const QString& Folder() const { return m_folder; }
    const QString& Path() const { return m_path; }

    int Count() const { return static_cast<int>(m_marks.size()); }
    const CZelPressMarkItem* Mark(int index) const;
    QString Name(int index) const;
    // Every mark's name in file order.
    QStringList Names() const;
    // The first mark of exactly this name, and its index.
    const CZelPressMarkItem* FindPressMark(const QString& name, int* index = nullptr) const;
    void Clear() { m_marks.clear(); }

private:
    bool LoadFrom(CZelPreference& preference, const char* folderName, const char* fileName);

    QString m_folder; // with a trailing separator
    QString m_path;
    QString m_error;
    std::vector<std::unique_ptr<CZelPressMarkItem>> m_marks;
};
