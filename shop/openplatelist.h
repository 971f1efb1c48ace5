#pragma once

#include "markup/result.h"

#include <QString>
#include <QStringList>

#include <vector>

class CZelPreference;

// The open-plate dialog's list: a summary of every plate file in the local
// work folder, read without opening the plates.
namespace openplatelist {

// One row, in the list's column order.
struct PlateSummary {
    QString name;       // NAME, else the file's name
    QString presetName; // PRESET_NAME
    QString size;       // "W mm * H mm"
    QString paperType;  // PAPER_TYPE
    QString pressCount; // PQUANTITY
    QString sides;      // "단면(4)", "양면(A:4, B:1)", "돈땡(4)"
    QString imposition; // "수평 대첩", "수직 대첩", "대첩 안함"
    QString worker;     // "USER_NAME(USER_INITIAL)"
    QString jobDate;    // JOB_DATE
    QString path;       // the plate file

    QStringList Columns() const;
};

// The column titles.
QStringList Titles();

// A plate file's summary, read only up to its first placed item ("PAGE"):
// the settings stand before the items, so a plate of a thousand items costs
// no more than an empty one. Fails, with the reason, for a file that is no
// plate file or cannot be read.
Result<PlateSummary> ReadSummary(const QString& path);

// Every plate file of LOCAL_WORK_DIR but the one open now, sorted by name
// case-insensitively; files that do not read are left out (listed in
// skipped, with their reasons, when given).
std::vector<PlateSummary> List(CZelPreference& preference, const QString& openPath,
                               QStringList* skipped = nullptr);

} // namespace openplatelist
