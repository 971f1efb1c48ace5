#include "jobcommands.h"

#include "progress.h"

#include "records/joblisttext.h"
#include "records/zeljobcontainer.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {


bool ParseNumber(const QString& text, double& value) {
    bool ok = false;
    value = QLocale::c().toDouble(text, &ok);
    return ok;
}

int List(CommandLine& args) {
    QString quantityText;
    QStringList grid;
    QStringList folders;
    if (!args.TakeOption(QStringLiteral("--plate-quantity"), quantityText) ||
        !args.TakeOption(QStringLiteral("--grid"), grid, 2) || !args.Positionals(folders, 1, 1))
        return Fail(args.Error(), 2);
    joblisttext::PlateParameters plate;
    if (!quantityText.isEmpty()) {
        bool ok = false;
        plate.plateQuantity = quantityText.toInt(&ok);
        if (!ok)
            return Fail(QStringLiteral("--plate-quantity wants a whole number, not \"%1\"")
                            .arg(quantityText),
                        2);
    }
    if (!grid.isEmpty() &&
        (!ParseNumber(grid.at(0), plate.gridWidth) || !ParseNumber(grid.at(1), plate.gridHeight)))
        return Fail(QStringLiteral("--grid wants two lengths in millimetres, not \"%1\"")
                        .arg(grid.join(QLatin1Char(' '))),
                    2);

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
