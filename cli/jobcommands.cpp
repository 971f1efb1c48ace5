#include "jobcommands.h"

#include "progress.h"

#include "records/joblisttext.h"
#include "records/zeljobcontainer.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

int List(CommandLine& args) {
    joblisttext::PlateParameters plate;
    std::vector<double> grid;
    QStringList folders;
    if (!args.TakeWholeNumber(QStringLiteral("--plate-quantity"), plate.plateQuantity, 1) ||
        !args.TakePositiveNumbers(QStringLiteral("--grid"), grid, 2,
                                  QStringLiteral("millimetres")) ||
        !args.Positionals(folders, 1, 1))
        return Fail(args.Error(), 2);
    if (!grid.empty()) {
        plate.gridWidth = grid.at(0);
        plate.gridHeight = grid.at(1);
    }

    const QString folder = folders.at(0);
    CZelJobContainer list(QDir(folder).dirName(), folder);
    if (!list.DirectoryExists())
        return Fail(QStringLiteral("%1: no such folder").arg(folder));
    CliProgress progress(true);
    list.Refresh(true, &progress);

    // The order list starts sorted by its first column, ascending.
    std::vector<QStringList> rows;
    for (int i = 0; i < list.Count(); ++i)
        rows.push_back(joblisttext::OrderListRow(*list.Job(i), plate));
    std::stable_sort(rows.begin(), rows.end(),
                     [](const QStringList& a, const QStringList& b) { return a.at(0) < b.at(0); });

    PrintLine(list.Summary(plate.plateQuantity, plate.gridWidth, plate.gridHeight));
    PrintLine(joblisttext::OrderListTitles().join(QLatin1Char('\t')));
    for (const QStringList& row : rows)
        PrintLine(row.join(QLatin1Char('\t')));
    return 0;
}

} // namespace

std::vector<Command> JobCommands() {
    return {
        {"jobs list", "DIR [--plate-quantity N] [--grid W H]",
         "print the folder's orders as the order list shows them (tab-separated) after the list's "
         "caption; "
         "defaults: quantity 200, grid 92 x 52 mm",
         List},
    };
}
