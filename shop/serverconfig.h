#pragma once

#include "markup/result.h"
#include "records/zelpreference.h"

#include <QString>

#include <array>
#include <optional>

// The seven folders of the server configuration, as the dialog edits them.
namespace serverconfig {

using Folder = CZelPreference::Folder;
inline constexpr int kFolderCount = 7;
// Indexed by Folder.
using Folders = std::array<QString, kFolderCount>;

// The order the dialog checks them in: accounts, presets, jobs, PDFs,
// progress, release, local work.
inline constexpr std::array<Folder, kFolderCount> kCheckOrder{
    Folder::Users,    Folder::Preset,  Folder::Jobs,     Folder::Pdfs,
    Folder::Progress, Folder::Release, Folder::LocalWork};

// The browse prompt of a folder, also its message when the folder is wrong.
QString Prompt(Folder folder);

// The folders the preference names and that exist, without a trailing
// separator; empty for the others (the dialog shows the prompt there).
Folders Read(CZelPreference& preference);

// The first folder the dialog must not accept, and why.
struct Problem {
    Folder folder;
    QString message;
};
// Every folder absolute, existing and in text the preference file can carry;
// the progress and release folders not inside the job folder (the job lists
// would show the tickets on plates as waiting orders).
std::optional<Problem> Check(const Folders& folders);

// The folders as stored: cleaned, without a trailing separator.
QString Clean(const QString& path);

// Stores checked folders in the preference, sets its header right (so that
// a file that failed validation for its header is repaired) and writes the
// file at once. The record holds the folders for this run even when the
// write fails; the failure says so for the operator.
Result<void> Store(CZelPreference& preference, const Folders& folders);

} // namespace serverconfig
