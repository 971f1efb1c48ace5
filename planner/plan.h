#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A gang plan: the plates to make, each from a preset at a press count, and
// what each carries.
namespace planner {

// One order (or, when orders may be split, one case of an order) on a plate.
struct PlanEntry {
    int order = 0;      // index into the problem's orders
    int caseIndex = -1; // -1: every case of the order; else this case only (0-based)
    int copies = 0;     // items of each case it carries on this plate
    int cells = 0;      // grid cells they cover
};

struct PlanPlate {
    int preset = 0;     // index into the problem's presets
    int pressCount = 0; // sheets printed
    std::vector<PlanEntry> entries;
};

struct Plan {
    struct Refusal {
        int order = 0;
        QString reason;
    };
    std::vector<PlanPlate> plates;
    std::vector<Refusal> unplanned; // orders the plan cannot carry, with the reason
    double cost = 0.0;
    // A proven lower bound on the cost of any plan: at any press count for
    // whole orders, at the candidate press counts when orders may be split.
    double bound = 0.0;
    bool optimal = false;
    bool timeLimitReached = false;
    double seconds = 0.0;
    // Relative distance of the cost from the bound: 0 proves the plan best.
    double Gap() const { return cost > 0 ? (cost - bound) / cost : 0.0; }
};

} // namespace planner
