#include "gangplanner.h"

#include "engine/tesseldoc.h"

#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <CoinPackedMatrix.hpp>
#include <CoinPackedVector.hpp>
#include <OsiClpSolverInterface.hpp>

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <string>

namespace planner {

namespace {

// What the planner moves about: a whole order, or (when splitting is
// allowed) one case of it.
struct Unit {
    int order = 0;
    int caseIndex = -1;
    int sheets = 0;
    std::vector<int> cellsPerCopy; // per preset; 0 where it cannot go
};

struct Units {
    std::vector<Unit> units;
    std::vector<Plan::Refusal> refusals;
};

int Cells(const Unit& unit, int preset, int pressCount) {
    return unit.cellsPerCopy[preset] * CopiesFor(unit.sheets, pressCount);
}

bool Fits(const PlanProblem& problem, const Unit& unit, int preset, int pressCount) {
    const int cells = unit.cellsPerCopy[preset];
    return cells > 0 && Cells(unit, preset, pressCount) <= problem.presets[preset].cells;
}

Units MakeUnits(const PlanProblem& problem, bool split) {
    Units out;
    for (size_t o = 0; o < problem.orders.size(); ++o) {
        const PlanOrder& order = problem.orders[o];
        if (!order.FitsAnyPreset()) {
            QStringList reasons;
            for (size_t p = 0; p < problem.presets.size(); ++p)
                reasons << QStringLiteral("%1: %2").arg(problem.presets[p].name,
                                                        order.refusals.value(p));
            out.refusals.push_back({static_cast<int>(o), reasons.join(QStringLiteral("; "))});
            continue;
        }
        const int casesPerUnit = split ? 1 : order.pcases;
        Unit unit;
        unit.order = static_cast<int>(o);
        unit.sheets = order.sheets;
        bool fitsOnePlate = false;
        for (size_t p = 0; p < problem.presets.size(); ++p) {
            const int cells = casesPerUnit * order.CellsPerCopy(p);
            unit.cellsPerCopy.push_back(cells);
            fitsOnePlate = fitsOnePlate || (cells > 0 && cells <= problem.presets[p].cells);
        }
        if (!fitsOnePlate) {
            out.refusals.push_back(
                {static_cast<int>(o),
                 QStringLiteral(
                     "its %1 cases need more cells than a plate has (splitting would allow it)")
                     .arg(order.pcases)});
            continue;
        }
        if (!split) {
            out.units.push_back(unit);
            continue;
        }
        for (int g = 0; g < order.pcases; ++g) {
            unit.caseIndex = g;
            out.units.push_back(unit);
        }
    }
    return out;
}

PlanEntry EntryOf(const Unit& unit, int preset, int pressCount, int copies = -1) {
    if (copies < 0)
        copies = CopiesFor(unit.sheets, pressCount);
    return {unit.order, unit.caseIndex, copies, unit.cellsPerCopy[preset] * copies};
}

int UsedCells(const PlanPlate& plate) {
    int used = 0;
    for (const PlanEntry& entry : plate.entries)
        used += entry.cells;
    return used;
}

void Price(const PlanProblem& problem, Plan& plan) {
    plan.cost = 0.0;
    for (const PlanPlate& plate : plan.plates)
        plan.cost += problem.costs.plateCost + problem.costs.sheetCost * plate.pressCount;
}

// Lays a plate's entries out with the engine, in the order placing them
// would take. Entries whose items find no room are left off and returned.
std::vector<PlanEntry> LayOut(const PlanProblem& problem, PlanPlate& plate) {
    PlateProperties properties = problem.presets[plate.preset].properties;
    properties.pressCount = plate.pressCount;
    CTesselDoc doc;
    doc.SetProperties(properties);
    std::vector<PlanEntry> entries = plate.entries;
    if (properties.arrangeMaxJob)
        std::stable_sort(entries.begin(), entries.end(),
                         [&](const PlanEntry& a, const PlanEntry& b) {
                             return problem.orders[a.order].pcases > problem.orders[b.order].pcases;
                         });
    std::vector<PlanEntry> kept, rejected;
    for (size_t e = 0; e < entries.size(); ++e) {
        const PlanEntry& entry = entries[e];
        const PlanOrder& order = problem.orders[entry.order];
        const QString tag = QString::number(e);
        const int cases = entry.caseIndex < 0 ? order.pcases : 1;
        const int items = cases * order.itemsPerCase[plate.preset] * entry.copies;
        bool placed = true;
        for (int i = 0; i < items && placed; ++i) {
            auto item = std::make_unique<CZelItem>();
            item->ordernum = tag;
            item->width = order.width;
            item->height = order.height;
            placed = doc.AddItemAtSlot(std::move(item), 0.0, 0.0);
        }
        if (placed) {
            kept.push_back(entry);
        } else {
            doc.RemoveOrder(tag);
            rejected.push_back(entry);
        }
    }
    plate.entries = kept;
    return rejected;
}

// Makes every plate hold what the engine can lay out; what does not fit
// goes onto further plates of the same kind.
void Settle(const PlanProblem& problem, Plan& plan) {
    std::vector<PlanPlate> overflow;
    for (PlanPlate& plate : plan.plates)
        for (const PlanEntry& entry : LayOut(problem, plate)) {
            bool placed = false;
            for (PlanPlate& extra : overflow) {
                if (extra.preset != plate.preset || extra.pressCount != plate.pressCount ||
                    UsedCells(extra) + entry.cells > problem.presets[plate.preset].cells)
                    continue;
                extra.entries.push_back(entry);
                if (LayOut(problem, extra).empty()) {
                    placed = true;
                    break;
                }
            }
            if (placed)
                continue;
            PlanPlate extra{plate.preset, plate.pressCount, {entry}};
            if (LayOut(problem, extra).empty())
                overflow.push_back(extra);
            else
                plan.unplanned.push_back(
                    {entry.order,
                     QStringLiteral("its items do not fit one plate of %1 at %2 sheets as "
                                    "the arrangement lays them")
                         .arg(problem.presets[plate.preset].name)
                         .arg(plate.pressCount)});
        }
    plan.plates.erase(std::remove_if(plan.plates.begin(), plan.plates.end(),
                                     [](const PlanPlate& p) { return p.entries.empty(); }),
                      plan.plates.end());
    plan.plates.insert(plan.plates.end(), overflow.begin(), overflow.end());
    // An order left off one plate goes whole; its other parts go with it.
    for (const Plan::Refusal& refusal : plan.unplanned)
        for (PlanPlate& plate : plan.plates)
            plate.entries.erase(
                std::remove_if(plate.entries.begin(), plate.entries.end(),
                               [&](const PlanEntry& e) { return e.order == refusal.order; }),
                plate.entries.end());
    plan.plates.erase(std::remove_if(plan.plates.begin(), plan.plates.end(),
                                     [](const PlanPlate& p) { return p.entries.empty(); }),
                      plan.plates.end());
    Price(problem, plan);
}

// First fit decreasing with every new plate at one press count; a unit that
// does not fit a plate at that count gets one at the least count it fits.
Plan FirstFitAt(const PlanProblem& problem, const Units& units, const std::vector<int>& order,
                int pressCount, const std::vector<std::vector<int>>& candidates) {
    Plan plan;
    plan.unplanned = units.refusals;
    for (int u : order) {
        const Unit& unit = units.units[u];
        bool placed = false;
        for (PlanPlate& plate : plan.plates) {
            if (!Fits(problem, unit, plate.preset, plate.pressCount) ||
                UsedCells(plate) + Cells(unit, plate.preset, plate.pressCount) >
                    problem.presets[plate.preset].cells)
                continue;
            plate.entries.push_back(EntryOf(unit, plate.preset, plate.pressCount));
            placed = true;
            break;
        }
        if (placed)
            continue;
        int preset = -1, count = 0;
        for (size_t p = 0; p < problem.presets.size() && preset < 0; ++p)
            if (Fits(problem, unit, static_cast<int>(p), pressCount)) {
                preset = static_cast<int>(p);
                count = pressCount;
            }
        for (size_t p = 0; p < problem.presets.size() && preset < 0; ++p)
            for (int candidate : candidates[p])
                if (Fits(problem, unit, static_cast<int>(p), candidate)) {
                    preset = static_cast<int>(p);
                    count = candidate;
                    break;
                }
        if (preset < 0) {
            plan.unplanned.push_back(
                {unit.order, QStringLiteral("it fits no plate at any press count")});
            continue;
        }
        plan.plates.push_back({preset, count, {EntryOf(unit, preset, count)}});
    }
    Price(problem, plan);
    return plan;
}

std::vector<int> LargestFirst(const Units& units) {
    std::vector<int> order(units.units.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Unit& x = units.units[a];
        const Unit& y = units.units[b];
        if (x.sheets != y.sheets)
            return x.sheets > y.sheets;
        return *std::max_element(x.cellsPerCopy.begin(), x.cellsPerCopy.end()) >
               *std::max_element(y.cellsPerCopy.begin(), y.cellsPerCopy.end());
    });
    return order;
}

std::vector<std::vector<int>> AllCandidates(const PlanProblem& problem,
                                            const PlanOptions& options) {
    std::vector<std::vector<int>> candidates;
    for (size_t p = 0; p < problem.presets.size(); ++p)
        candidates.push_back(CandidatePressCounts(problem, static_cast<int>(p), options));
    return candidates;
}

Plan Greedy(const PlanProblem& problem, const PlanOptions& options, const Units& units,
            const std::vector<std::vector<int>>& candidates) {
    std::set<int> counts;
    for (const std::vector<int>& list : candidates)
        counts.insert(list.begin(), list.end());
    const std::vector<int> order = LargestFirst(units);
    Plan best;
    bool any = false;
    for (int count : counts) {
        Plan plan = FirstFitAt(problem, units, order, count, candidates);
        if (!any || plan.unplanned.size() < best.unplanned.size() ||
            (plan.unplanned.size() == best.unplanned.size() && plan.cost < best.cost)) {
            best = std::move(plan);
            any = true;
        }
    }
    if (!any)
        best.unplanned = units.refusals;
    Settle(problem, best);
    return best;
}

// A plate kind of the programme: a preset at a press count.
struct Kind {
    int preset = 0;
    int pressCount = 0;
};

// Packs the units the programme put on one kind onto its plates, largest
// first; with splitting a unit's copies may spread over several plates.
void PackKind(const PlanProblem& problem, const Kind& kind,
              std::vector<std::pair<const Unit*, int>> units, bool split, Plan& plan) {
    const int capacity = problem.presets[kind.preset].cells;
    std::stable_sort(units.begin(), units.end(), [&](const auto& a, const auto& b) {
        return a.first->cellsPerCopy[kind.preset] * a.second >
               b.first->cellsPerCopy[kind.preset] * b.second;
    });
    const size_t first = plan.plates.size();
    for (const auto& [placedUnit, unitCopies] : units) {
        const Unit* unit = placedUnit;
        int copies = unitCopies;
        const int perCopy = unit->cellsPerCopy[kind.preset];
        while (copies > 0) {
            PlanPlate* target = nullptr;
            int take = 0;
            for (size_t p = first; p < plan.plates.size() && !target; ++p) {
                const int room = (capacity - UsedCells(plan.plates[p])) / perCopy;
                if (room >= copies || (split && room > 0)) {
                    target = &plan.plates[p];
                    take = std::min(room, copies);
                }
            }
            if (!target) {
                plan.plates.push_back({kind.preset, kind.pressCount, {}});
                target = &plan.plates.back();
                take = std::min(copies, capacity / perCopy);
            }
            // Copies of one unit on one plate make one entry.
            auto same = std::find_if(
                target->entries.begin(), target->entries.end(), [&](const PlanEntry& e) {
                    return e.order == unit->order && e.caseIndex == unit->caseIndex;
                });
            if (same != target->entries.end()) {
                same->copies += take;
                same->cells += take * perCopy;
            } else {
                target->entries.push_back(EntryOf(*unit, kind.preset, kind.pressCount, take));
            }
            copies -= take;
        }
    }
}

std::string ColumnName(int column) {
    return "c" + std::to_string(column);
}

} // namespace

