#include "jobcommands.h"

#include "progress.h"

#include "engine/tesseldoc.h"
#include "records/joblisttext.h"
#include "records/zeljobcontainer.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

#include <algorithm>

namespace {

int List(CommandLine& args) {
    joblisttext::PlateParameters plate;
    std::vector<double> grid;
    QStringList folders;
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    QString plateFile;
    if (!args.TakeOption(QStringLiteral("--plate"), plateFile))
        return Fail(args.Error(), 2);
    if (!plateFile.isEmpty()) {
        // The quantity and grid of that plate, as its order list shows them.
        CTesselDoc doc;
        if (const Result<void> read = doc.OpenToRead(plateFile); !read)
            return Fail(read.error());
        plate.plateQuantity = doc.Properties().pressCount;
        if (doc.Geometry().HasGrid()) {
            plate.gridWidth = doc.Properties().gridWidth;
            plate.gridHeight = doc.Properties().gridHeight;
        } else {
            plate.gridWidth = plate.gridHeight = 0;
        }
    }
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
        return Fail(QFileInfo::exists(folder)
                        ? QStringLiteral("%1: is a file, not a folder").arg(folder)
                        : QStringLiteral("%1: no such folder").arg(folder));
    CliProgress progress(true);
    list.Refresh(true, &progress);

    // The order list starts sorted by its first column, ascending.
    std::vector<std::pair<QStringList, const CZelJob*>> rows;
    for (int i = 0; i < list.Count(); ++i)
        rows.push_back({joblisttext::OrderListRow(*list.Job(i), plate), list.Job(i)});
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.first.at(0) < b.first.at(0); });
    const QStringList titles = joblisttext::OrderListTitles();

    if (json) {
        QJsonArray orders;
        for (const auto& [row, job] : rows) {
            const joblisttext::Places places =
                joblisttext::PlacesOf(*job, plate.plateQuantity, plate.gridWidth, plate.gridHeight);
            QJsonObject columns;
            for (qsizetype c = 0; c < titles.size() && c < row.size(); ++c)
                columns.insert(titles.at(c), row.at(c));
            orders.append(QJsonObject{{QStringLiteral("order"), row.at(0)},
                                      {QStringLiteral("ticket"), job->Path()},
                                      {QStringLiteral("cases"), joblisttext::CasesOf(*job)},
                                      {QStringLiteral("grid_cells"), places.gridCells},
                                      {QStringLiteral("place_count"), places.placeCount},
                                      {QStringLiteral("places"), places.gridPlaces},
                                      {QStringLiteral("columns"), columns}});
        }
        PrintJson({{QStringLiteral("folder"), QDir(folder).absolutePath()},
                   {QStringLiteral("caption"),
                    list.Summary(plate.plateQuantity, plate.gridWidth, plate.gridHeight)},
                   {QStringLiteral("plate_quantity"), plate.plateQuantity},
                   {QStringLiteral("grid"),
                    plate.gridWidth > 0
                        ? QJsonValue(QJsonObject{{QStringLiteral("width_mm"), plate.gridWidth},
                                                 {QStringLiteral("height_mm"), plate.gridHeight}})
                        : QJsonValue(QJsonValue::Null)},
                   {QStringLiteral("columns"), QJsonArray::fromStringList(titles)},
                   {QStringLiteral("orders"), orders}});
        return 0;
    }

    PrintLine(list.Summary(plate.plateQuantity, plate.gridWidth, plate.gridHeight));
    PrintLine(titles.join(QLatin1Char('\t')));
    for (const auto& row : rows)
        PrintLine(row.first.join(QLatin1Char('\t')));
    return 0;
}

} // namespace

std::vector<Command> JobCommands() {
    return {
        {"jobs list", "DIR [--plate PLATE.tzmp] [--plate-quantity N] [--grid W H] [--json]",
         "print the folder's orders as the order list shows them (tab-separated) after the list's "
         "caption; "
         "defaults: quantity 200, grid 92 x 52 mm",
         List},
    };
}
