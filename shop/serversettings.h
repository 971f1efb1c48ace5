#pragma once

#include "markup/result.h"
#include "records/zelpreference.h"

#include <QString>

#include <array>

// The shared folders of the installation and the registration server, as
// the server settings dialog edits them.
struct ServerSettings {
    // In the order the check asks for them: accounts, presets, job
    // tickets, PDFs, plates in progress, finished plates, local work.
    static constexpr std::array<CZelPreference::Folder, 7> kFolders = {
        CZelPreference::Folder::Users,    CZelPreference::Folder::Preset,
        CZelPreference::Folder::Jobs,     CZelPreference::Folder::Pdfs,
        CZelPreference::Folder::Progress, CZelPreference::Folder::Release,
        CZelPreference::Folder::LocalWork};

    std::array<QString, 7> folders; // by kFolders
    QString registrationUrl;        // optional

    // The folders the preference names that exist (without a trailing
    // separator; empty where there is none) and the registration URL.
    static ServerSettings Read(CZelPreference& preference);
    // The operator's prompt for a folder, also the message when it is missing.
    static QString Prompt(CZelPreference::Folder folder);

    // Checks the typed values in order and gives them cleaned (absolute,
    // no trailing separator); the first problem as the operator reads it.
    Result<ServerSettings> Checked() const;
    // Stores checked settings in the preference, repairs its header and
    // writes the file at once.
    Result<void> Apply(CZelPreference& preference) const;
};