std::vector<int> CandidatePressCounts(const PlanProblem& problem, int preset,
                                      const PlanOptions& options) {
    const PlanPreset& p = problem.presets.at(preset);
    if (!p.unusable.isEmpty())
        return {};
    std::set<int> drawn; // from the orders' sheet counts
    int largest = 0;
    for (const PlanOrder& order : problem.orders) {
        if (!order.FitsPreset(preset))
            continue;
        largest = std::max(largest, order.sheets);
        // The least press count at which k copies still print the sheets.
        for (int k = 1; k <= 4; ++k)
            drawn.insert(CopiesFor(order.sheets, k));
    }
    if (drawn.empty())
        return {};
    std::set<int> usual;
    for (int run : options.runLengths)
        if (run >= 1 && run <= largest)
            usual.insert(run);
    if (p.properties.pressCount >= 1 && p.properties.pressCount <= largest)
        usual.insert(p.properties.pressCount);
    std::vector<int> list(drawn.begin(), drawn.end());
    const int room = std::max(1, options.maxPressCounts - static_cast<int>(usual.size()));
    std::set<int> chosen(usual);
    if (static_cast<int>(list.size()) <= room) {
        chosen.insert(list.begin(), list.end());
    } else {
        // Evenly over the sorted counts, the largest always among them.
        for (int i = 0; i < room; ++i)
            chosen.insert(list[static_cast<size_t>(
                std::llround(static_cast<double>(i) * (list.size() - 1) / std::max(1, room - 1)))]);
    }
    return {chosen.begin(), chosen.end()};
}

