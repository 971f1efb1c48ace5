#pragma once

#include "engine/plateproperties.h"

#include <QString>
#include <QStringList>

#include <vector>

class CZelJob;

// What the gang planner works on: the orders, the document presets a plate
// may be made from, and what each order needs on each preset. Counts follow
// the engine: an order's sheets, the cases it makes on a plate and the grid
// cells one item covers are the engine's own.
namespace planner {

struct PlanPreset {
    QString name;
    PlateProperties properties; // as the preset holds them
    int cells = 0;              // grid cells of one plate
    QString unusable;           // why no order can be planned on it; empty when usable
};

struct PlanOrder {
    QString ordernum;
    QString ticketPath;
    int sheets = 0; // PQuantity, else Quantity
    int pcases = 0;
    double width = 0.0;
    double height = 0.0;
    // Per preset: items one copy of one case makes (2 for a double-sided
    // order on a work-and-turn plate without turn), and cells one item
    // covers; both 0 where the order cannot go.
    std::vector<int> itemsPerCase;
    std::vector<int> cellsPerItem;
    // Per preset: why the order cannot go there (empty where it can).
    QStringList refusals;

    bool FitsPreset(size_t preset) const { return cellsPerItem.at(preset) > 0; }
    bool FitsAnyPreset() const;
    // Cells of one copy of one case on a preset.
    int CellsPerCopy(size_t preset) const {
        return itemsPerCase.at(preset) * cellsPerItem.at(preset);
    }
};

// Copies of a case a plate of press count P prints for S sheets: the
// engine's count, one item per P sheets started.
int CopiesFor(int sheets, int pressCount);

struct PlanCosts {
    double plateCost = 20000.0; // one plate: making the plate and setting up the press
    double sheetCost = 40.0;    // one press sheet
};

struct PlanProblem {
    std::vector<PlanPreset> presets;
    std::vector<PlanOrder> orders;
    PlanCosts costs;
};

// Reads a preset's plate settings and counts its cells. A preset the
// planner cannot use gets a reason in unusable: no grid, free placement.
PlanPreset MakePreset(const QString& name, const PlateProperties& properties);

// The order as the engine sees it, checked against every preset: same
// paper, same colours, double-sided only on two-sided or work-and-turn
// plates, an item that fits the usable area as the engine would lay it.
PlanOrder MakeOrder(const CZelJob& job, const std::vector<PlanPreset>& presets);

} // namespace planner
