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
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <queue>
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
    // Large items first leave fewer holes; placing the orders in the plan's
    // order does the same.
    std::stable_sort(entries.begin(), entries.end(), [&](const PlanEntry& a, const PlanEntry& b) {
        return problem.orders[a.order].cellsPerItem[plate.preset] >
               problem.orders[b.order].cellsPerItem[plate.preset];
    });
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

// Runs each plate of whole orders at the least press count at which the
// engine still lays out all its orders (at most a few tries a plate).
void LowerLaidOut(const PlanProblem& problem, Plan& plan) {
    for (PlanPlate& plate : plan.plates) {
        const int capacity = problem.presets[plate.preset].cells;
        std::set<int> counts;
        for (const PlanEntry& entry : plate.entries) {
            const PlanOrder& order = problem.orders[entry.order];
            const int perCopy = order.pcases * order.CellsPerCopy(plate.preset);
            for (int k = 1; k * perCopy <= capacity; ++k)
                counts.insert(CopiesFor(order.sheets, k));
        }
        int tries = 0;
        for (int count : counts) {
            if (count >= plate.pressCount || tries >= 6)
                break;
            PlanPlate trial{plate.preset, count, {}};
            int cells = 0;
            for (const PlanEntry& entry : plate.entries) {
                const PlanOrder& order = problem.orders[entry.order];
                const int copies = CopiesFor(order.sheets, count);
                const int entryCells = order.pcases * order.CellsPerCopy(plate.preset) * copies;
                trial.entries.push_back({entry.order, entry.caseIndex, copies, entryCells});
                cells += entryCells;
            }
            if (cells > capacity)
                continue;
            ++tries;
            if (LayOut(problem, trial).empty()) {
                plate = trial;
                break;
            }
        }
    }
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
    // One pass per count a plate is likely to run at: an order's own sheets
    // or a usual run length (all candidates would take thousands of passes).
    std::set<int> counts;
    for (const Unit& unit : units.units)
        counts.insert(unit.sheets);
    for (size_t p = 0; p < candidates.size(); ++p)
        for (int count : candidates[p])
            if (std::count(options.runLengths.begin(), options.runLengths.end(), count) > 0 ||
                count == problem.presets[p].properties.pressCount)
                counts.insert(count);
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

// A plate of the programme: a preset at a press count and the copies of
// each unit it carries.
struct Pattern {
    int preset = 0;
    int pressCount = 0;
    std::vector<std::pair<int, int>> copies; // (unit, copies), units ascending
};

double PlateCost(const PlanProblem& problem, int pressCount) {
    return problem.costs.plateCost + problem.costs.sheetCost * pressCount;
}

// How much of a unit a pattern produces. A whole order is produced or not;
// a case split over plates gets the share copies × press count of its
// sheets, counted up to all of them, so that the shares of any plan that
// produces the case add up to at least one.
double Share(const Unit& unit, int pressCount, int copies, bool split) {
    if (!split)
        return copies > 0 ? 1.0 : 0.0;
    return std::min(1.0, static_cast<double>(copies) * pressCount / unit.sheets);
}

// The most a plate of `capacity` cells is worth when each unit's share is
// worth its price. Whole units are one item of all their cells; split units
// one item per copy, of decreasing worth (the last copy only tops its sheets
// up). Exact, by dynamic programming over the cells.
struct Knapsack {
    struct Item {
        int unit;
        int weight;
        double value;
    };
    std::vector<Item> items;
    std::vector<double> best;
    std::vector<unsigned char> took; // items × (capacity + 1)

    double Solve(const PlanProblem& problem, const std::vector<Unit>& units,
                 const std::vector<double>& prices, int preset, int pressCount, bool split) {
        const int capacity = problem.presets[preset].cells;
        items.clear();
        for (size_t u = 0; u < units.size(); ++u) {
            const Unit& unit = units[u];
            const int perCopy = unit.cellsPerCopy[preset];
            if (prices[u] <= 0.0 || perCopy <= 0)
                continue;
            const int needed = CopiesFor(unit.sheets, pressCount);
            if (!split) {
                if (perCopy * needed <= capacity)
                    items.push_back({static_cast<int>(u), perCopy * needed, prices[u]});
                continue;
            }
            const int copies = std::min(needed, capacity / perCopy);
            for (int c = 1; c <= copies; ++c)
                items.push_back({static_cast<int>(u), perCopy,
                                 prices[u] * (Share(unit, pressCount, c, true) -
                                              Share(unit, pressCount, c - 1, true))});
        }
        best.assign(capacity + 1, 0.0);
        took.assign(items.size() * (capacity + 1), 0);
        for (size_t i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
            unsigned char* row = &took[i * (capacity + 1)];
            for (int c = capacity; c >= item.weight; --c)
                if (best[c - item.weight] + item.value > best[c]) {
                    best[c] = best[c - item.weight] + item.value;
                    row[c] = 1;
                }
        }
        return best[capacity];
    }

    // The units and copies of the last solution.
    std::vector<std::pair<int, int>> Taken(int capacity) const {
        std::map<int, int> copies;
        int c = capacity;
        for (size_t i = items.size(); i-- > 0;)
            if (took[i * (capacity + 1) + c]) {
                ++copies[items[i].unit];
                c -= items[i].weight;
            }
        return {copies.begin(), copies.end()};
    }
};

// The least press count at which a whole-unit plate still carries its units
// in its cells: lowering a plate's count never adds copies, and ends at a
// count where some unit's copies just print its sheets.
int LeastPressCount(const PlanProblem& problem, const std::vector<Unit>& units,
                    const Pattern& pattern) {
    std::set<int> counts;
    for (const auto& [u, copies] : pattern.copies)
        for (int k = 1;
             k * units[u].cellsPerCopy[pattern.preset] <= problem.presets[pattern.preset].cells;
             ++k)
            counts.insert(CopiesFor(units[u].sheets, k));
    for (int count : counts) {
        if (count >= pattern.pressCount)
            break;
        int cells = 0;
        for (const auto& [u, copies] : pattern.copies)
            cells += Cells(units[u], pattern.preset, count);
        if (cells <= problem.presets[pattern.preset].cells)
            return count;
    }
    return pattern.pressCount;
}

// The plates of a plan as patterns (copies summed per unit and plate).
std::vector<Pattern> PatternsOf(const Plan& plan, const std::vector<Unit>& units) {
    std::map<std::pair<int, int>, int> unitOf;
    for (size_t u = 0; u < units.size(); ++u)
        unitOf[{units[u].order, units[u].caseIndex}] = static_cast<int>(u);
    std::vector<Pattern> patterns;
    for (const PlanPlate& plate : plan.plates) {
        std::map<int, int> copies;
        for (const PlanEntry& entry : plate.entries) {
            const auto u = unitOf.find({entry.order, entry.caseIndex});
            if (u != unitOf.end())
                copies[u->second] += entry.copies;
        }
        patterns.push_back({plate.preset, plate.pressCount, {copies.begin(), copies.end()}});
    }
    return patterns;
}

// The smallest multiple of the cost's unit at or above a bound: with whole
// costs, every plan costs a multiple of gcd(plate cost, sheet cost).
double RoundUpToCostUnit(const PlanProblem& problem, double bound) {
    const double plate = problem.costs.plateCost, sheet = problem.costs.sheetCost;
    if (plate != std::floor(plate) || sheet != std::floor(sheet) || plate > 1e12 || sheet > 1e12)
        return bound;
    const long long unit = std::gcd(static_cast<long long>(plate), static_cast<long long>(sheet));
    if (unit <= 0)
        return bound;
    // The tolerance keeps rounding error in the bound from lifting it a unit.
    return std::ceil(bound / unit - 1e-6) * static_cast<double>(unit);
}

// Repacking two plates of whole units: the cheapest one or two plates that
// carry the same units, each plate a preset and press count of its own.
class PairRepacker {
public:
    PairRepacker(const PlanProblem& problem, const std::vector<Unit>& units)
        : problem_(problem), units_(units) {}

    // The cheaper plates for the units of a and b, or none when they are
    // already the cheapest.
    std::optional<std::vector<Pattern>> Repack(const Pattern& a, const Pattern& b) {
        members_.clear();
        for (const Pattern* plate : {&a, &b})
            for (const auto& [u, copies] : plate->copies)
                members_.push_back(u);
        const double current =
            PlateCost(problem_, a.pressCount) + PlateCost(problem_, b.pressCount);
        double best = current * (1.0 - 1e-12);
        std::optional<std::vector<Pattern>> found;
        const int presets = static_cast<int>(problem_.presets.size());
        for (int p = 0; p < presets; ++p) {
            const std::vector<int> counts = Counts(p);
            // All on one plate: its least press count.
            for (int count : counts)
                if (Fits(p, count)) {
                    if (PlateCost(problem_, count) < best) {
                        best = PlateCost(problem_, count);
                        found = std::vector<Pattern>{Plate(p, count, members_)};
                    }
                    break;
                }
            for (int q = p; q < presets; ++q) {
                const std::vector<int> others = p == q ? counts : Counts(q);
                // For each first count, the second counts that would make the
                // pair cheaper: none when the dearest of them fails, else the
                // least that still carries the rest.
                for (int count : counts) {
                    const double room =
                        problem_.costs.sheetCost > 0.0
                            ? (best - PlateCost(problem_, count) - problem_.costs.plateCost) /
                                  problem_.costs.sheetCost
                            : std::numeric_limits<double>::infinity();
                    int j = static_cast<int>(std::lower_bound(others.begin(), others.end(),
                                                              std::ceil(room - 1e-9)) -
                                             others.begin()) -
                            1;
                    if (j < 0 || (p == q && others[j] < count))
                        break;
                    if (!Split(p, count, q, others[j]))
                        continue;
                    while (j > 0 && (p != q || others[j - 1] >= count) &&
                           Split(p, count, q, others[j - 1]))
                        --j;
                    Split(p, count, q, others[j]);
                    best = PlateCost(problem_, count) + PlateCost(problem_, others[j]);
                    found = Plates(p, count, q, others[j]);
                }
            }
        }
        return found;
    }

private:
    // Cells a member covers on a plate; anything past the plate's cells
    // counts as one over, so that sums stay small.
    int Weight(int u, int preset, int count) const {
        const long long perCopy = units_[u].cellsPerCopy[preset];
        const int capacity = problem_.presets[preset].cells;
        return perCopy > 0 ? static_cast<int>(std::min<long long>(
                                 perCopy * CopiesFor(units_[u].sheets, count), capacity + 1))
                           : kNever;
    }

    // Counts at which some member's copies just print its sheets: between
    // two of them no member's cells change.
    std::vector<int> Counts(int preset) const {
        std::set<int> counts;
        const int capacity = problem_.presets[preset].cells;
        for (int u : members_) {
            const int perCopy = units_[u].cellsPerCopy[preset];
            for (int k = 1; perCopy > 0 && k * perCopy <= capacity; ++k)
                counts.insert(CopiesFor(units_[u].sheets, k));
        }
        return {counts.begin(), counts.end()};
    }

    bool Fits(int preset, int count) const {
        long long cells = 0;
        for (int u : members_)
            cells += Weight(u, preset, count);
        return cells <= problem_.presets[preset].cells;
    }

    // Whether the members go on a plate of preset p at count and one of q at
    // second: the most cells of q a first plate can take off the second, by
    // dynamic programming over the first plate's cells. Keeps the choice.
    bool Split(int p, int count, int q, int second) {
        const int capacity = problem_.presets[p].cells;
        const size_t n = members_.size();
        // Most pairs of counts fail; the fractional bound on what the first
        // plate can take off the second rules them out without the table.
        {
            long long onSecond = 0;
            int room = capacity;
            ratios_.clear();
            for (int u : members_) {
                const int first = Weight(u, p, count), other = Weight(u, q, second);
                if (other == kNever && first == kNever)
                    return false;
                if (other == kNever)
                    room -= first;
                else
                    onSecond += other;
                if (other != kNever && first <= capacity)
                    ratios_.push_back({first, other});
            }
            if (room < 0)
                return false;
            std::sort(ratios_.begin(), ratios_.end(), [](const auto& x, const auto& y) {
                return static_cast<long long>(x.second) * y.first >
                       static_cast<long long>(y.second) * x.first;
            });
            double relief = 0.0;
            for (const auto& [first, other] : ratios_) {
                if (room <= 0)
                    break;
                const int taken = std::min(room, first);
                relief += static_cast<double>(other) * taken / first;
                room -= taken;
            }
            if (onSecond - relief > problem_.presets[q].cells + 1e-9)
                return false;
        }
        relief_.assign(capacity + 1, -1);
        relief_[0] = 0;
        took_.assign(n * (capacity + 1), 0);
        long long onSecond = 0;
        for (size_t i = 0; i < n; ++i) {
            const int first = Weight(members_[i], p, count);
            const int other = Weight(members_[i], q, second);
            if (first == kNever && other == kNever)
                return false;
            if (other != kNever)
                onSecond += other;
            unsigned char* row = &took_[i * (capacity + 1)];
            if (first > capacity) {
                if (other == kNever)
                    return false;
                continue;
            }
            for (int c = capacity; c >= 0; --c) {
                const int from = c - first;
                const int gain = other == kNever ? 0 : other;
                const int moved = from >= 0 && relief_[from] >= 0 ? relief_[from] + gain : -1;
                if (other == kNever) {
                    // It can only go on the first plate.
                    relief_[c] = moved;
                    row[c] = 1;
                } else if (moved > relief_[c]) {
                    relief_[c] = moved;
                    row[c] = 1;
                }
            }
        }
        best_ =
            static_cast<int>(std::max_element(relief_.begin(), relief_.end()) - relief_.begin());
        return relief_[best_] >= 0 && onSecond - relief_[best_] <= problem_.presets[q].cells;
    }

    std::vector<Pattern> Plates(int p, int count, int q, int second) const {
        const int capacity = problem_.presets[p].cells;
        std::vector<int> first, other;
        int c = best_;
        for (size_t i = members_.size(); i-- > 0;) {
            if (took_[i * (capacity + 1) + c]) {
                first.push_back(members_[i]);
                c -= Weight(members_[i], p, count);
            } else {
                other.push_back(members_[i]);
            }
        }
        std::vector<Pattern> plates;
        if (!first.empty())
            plates.push_back(Plate(p, count, first));
        if (!other.empty())
            plates.push_back(Plate(q, second, other));
        return plates;
    }

    Pattern Plate(int preset, int count, std::vector<int> members) const {
        std::sort(members.begin(), members.end());
        Pattern plate{preset, count, {}};
        for (int u : members)
            plate.copies.emplace_back(u, CopiesFor(units_[u].sheets, count));
        return plate;
    }

    static constexpr int kNever = std::numeric_limits<int>::max(); // cannot go there
    const PlanProblem& problem_;
    const std::vector<Unit>& units_;
    std::vector<int> members_;
    std::vector<int> relief_;
    std::vector<std::pair<int, int>> ratios_; // (cells on the first plate, on the second)
    std::vector<unsigned char> took_;
    int best_ = 0;
};

// Repacks pairs of plates until no pair gets cheaper (or time runs out). A
// pair is tried again only when one of its plates has changed.
void RepackPairs(const PlanProblem& problem, const std::vector<Unit>& units,
                 std::vector<Pattern>& plates, const std::function<bool()>& timeUp) {
    plates.erase(std::remove_if(plates.begin(), plates.end(),
                                [](const Pattern& p) { return p.copies.empty(); }),
                 plates.end());
    for (Pattern& plate : plates)
        plate.pressCount = LeastPressCount(problem, units, plate);
    PairRepacker repacker(problem, units);
    std::vector<int> ids(plates.size());
    std::iota(ids.begin(), ids.end(), 0);
    int nextId = static_cast<int>(plates.size());
    std::set<std::pair<int, int>> tried;
    bool improved = true;
    while (improved && !timeUp()) {
        improved = false;
        for (size_t a = 0; a < plates.size(); ++a)
            for (size_t b = a + 1; b < plates.size() && !timeUp(); ++b) {
                if (!tried.insert({ids[a], ids[b]}).second)
                    continue;
                std::optional<std::vector<Pattern>> better = repacker.Repack(plates[a], plates[b]);
                if (!better)
                    continue;
                plates.erase(plates.begin() + b);
                plates.erase(plates.begin() + a);
                ids.erase(ids.begin() + b);
                ids.erase(ids.begin() + a);
                for (const Pattern& plate : *better) {
                    plates.push_back(plate);
                    ids.push_back(nextId++);
                }
                improved = true;
                b = a; // the plate at a is another now
            }
    }
}

// The plan of a set of plates: whole units at the least press count that
// carries them, every plate laid out with the engine.
Plan LaidOut(const PlanProblem& problem, const Units& units, std::vector<Pattern> plates,
             bool split, std::vector<Plan::Refusal> unplanned) {
    Plan plan;
    plan.unplanned = std::move(unplanned);
    for (Pattern& plate : plates) {
        if (plate.copies.empty())
            continue;
        if (!split) {
            plate.pressCount = LeastPressCount(problem, units.units, plate);
            for (auto& [u, copies] : plate.copies)
                copies = CopiesFor(units.units[u].sheets, plate.pressCount);
        }
        PlanPlate out{plate.preset, plate.pressCount, {}};
        for (const auto& [u, copies] : plate.copies)
            out.entries.push_back(EntryOf(units.units[u], plate.preset, plate.pressCount, copies));
        plan.plates.push_back(std::move(out));
    }
    Settle(problem, plan);
    if (!split)
        LowerLaidOut(problem, plan);
    return plan;
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
    std::set<int> counts;
    int largest = 0;
    for (const PlanOrder& order : problem.orders) {
        const int perCopy = (options.split ? 1 : order.pcases) * order.CellsPerCopy(preset);
        if (!order.FitsPreset(preset) || order.sheets <= 0 || perCopy <= 0)
            continue;
        largest = std::max(largest, order.sheets);
        // Each count at which the order's copies just print its sheets.
        for (int k = 1; k * perCopy <= p.cells; ++k)
            counts.insert(CopiesFor(order.sheets, k));
    }
    if (counts.empty())
        return {};
    for (int run : options.runLengths)
        if (run >= 1 && run <= largest)
            counts.insert(run);
    if (p.properties.pressCount >= 1 && p.properties.pressCount <= largest)
        counts.insert(p.properties.pressCount);
    return {counts.begin(), counts.end()};
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

Plan RepackPlan(const PlanProblem& problem, const Plan& plan, const PlanOptions& options) {
    if (options.split)
        return plan;
    QElapsedTimer clock;
    clock.start();
    const Units units = MakeUnits(problem, false);
    // Only a plan of whole orders, each on one plate, is repacked: anything
    // else would lose or double an order.
    std::map<int, int> platesOfOrder;
    for (const PlanPlate& plate : plan.plates)
        for (const PlanEntry& entry : plate.entries) {
            if (entry.caseIndex >= 0)
                return plan;
            ++platesOfOrder[entry.order];
        }
    std::set<int> wholeUnits;
    for (const Unit& unit : units.units)
        wholeUnits.insert(unit.order);
    for (const auto& [order, count] : platesOfOrder)
        if (count != 1 || wholeUnits.count(order) == 0)
            return plan;
    std::vector<Pattern> plates = PatternsOf(plan, units.units);
    RepackPairs(problem, units.units, plates,
                [&] { return clock.elapsed() > options.timeLimit * 1000.0; });
    Plan repacked = LaidOut(problem, units, plates, false, plan.unplanned);
    if (repacked.unplanned.size() > plan.unplanned.size() || repacked.cost >= plan.cost)
        return plan;
    repacked.bound = std::min(plan.bound, repacked.cost);
    repacked.optimal = repacked.cost - repacked.bound <= 1e-9 * std::max(1.0, repacked.cost);
    repacked.seconds = plan.seconds + clock.elapsed() / 1000.0;
    return repacked;
}

Plan SolvePlan(const PlanProblem& problem, const PlanOptions& options) {
    QElapsedTimer clock;
    clock.start();
    auto elapsed = [&] { return clock.elapsed() / 1000.0; };
    const Units units = MakeUnits(problem, options.split);
    const std::vector<std::vector<int>> candidates = AllCandidates(problem, options);
    const Plan start = Greedy(problem, options, units, candidates);
    if (units.units.empty()) {
        Plan plan = start;
        plan.bound = plan.cost;
        plan.optimal = true;
        plan.seconds = elapsed();
        return plan;
    }
    const std::vector<Unit>& list = units.units;
    const bool split = options.split;

    // The programme: how many plates of each pattern, every unit produced.
    // Patterns are priced in as the duals ask for them; the first are the
    // starting plan's plates and, so that every unit can be produced, one
    // plate per unit at its own sheet count.
    std::vector<Pattern> columns;
    std::map<std::pair<std::pair<int, int>, std::vector<std::pair<int, int>>>, int> columnOf;
    CoinPackedMatrix matrix(true, 0, 0);
    matrix.setDimensions(static_cast<int>(list.size()), 0);
    std::vector<double> columnCost;
    auto columnVector = [&](const Pattern& pattern) {
        CoinPackedVector column;
        for (const auto& [u, copies] : pattern.copies)
            column.insert(u, Share(list[u], pattern.pressCount, copies, split));
        return column;
    };
    // Index of the pattern's column; new columns go to the matrix or, once
    // loaded, to the master.
    OsiClpSolverInterface master;
    bool loaded = false;
    auto columnFor = [&](const Pattern& pattern) {
        const auto key =
            std::make_pair(std::make_pair(pattern.preset, pattern.pressCount), pattern.copies);
        const auto found = columnOf.find(key);
        if (found != columnOf.end())
            return found->second;
        const int index = static_cast<int>(columns.size());
        columns.push_back(pattern);
        columnOf.emplace(key, index);
        const double cost = PlateCost(problem, pattern.pressCount);
        columnCost.push_back(cost);
        if (loaded)
            master.addCol(columnVector(pattern), 0.0, COIN_DBL_MAX, cost);
        else
            matrix.appendCol(columnVector(pattern));
        return index;
    };
    std::vector<double> startValues;
    std::vector<bool> startCovers(list.size(), false);
    for (const Pattern& pattern : PatternsOf(start, list)) {
        if (pattern.copies.empty())
            continue;
        const int column = columnFor(pattern);
        startValues.resize(columns.size(), 0.0);
        startValues[column] += 1.0;
        for (const auto& [u, copies] : pattern.copies)
            startCovers[u] = true;
    }
    for (size_t u = 0; u < list.size(); ++u) {
        int preset = 0;
        while (list[u].cellsPerCopy[preset] <= 0 ||
               list[u].cellsPerCopy[preset] > problem.presets[preset].cells)
            ++preset;
        const int column = columnFor({preset, list[u].sheets, {{static_cast<int>(u), 1}}});
        startValues.resize(columns.size(), 0.0);
        // A unit the starting plan could not lay out starts on a plate of its own.
        if (!startCovers[u])
            startValues[column] += 1.0;
    }
    const std::vector<double> columnLower(columns.size(), 0.0);
    const std::vector<double> columnUpper(columns.size(), COIN_DBL_MAX);
    const std::vector<double> rowLower(list.size(), 1.0);
    const std::vector<double> rowUpper(list.size(), COIN_DBL_MAX);
    master.messageHandler()->setLogLevel(0);
    master.loadProblem(matrix, columnLower.data(), columnUpper.data(), columnCost.data(),
                       rowLower.data(), rowUpper.data());
    loaded = true;
    master.initialSolve();
    // New columns leave the basis primal feasible: primal simplex goes on from it.
    master.setHintParam(OsiDoDualInResolve, false, OsiHintDo);

    // Pricing: for every preset and candidate press count the plate its
    // units are worth most on. Any prices π ≥ 0 give a bound: when no plate
    // is worth more than it costs, Σπ is one (the duals of the relaxation);
    // else scaling π down until none is still gives one.
    // Most of the time goes to the bound; the search in whole plates starts
    // from a good plan and needs less.
    const double pricingEnd = 0.75 * options.timeLimit;
    const bool log = qEnvironmentVariableIsSet("TESSEL_PLAN_LOG");
    Knapsack knapsack;
    double bound = 0.0;
    bool converged = false;
    long long evaluations = 0;
    int rounds = 0;
    struct Priced {
        double reducedCost; // per unit of the plate's cost, at the programme's duals
        Pattern pattern;
    };
    // Prices every candidate plate at `prices`: returns the least cost /
    // worth of any plate, at most cap; gathers the plates worth more than
    // they cost in priced, and the plate of least cost / worth in best.
    auto price = [&](const std::vector<double>& prices, std::vector<Priced>* priced,
                     Pattern* best = nullptr, double cap = 1.0) {
        double scale = cap;
        auto worthAt = [&](int p, int i) {
            const int count = candidates[p][i];
            const double worth = knapsack.Solve(problem, list, prices, p, count, split);
            ++evaluations;
            if (worth > 0.0) {
                const double cost = PlateCost(problem, count);
                if (best && cost / worth < scale)
                    *best = {p, count, knapsack.Taken(problem.presets[p].cells)};
                scale = std::min(scale, cost / worth);
                if (priced && worth > cost * (1.0 + 1e-7))
                    priced->push_back({0.0, {p, count, knapsack.Taken(problem.presets[p].cells)}});
            }
            return worth;
        };
        // A plate's worth never falls as its press count rises (copies only
        // shrink) and its cost rises: over a run of candidates, cost at the
        // first over worth at the last bounds every cost / worth within. Runs
        // are halved, least bound first, until none can lower the scale.
        struct Run {
            double least;
            int preset, first, last;
            double worthAtLast;
            bool operator>(const Run& other) const { return least > other.least; }
        };
        std::priority_queue<Run, std::vector<Run>, std::greater<Run>> runs;
        auto addRun = [&](int p, int first, int last, double worthAtLast) {
            if (last - first > 1 && worthAtLast > 0.0)
                runs.push({PlateCost(problem, candidates[p][first]) / worthAtLast, p, first, last,
                           worthAtLast});
        };
        for (int p = 0; p < static_cast<int>(candidates.size()); ++p) {
            const int last = static_cast<int>(candidates[p].size()) - 1;
            if (last < 0)
                continue;
            worthAt(p, 0);
            if (last > 0)
                addRun(p, 0, last, worthAt(p, last));
        }
        while (!runs.empty() && runs.top().least < scale) {
            const Run run = runs.top();
            runs.pop();
            const int middle = (run.first + run.last) / 2;
            const double worth = worthAt(run.preset, middle);
            addRun(run.preset, run.first, middle, worth);
            addRun(run.preset, middle, run.last, run.worthAtLast);
        }
        return scale;
    };

    // Plans built a plate at a time, each the plate of least cost per worth
    // of the orders still to place, orders valued at a set of prices (or,
    // where those are 0, at a little of their share of a full plate at
    // their own sheets). Their plates join the programme; the cheapest plan
    // is the search's start, beside the first fit.
    std::vector<Pattern> startPatterns;
    double startCost = start.unplanned.size() > units.refusals.size()
                           ? std::numeric_limits<double>::infinity()
                           : start.cost;
    std::multimap<double, std::vector<Pattern>> plans; // every whole plan built, by cost
    double inPlateByPlate = 0.0;
    auto plateByPlate = [&](const std::vector<double>& valuation) {
        const double began = elapsed();
        std::vector<double> values(list.size());
        for (size_t u = 0; u < list.size(); ++u) {
            double own = 0.0;
            for (size_t p = 0; p < problem.presets.size(); ++p)
                if (list[u].cellsPerCopy[p] > 0)
                    own = std::max(own, PlateCost(problem, list[u].sheets) *
                                            list[u].cellsPerCopy[p] / problem.presets[p].cells);
            values[u] = std::max(valuation[u], 1e-3 * own);
        }
        std::vector<Pattern> plates;
        double cost = 0.0;
        size_t left = list.size();
        while (left > 0) {
            Pattern plate;
            price(values, nullptr, &plate, std::numeric_limits<double>::infinity());
            if (plate.copies.empty())
                break;
            plate.pressCount = LeastPressCount(problem, list, plate);
            for (auto& [u, copies] : plate.copies) {
                copies = CopiesFor(list[u].sheets, plate.pressCount);
                values[u] = 0.0;
                --left;
            }
            cost += PlateCost(problem, plate.pressCount);
            plates.push_back(plate);
            columnFor(plate);
        }
        if (left == 0)
            plans.emplace(cost, plates);
        if (log)
            std::fprintf(stderr, "plate by plate: %zu plates, cost %.0f, %.2f s\n", plates.size(),
                         cost, elapsed());
        if (left == 0 && cost < startCost) {
            startCost = cost;
            startPatterns = plates;
        }
        inPlateByPlate += elapsed() - began;
    };

    // The duals of the programme swing from round to round; pricing at a
    // point between them and the best-bounding prices so far (a stabilised
    // centre) needs far fewer rounds. When that finds nothing the
    // programme's own duals are priced, and when they find nothing the
    // relaxation is solved.
    const double kSmoothing = 0.9; // the centre's weight
    std::vector<double> duals(list.size(), 0.0), centre, point(list.size(), 0.0);
    while (master.isProvenOptimal()) {
        const double* rowPrice = master.getRowPrice();
        for (size_t u = 0; u < list.size(); ++u)
            duals[u] = std::max(0.0, rowPrice[u]);
        std::vector<Priced> priced;
        for (const bool stabilised : {true, false}) {
            if (stabilised && centre.empty())
                continue;
            for (size_t u = 0; u < list.size(); ++u)
                point[u] =
                    stabilised ? kSmoothing * centre[u] + (1.0 - kSmoothing) * duals[u] : duals[u];
            priced.clear();
            const double scale = price(point, &priced);
            const double total = std::accumulate(point.begin(), point.end(), 0.0);
            // A little off for the rounding in sums of prices.
            const double pointBound = scale * total * (1.0 - 1e-9);
            if (pointBound > bound || centre.empty()) {
                bound = std::max(bound, pointBound);
                centre = point;
            }
            // Keep the plates that lower the programme at its own duals.
            for (Priced& plate : priced) {
                double worth = 0.0;
                for (const auto& [u, copies] : plate.pattern.copies)
                    worth += duals[u] * Share(list[u], plate.pattern.pressCount, copies, split);
                const double cost = PlateCost(problem, plate.pattern.pressCount);
                plate.reducedCost = (cost - worth) / cost;
            }
            priced.erase(std::remove_if(priced.begin(), priced.end(),
                                        [](const Priced& p) { return p.reducedCost > -1e-7; }),
                         priced.end());
            if (!priced.empty())
                break;
        }
        ++rounds;
        if (priced.empty() || bound >= master.getObjValue() * (1.0 - 1e-7)) {
            converged = true;
            break;
        }
        if (elapsed() > pricingEnd)
            break;
        if (!split && rounds % 15 == 0)
            plateByPlate(centre);
        // The most promising few per round keep the master small.
        const size_t keep = std::min<size_t>(priced.size(), 2 * problem.presets.size() + 30);
        std::partial_sort(
            priced.begin(), priced.begin() + keep, priced.end(),
            [](const Priced& a, const Priced& b) { return a.reducedCost < b.reducedCost; });
        const size_t before = columns.size();
        for (size_t n = 0; n < keep; ++n)
            columnFor(priced[n].pattern);
        if (columns.size() == before)
            break; // only known patterns: the duals are not exact enough to go on
        master.resolve();
    }
    bound = RoundUpToCostUnit(problem, bound);
    if (log)
        std::fprintf(stderr,
                     "pricing: %d rounds, %lld knapsacks, %zu patterns, relaxation %.1f, "
                     "bound %.1f, %s, %.2f s, %.2f s plate by plate\n",
                     rounds, evaluations, columns.size(), master.getObjValue(), bound,
                     converged ? "converged" : "stopped", elapsed(), inPlateByPlate);

    if (!split) {
        std::vector<double> blend(list.size());
        for (size_t u = 0; u < list.size(); ++u)
            blend[u] = 0.5 * (duals[u] + (centre.empty() ? duals[u] : centre[u]));
        for (const std::vector<double>* valuation : {&duals, &centre, &blend})
            if (!valuation->empty())
                plateByPlate(*valuation);
    }
    if (!split) {
        // The cheapest plans, each repacked a pair of plates at a time; they
        // end in different places, so a few are tried while time allows.
        const double repackEnd = 0.85 * options.timeLimit;
        std::set<double> tried;
        for (auto& [cost, plates] : plans) {
            if (tried.size() >= 4 || elapsed() > repackEnd)
                break;
            if (!tried.insert(cost).second)
                continue;
            RepackPairs(problem, list, plates, [&] { return elapsed() > repackEnd; });
            double repacked = 0.0;
            for (const Pattern& plate : plates) {
                repacked += PlateCost(problem, plate.pressCount);
                columnFor(plate);
            }
            if (log)
                std::fprintf(stderr, "repacked: cost %.0f to %.0f, %.2f s\n", cost, repacked,
                             elapsed());
            if (repacked < startCost) {
                startCost = repacked;
                startPatterns = plates;
            }
        }
    }
    if (!startPatterns.empty()) {
        startValues.assign(columns.size(), 0.0);
        for (const Pattern& pattern : startPatterns) {
            const int column = columnFor(pattern);
            startValues.resize(columns.size(), 0.0);
            startValues[column] += 1.0;
        }
    }

    // Whole plates: the programme over the patterns found, from the best start.
    const int columnCount = static_cast<int>(columns.size());
    startValues.resize(columns.size(), 0.0);
    OsiClpSolverInterface integral(master);
    for (int c = 0; c < columnCount; ++c) {
        integral.setInteger(c);
        integral.setColName(c, ColumnName(c));
    }
    std::vector<std::pair<std::string, double>> mipStart;
    for (int c = 0; c < columnCount; ++c)
        if (startValues[c] != 0.0)
            mipStart.emplace_back(ColumnName(c), startValues[c]);
    CbcModel model(integral);
    CbcMain0(model);
    model.setMIPStart(mipStart);
    model.setLogLevel(0);
    // The last tenth of the time is kept for repacking and laying the plates out.
    const double remaining = std::max(0.1, 0.9 * options.timeLimit - elapsed());
    const std::string seconds = std::to_string(remaining);
    // TESSEL_PLAN_LOG shows the solver's own progress on standard output.
    const char* argv[] = {"tessel-planner", "-log",     log ? "1" : "0", "-timeMode",
                          "elapsed",        "-seconds", seconds.c_str(), "-ratioGap",
                          "0.00001",        "-solve",   "-quit"};
    CbcMain1(static_cast<int>(sizeof(argv) / sizeof(argv[0])), argv, model);

    const double searched = elapsed();
    Plan plan = start;
    if (const double* best = model.bestSolution()) {
        // Each unit once: on its first plate; later copies of it go.
        std::vector<Pattern> plates;
        for (int c = 0; c < columnCount; ++c)
            for (long long n = std::llround(best[c]); n > 0; --n)
                plates.push_back(columns[c]);
        std::vector<double> produced(list.size(), 0.0);
        for (Pattern& plate : plates) {
            for (auto& [u, copies] : plate.copies) {
                if (!split) {
                    copies = produced[u] >= 1.0 ? 0 : copies;
                    produced[u] += copies > 0 ? 1.0 : 0.0;
                    continue;
                }
                const int needed = CopiesFor(
                    std::max(0, list[u].sheets - static_cast<int>(std::llround(produced[u]))),
                    plate.pressCount);
                copies = std::min(copies, needed);
                produced[u] += static_cast<double>(copies) * plate.pressCount;
            }
            plate.copies.erase(std::remove_if(plate.copies.begin(), plate.copies.end(),
                                              [](const auto& entry) { return entry.second <= 0; }),
                               plate.copies.end());
        }
        if (!split)
            RepackPairs(problem, list, plates,
                        [&] { return elapsed() > options.timeLimit * 0.97; });
        Plan solved = LaidOut(problem, units, plates, split, units.refusals);
        if (log)
            std::fprintf(stderr, "whole plates: cost %.0f at %.2f s, laid out %.0f at %.2f s\n",
                         model.getObjValue(), searched, solved.cost, elapsed());
        if (solved.unplanned.size() <= start.unplanned.size() && solved.cost < start.cost)
            plan = std::move(solved);
    }
    plan.bound = std::min(plan.cost, bound);
    plan.optimal = plan.cost - plan.bound <= 1e-9 * std::max(1.0, plan.cost);
    plan.timeLimitReached = !converged || model.maximumSecondsReached();
    plan.seconds = elapsed();
    return plan;
}

} // namespace planner