Plan GreedyPlan(const PlanProblem& problem, const PlanOptions& options) {
    return Greedy(problem, options, MakeUnits(problem, options.split),
                  AllCandidates(problem, options));
}

Plan NaivePlan(const PlanProblem& problem) {
    const Units units = MakeUnits(problem, false);
    Plan plan;
    plan.unplanned = units.refusals;
    for (const Unit& unit : units.units) {
        int preset = -1;
        for (size_t p = 0; p < problem.presets.size() && preset < 0; ++p)
            if (Fits(problem, unit, static_cast<int>(p), unit.sheets))
                preset = static_cast<int>(p);
        if (preset < 0) {
            plan.unplanned.push_back(
                {unit.order, QStringLiteral("it fits no plate at its own sheet count")});
            continue;
        }
        plan.plates.push_back({preset, unit.sheets, {EntryOf(unit, preset, unit.sheets)}});
    }
    Price(problem, plan);
    return plan;
}

Plan SolvePlan(const PlanProblem& problem, const PlanOptions& options) {
    QElapsedTimer clock;
    clock.start();
    const Units units = MakeUnits(problem, options.split);
    std::vector<std::vector<int>> candidates = AllCandidates(problem, options);
    const Plan start = Greedy(problem, options, units, candidates);
    // The starting plan's press counts are kinds of the programme too.
    for (const PlanPlate& plate : start.plates) {
        std::vector<int>& list = candidates[plate.preset];
        if (std::find(list.begin(), list.end(), plate.pressCount) == list.end())
            list.insert(std::upper_bound(list.begin(), list.end(), plate.pressCount),
                        plate.pressCount);
    }
    if (units.units.empty()) {
        Plan plan = start;
        plan.bound = plan.cost;
        plan.optimal = true;
        plan.seconds = clock.elapsed() / 1000.0;
        return plan;
    }

    std::vector<Kind> kinds;
    std::map<std::pair<int, int>, int> kindIndex;
    for (size_t p = 0; p < candidates.size(); ++p)
        for (int count : candidates[p]) {
            kindIndex[{static_cast<int>(p), count}] = static_cast<int>(kinds.size());
            kinds.push_back({static_cast<int>(p), count});
        }

    // Columns: plates of each kind, then per unit and kind the unit's
    // choice (whole: on it or not; split: copies on it, and whether any).
    std::vector<double> lower, upper, objective;
    std::vector<int> integers;
    auto addColumn = [&](double lo, double hi, double cost) {
        lower.push_back(lo);
        upper.push_back(hi);
        objective.push_back(cost);
        integers.push_back(static_cast<int>(lower.size()) - 1);
        return static_cast<int>(lower.size()) - 1;
    };
    std::vector<int> plateColumn(kinds.size());
    for (size_t k = 0; k < kinds.size(); ++k)
        plateColumn[k] = addColumn(
            0.0, 0.0, problem.costs.plateCost + problem.costs.sheetCost * kinds[k].pressCount);
    struct Choice {
        int unit, kind, column, usedColumn; // usedColumn: split only
    };
    std::vector<Choice> choices;
    std::vector<std::vector<int>> choicesOfUnit(units.units.size());
    for (size_t u = 0; u < units.units.size(); ++u) {
        const Unit& unit = units.units[u];
        for (size_t k = 0; k < kinds.size(); ++k) {
            const Kind& kind = kinds[k];
            if (unit.cellsPerCopy[kind.preset] <= 0 ||
                unit.cellsPerCopy[kind.preset] > problem.presets[kind.preset].cells)
                continue;
            if (!options.split && !Fits(problem, unit, kind.preset, kind.pressCount))
                continue;
            Choice choice{static_cast<int>(u), static_cast<int>(k), -1, -1};
            if (options.split) {
                choice.column = addColumn(0.0, CopiesFor(unit.sheets, kind.pressCount), 0.0);
                choice.usedColumn = addColumn(0.0, 1.0, 0.0);
            } else {
                choice.column = addColumn(0.0, 1.0, 0.0);
            }
            choicesOfUnit[u].push_back(static_cast<int>(choices.size()));
            choices.push_back(choice);
            // Plates of a kind: at most one per unit that can go on it.
            upper[plateColumn[k]] += options.split ? CopiesFor(unit.sheets, kind.pressCount) : 1.0;
        }
    }

    // Rows gathered as triplets: appending rows one by one to the matrix
    // copies it each time.
    std::vector<int> tripletRows, tripletColumns;
    std::vector<double> tripletValues;
    std::vector<double> rowLower, rowUpper;
    auto addRow = [&](const CoinPackedVector& row, double lo, double hi) {
        const int index = static_cast<int>(rowLower.size());
        for (int e = 0; e < row.getNumElements(); ++e) {
            tripletRows.push_back(index);
            tripletColumns.push_back(row.getIndices()[e]);
            tripletValues.push_back(row.getElements()[e]);
        }
        rowLower.push_back(lo);
        rowUpper.push_back(hi);
    };
    const double infinity = COIN_DBL_MAX;
    // Every unit produced.
    for (size_t u = 0; u < units.units.size(); ++u) {
        CoinPackedVector row;
        for (int c : choicesOfUnit[u]) {
            const Choice& choice = choices[c];
            row.insert(choice.column, options.split ? kinds[choice.kind].pressCount : 1.0);
        }
        if (options.split)
            addRow(row, units.units[u].sheets, infinity);
        else
            addRow(row, 1.0, 1.0);
    }
    // Cells of a kind within its plates; each unit on it opens one at least;
    // units over half a plate each need a plate of their own.
    std::vector<std::vector<int>> choicesOfKind(kinds.size());
    for (size_t c = 0; c < choices.size(); ++c)
        choicesOfKind[choices[c].kind].push_back(static_cast<int>(c));
    for (size_t k = 0; k < kinds.size(); ++k) {
        if (choicesOfKind[k].empty())
            continue;
        const Kind& kind = kinds[k];
        const int capacity = problem.presets[kind.preset].cells;
        CoinPackedVector cells, big;
        for (int c : choicesOfKind[k]) {
            const Choice& choice = choices[c];
            const Unit& unit = units.units[choice.unit];
            if (options.split) {
                cells.insert(choice.column, unit.cellsPerCopy[kind.preset]);
                CoinPackedVector copies;
                copies.insert(choice.column, 1.0);
                copies.insert(choice.usedColumn, -CopiesFor(unit.sheets, kind.pressCount));
                addRow(copies, -infinity, 0.0);
                CoinPackedVector opens;
                opens.insert(choice.usedColumn, 1.0);
                opens.insert(plateColumn[k], -1.0);
                addRow(opens, -infinity, 0.0);
            } else {
                const int unitCells = Cells(unit, kind.preset, kind.pressCount);
                cells.insert(choice.column, unitCells);
                CoinPackedVector opens;
                opens.insert(choice.column, 1.0);
                opens.insert(plateColumn[k], -1.0);
                addRow(opens, -infinity, 0.0);
                if (2 * unitCells > capacity)
                    big.insert(choice.column, 1.0);
            }
        }
        cells.insert(plateColumn[k], -capacity);
        addRow(cells, -infinity, 0.0);
        if (big.getNumElements() > 1) {
            big.insert(plateColumn[k], -1.0);
            addRow(big, -infinity, 0.0);
        }
    }

    const CoinPackedMatrix rows(false, tripletRows.data(), tripletColumns.data(),
                                tripletValues.data(),
                                static_cast<CoinBigIndex>(tripletValues.size()));
    OsiClpSolverInterface solver;
    solver.loadProblem(rows, lower.data(), upper.data(), objective.data(), rowLower.data(),
                       rowUpper.data());
    for (int column : integers)
        solver.setInteger(column);
    for (size_t c = 0; c < lower.size(); ++c)
        solver.setColName(static_cast<int>(c), ColumnName(static_cast<int>(c)));
    solver.messageHandler()->setLogLevel(0);

    // The starting plan as values of the columns.
    std::vector<double> startValues(lower.size(), 0.0);
    for (const PlanPlate& plate : start.plates) {
        const int k = kindIndex.at({plate.preset, plate.pressCount});
        startValues[plateColumn[k]] += 1.0;
        for (const PlanEntry& entry : plate.entries)
            for (size_t u = 0; u < units.units.size(); ++u) {
                const Unit& unit = units.units[u];
                if (unit.order != entry.order || unit.caseIndex != entry.caseIndex)
                    continue;
                for (int c : choicesOfUnit[u])
                    if (choices[c].kind == k) {
                        startValues[choices[c].column] += options.split ? entry.copies : 1.0;
                        if (options.split)
                            startValues[choices[c].usedColumn] = 1.0;
                    }
            }
    }
    std::vector<std::pair<std::string, double>> mipStart;
    // Columns left out start at 0; naming all of them costs seconds.
    for (size_t c = 0; c < startValues.size(); ++c)
        if (startValues[c] != 0.0)
            mipStart.emplace_back(ColumnName(static_cast<int>(c)), startValues[c]);

    CbcModel model(solver);
    CbcMain0(model);
    model.setMIPStart(mipStart);
    model.setLogLevel(0);
    const double remaining = std::max(0.5, options.timeLimit - clock.elapsed() / 1000.0);
    const std::string seconds = std::to_string(remaining);
    // TESSEL_PLAN_LOG shows the solver's own progress on standard output.
    const char* log = qEnvironmentVariableIsSet("TESSEL_PLAN_LOG") ? "1" : "0";
    const char* argv[] = {"tessel-planner", "-log",          log,         "-timeMode", "elapsed",
                          "-seconds",       seconds.c_str(), "-ratioGap", "0.0001",    "-solve",
                          "-quit"};
    CbcMain1(static_cast<int>(sizeof(argv) / sizeof(argv[0])), argv, model);

    Plan plan = start;
    const double* best = model.bestSolution();
    if (best) {
        Plan solved;
        solved.unplanned = units.refusals;
        std::vector<std::vector<std::pair<const Unit*, int>>> onKind(kinds.size());
        for (const Choice& choice : choices) {
            const double value = best[choice.column];
            const int copies = static_cast<int>(std::llround(value));
            if (copies <= 0)
                continue;
            const Unit& unit = units.units[choice.unit];
            onKind[choice.kind].push_back(
                {&unit,
                 options.split ? copies : CopiesFor(unit.sheets, kinds[choice.kind].pressCount)});
        }
        for (size_t k = 0; k < kinds.size(); ++k)
            if (!onKind[k].empty())
                PackKind(problem, kinds[k], onKind[k], options.split, solved);
        Settle(problem, solved);
        if (solved.unplanned.size() <= start.unplanned.size() && solved.cost < start.cost)
            plan = std::move(solved);
    }
    plan.bound = std::min(plan.cost, std::max(0.0, model.getBestPossibleObjValue()));
    // The search stops within this gap of the bound and calls it proven.
    plan.optimal = model.isProvenOptimal() && plan.Gap() <= 1e-4 + 1e-9;
    plan.timeLimitReached = model.maximumSecondsReached();
    plan.seconds = clock.elapsed() / 1000.0;
    return plan;
}

} // namespace planner
