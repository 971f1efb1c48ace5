#pragma once

#include <QString>

class CDemoArtwork;
class CZelPreference;

// Makes a complete demo shop in a new or empty folder: the preference file
// and the shared folders it names, the site preset, document presets,
// colour and press-mark presets, labels, accounts ("demo"/"demo" and one
// without a password) and job folders of real orders with their artwork.
//
// The folder becomes the program folder (programfolder::SetHome), so
// "tessel-cli --home DIR" works on the shop. A folder that exists and is not
// empty is refused and left untouched; when making the shop fails, what was
// made is removed again.
class CDemoShop {
public:
    // Shared folders, relative to the shop's folder.
    static constexpr char kUsersFolder[] = "Shared/Accounts";
    static constexpr char kPresetFolder[] = "Shared/Presets";
    static constexpr char kJobsFolder[] = "Shared/JobTickets";
    static constexpr char kPdfsFolder[] = "Shared/OrderPDF";
    static constexpr char kProgressFolder[] = "Shared/Progress";
    static constexpr char kReleaseFolder[] = "Shared/Release";
    static constexpr char kLocalWorkFolder[] = "Local/Work";
    static constexpr char kPressFolder[] = "Shared/Press";

    // pdfcomposeLibrary: the composition library's file; empty for the one
    // beside the program.
    bool Create(const QString& folder, const QString& pdfcomposeLibrary = QString());
    const QString& LastError() const { return m_error; }

private:
    bool Make(const QString& folder, CDemoArtwork& artwork, const QString& scratch);
    bool WritePreference(const QString& folder);
    bool WriteSitePreset(const QString& presetDir);
    bool WriteColorPresets();
    bool WritePressMarks(const QString& presetDir, CDemoArtwork& artwork);
    bool WriteDocumentPresets();
    bool WriteLabels(const QString& presetDir, CDemoArtwork& artwork);
    bool WriteAccounts(const QString& usersDir);
    bool WriteOrders(const QString& jobsDir, const QString& presetDir, CDemoArtwork& artwork,
                     const QString& scratch);
    bool Fail(const QString& reason);

    QString m_error;
};
