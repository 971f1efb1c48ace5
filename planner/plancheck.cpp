#include "plancheck.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace planner {

namespace {

// Sheets each case of each order gets from the plan.
std::vector<std::vector<long long>> SheetsPerCase(const PlanProblem& problem, const Plan& plan) {
    std::vector<std::vector<long long>> sheets(problem.orders.size());
    for (size_t o = 0; o < problem.orders.size(); ++o)
        sheets[o].assign(std::max(0, problem.orders[o].pcases), 0);
    for (const PlanPlate& plate : plan.plates)
        for (const PlanEntry& entry : plate.entries) {
            if (entry.order < 0 || entry.order >= static_cast<int>(sheets.size()))
                continue;
            std::vector<long long>& cases = sheets[entry.order];
            for (size_t g = 0; g < cases.size(); ++g)
                if (entry.caseIndex < 0 || entry.caseIndex == static_cast<int>(g))
                    cases[g] += static_cast<long long>(entry.copies) * plate.pressCount;
        }
    return sheets;
}

} // namespace

PlanCheck CheckPlan(const PlanProblem& problem, const Plan& plan, bool splitAllowed) {
    PlanCheck check;
    const int orderCount = static_cast<int>(problem.orders.size());
    QSet<int> onPlan;
    std::vector<int> platesOfOrder(problem.orders.size(), 0);
    for (size_t n = 0; n < plan.plates.size(); ++n) {
        const PlanPlate& plate = plan.plates[n];
        const QString name = QStringLiteral("plate %1").arg(n + 1);
        if (plate.preset < 0 || plate.preset >= static_cast<int>(problem.presets.size())) {
            check.faults << QStringLiteral("%1: no such preset").arg(name);
            continue;
        }
        if (plate.pressCount < 1)
            check.faults << QStringLiteral("%1: press count %2").arg(name).arg(plate.pressCount);
        if (plate.entries.empty())
            check.faults << QStringLiteral("%1: carries nothing").arg(name);
        const PlanPreset& preset = problem.presets[plate.preset];
        check.cost += problem.costs.plateCost + problem.costs.sheetCost * plate.pressCount;
        long long cells = 0;
        QSet<int> ordersHere;
        for (const PlanEntry& entry : plate.entries) {
            if (entry.order < 0 || entry.order >= orderCount) {
                check.faults << QStringLiteral("%1: no such order %2").arg(name).arg(entry.order);
                continue;
            }
            const PlanOrder& order = problem.orders[entry.order];
            onPlan.insert(entry.order);
            if (!ordersHere.contains(entry.order))
                ++platesOfOrder[entry.order];
            ordersHere.insert(entry.order);
            if (order.cellsPerItem.at(plate.preset) < 1 ||
                order.itemsPerCase.at(plate.preset) < 1) {
                check.faults << QStringLiteral("%1: order %2 cannot go on preset %3")
                                    .arg(name, order.ordernum, preset.name);
                continue;
            }
            if (entry.copies < 1)
                check.faults << QStringLiteral("%1: order %2 with %3 copies")
                                    .arg(name, order.ordernum)
                                    .arg(entry.copies);
            if (entry.caseIndex >= order.pcases)
                check.faults << QStringLiteral("%1: order %2 has no case %3")
                                    .arg(name, order.ordernum)
                                    .arg(entry.caseIndex + 1);
            if (!splitAllowed && entry.caseIndex >= 0)
                check.faults
                    << QStringLiteral("%1: order %2 is split by case").arg(name, order.ordernum);
            // Cells recomputed from the order: items of each case, each case's copies.
            const long long cases = entry.caseIndex < 0 ? order.pcases : 1;
            const long long entryCells = cases * order.itemsPerCase[plate.preset] *
                                         order.cellsPerItem[plate.preset] * entry.copies;
            if (entryCells != entry.cells)
                check.faults << QStringLiteral("%1: order %2 covers %3 cells, not %4")
                                    .arg(name, order.ordernum)
                                    .arg(entryCells)
                                    .arg(entry.cells);
            cells += entryCells;
        }
        if (cells > preset.cells)
            check.faults
                << QStringLiteral("%1: %2 cells used of %3").arg(name).arg(cells).arg(preset.cells);
    }

    const std::vector<std::vector<long long>> sheets = SheetsPerCase(problem, plan);
    for (int o = 0; o < orderCount; ++o) {
        const PlanOrder& order = problem.orders[o];
        const bool refused = std::any_of(plan.unplanned.begin(), plan.unplanned.end(),
                                         [o](const Plan::Refusal& r) { return r.order == o; });
        if (refused && onPlan.contains(o))
            check.faults
                << QStringLiteral("order %1 is both planned and refused").arg(order.ordernum);
        if (!onPlan.contains(o)) {
            if (!refused)
                check.faults << QStringLiteral("order %1 is neither planned nor refused")
                                    .arg(order.ordernum);
            continue;
        }
        if (!splitAllowed && platesOfOrder[o] > 1)
            check.faults << QStringLiteral("order %1 is split over %2 plates")
                                .arg(order.ordernum)
                                .arg(platesOfOrder[o]);
        for (size_t g = 0; g < sheets[o].size(); ++g)
            if (sheets[o][g] < order.sheets)
                check.faults << QStringLiteral("order %1 case %2: %3 of %4 sheets")
                                    .arg(order.ordernum)
                                    .arg(g + 1)
                                    .arg(sheets[o][g])
                                    .arg(order.sheets);
    }
    if (std::fabs(check.cost - plan.cost) > 1e-6 * std::max(1.0, check.cost))
        check.faults << QStringLiteral("the plan says it costs %1, it costs %2")
                            .arg(plan.cost, 0, 'f', 2)
                            .arg(check.cost, 0, 'f', 2);
    if (plan.bound > check.cost + 1e-6 * std::max(1.0, check.cost))
        check.faults << QStringLiteral("the bound %1 lies above the cost %2")
                            .arg(plan.bound, 0, 'f', 2)
                            .arg(check.cost, 0, 'f', 2);
    return check;
}

std::vector<int> OversPerOrder(const PlanProblem& problem, const Plan& plan) {
    const std::vector<std::vector<long long>> sheets = SheetsPerCase(problem, plan);
    std::vector<int> overs(problem.orders.size(), -1);
    for (size_t o = 0; o < sheets.size(); ++o) {
        long long least = -1;
        for (long long s : sheets[o])
            if (s > 0 && (least < 0 || s < least))
                least = s;
        if (least >= 0)
            overs[o] = static_cast<int>(least - problem.orders[o].sheets);
    }
    return overs;
}

} // namespace planner
