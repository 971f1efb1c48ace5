#pragma once

#include "markup/result.h"
#include "press/cutplan.h"

#include <QString>

class CPDFServer;

// The cutter room's files of a plate's cutting plan, named after the plate
// file as its side files are.
namespace cutsheet {

// Plate file without extension + "_cuts.pdf": the cutting sheet.
QString SheetPath(const QString& platePath);
// Plate file without extension + "_cuts.csv": the cut program.
QString ProgramPath(const QString& platePath);

// Composes the cutting sheet: the sheet's outline with every item's order
// number, the cuts numbered in order with their back gauge positions, the
// waste hatched; then the list of cuts. Written under a hidden name and put
// in place only when whole. title heads the page (the plate's number).
Result<void> WriteSheet(CPDFServer& pdf, const CutPlan& plan, const QString& title,
                        const QString& path);
// Writes the cut program (CSV) durably.
Result<void> WriteProgram(const CutPlan& plan, const QString& path);

} // namespace cutsheet
