#include "planproblem.h"

#include "engine/plategeometry.h"
#include "engine/tesseldoc.h"
#include "records/zeljob.h"

#include <memory>

namespace planner {

namespace {

int InkCount(int colorSetting) {
    return colorSetting ? 4 : 1;
}

// The engine lays an item into the first free cell, turned when that covers
// fewer cells; on an empty plate that fails only when the item is larger
// than the usable area.
bool FitsEmptyPlate(const PlateProperties& properties, double width, double height) {
    CTesselDoc doc;
    doc.SetProperties(properties);
    auto item = std::make_unique<CZelItem>();
    item->width = width;
    item->height = height;
    return doc.AddItemAtSlot(std::move(item), 0.0, 0.0);
}

} // namespace

bool PlanOrder::FitsAnyPreset() const {
    for (size_t p = 0; p < cellsPerItem.size(); ++p)
        if (FitsPreset(p))
            return true;
    return false;
}

int CopiesFor(int sheets, int pressCount) {
    if (sheets <= 0 || pressCount <= 0)
        return 0;
    return sheets / pressCount + (sheets % pressCount != 0 ? 1 : 0);
}

PlanPreset MakePreset(const QString& name, const PlateProperties& properties) {
    PlanPreset preset;
    preset.name = name;
    preset.properties = properties;
    const PlateGeometry geometry = ComputePlateGeometry(properties);
    preset.cells = static_cast<int>(geometry.cellsByRow.size());
    if (properties.arrangeDirection == CTesselDoc::kFreePlacement)
        preset.unusable = QStringLiteral("places items freely, not in grid cells");
    else if (properties.arrangeDirection < 0 || properties.arrangeDirection > 7)
        preset.unusable = QStringLiteral("has an arrangement the planner does not know (%1)")
                              .arg(properties.arrangeDirection);
    else if (preset.cells == 0)
        preset.unusable = QStringLiteral("has no grid cells");
    return preset;
}

PlanOrder MakeOrder(const CZelJob& job, const std::vector<PlanPreset>& presets) {
    PlanOrder order;
    order.ordernum = job.Text("Ordernum");
    order.ticketPath = job.Path();
    order.sheets = CTesselDoc::OrderSheets(job);
    order.pcases = job.GetPcases();
    order.width = job.GetWidth();
    order.height = job.GetHeight();
    const QString paper = job.Text("Paper");
    const int inks = job.GetColor();
    const bool doubleSided = job.GetPDFPage() > 1;

    for (const PlanPreset& preset : presets) {
        const PlateProperties& p = preset.properties;
        const PlateGeometry geometry = ComputePlateGeometry(p);
        // A plate with a back: two-sided, or work-and-turn with a turn.
        const bool hasSideB = geometry.paperSide == 1 && !geometry.workAndTurn;
        QString refusal;
        if (!preset.unusable.isEmpty())
            refusal = QStringLiteral("the preset %1").arg(preset.unusable);
        else if (order.sheets <= 0)
            refusal = QStringLiteral("the order has no sheets to print");
        else if (order.pcases < 1)
            refusal = QStringLiteral("the order has no cases");
        else if (paper != p.paperType)
            refusal =
                QStringLiteral("paper \"%1\", the preset prints \"%2\"").arg(paper, p.paperType);
        else if (doubleSided && !geometry.workAndTurn && geometry.paperSide == 0)
            refusal = QStringLiteral("double-sided, the preset prints one side");
        else if (inks != InkCount(p.colorA) ||
                 (doubleSided && hasSideB && inks != InkCount(p.colorB)))
            refusal = QStringLiteral("%1 colour(s), the preset prints %2")
                          .arg(inks)
                          .arg(hasSideB && doubleSided ? QStringLiteral("%1 + %2")
                                                             .arg(InkCount(p.colorA))
                                                             .arg(InkCount(p.colorB))
                                                       : QString::number(InkCount(p.colorA)));
        else if (!(order.width > 0) || !(order.height > 0))
            refusal = QStringLiteral("the order has no size");
        else if (!FitsEmptyPlate(p, order.width, order.height))
            refusal = QStringLiteral("%1 x %2 mm does not fit the usable area")
                          .arg(order.width)
                          .arg(order.height);

        int items = 0, cells = 0;
        if (refusal.isEmpty()) {
            CTesselDoc doc;
            doc.SetProperties(p);
            items = doc.CaseCount(job) / order.pcases;
            cells = GridCells(p.gridWidth, p.gridHeight, order.width, order.height);
            if (items < 1 || cells < 1) {
                refusal = QStringLiteral("the order makes no items on this preset");
                items = cells = 0;
            }
        }
        order.itemsPerCase.push_back(items);
        order.cellsPerItem.push_back(cells);
        order.refusals << refusal;
    }
    return order;
}

} // namespace planner
