#include "planner/gangplanner.h"
#include "planner/plancheck.h"

#include "engine/platecreation.h"
#include "records/recordfiles.h"
#include "records/zeljob.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <random>

using namespace planner;
using recordfiles::Q;

namespace {

const QString kSnow = QStringLiteral("스노우지 250g");
const QString kNouveau = QStringLiteral("반누보 210g");

// A plate of 2 x 3 cells of 92 x 52 mm.
PlateProperties SixCells(const QString& paper, int side = 0) {
    PlateProperties p = platecreation::DefaultProperties();
    p.paperType = paper;
    p.paperSideSetting = side;
    p.turnDirection = side == 2 ? 0 : 2;
    p.colorA = 1;
    p.colorB = side == 1 ? 1 : 0;
    p.width = 2 * 92 + 25.4;
    p.height = 3 * 52 + 25.4;
    p.arrangeDirection = 0;
    return p;
}

struct TicketSpec {
    const char* ordernum;
    int sheets;
    int cases = 1;
    QString paper = kSnow;
    int pages = 1;
    int colors = 4;
    double width = 90, height = 50;
};

class PlannerTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    PlanOrder Order(const TicketSpec& t, const std::vector<PlanPreset>& presets) {
        const QString body =
            recordfiles::Elements({{"Ordernum", Q(QString::fromLatin1(t.ordernum))},
                                   {"Paper", Q(t.paper)},
                                   {"Color", QString::number(t.colors)},
                                   {"PDFPage", QString::number(t.pages)},
                                   {"Width", QString::number(t.width)},
                                   {"Height", QString::number(t.height)},
                                   {"Pcases", QString::number(t.cases)},
                                   {"Quantity", QString::number(t.sheets)},
                                   {"PQuantity", QStringLiteral("0")}},
                                  1);
        const QString path =
            QDir(dir.path()).filePath(QString::fromLatin1(t.ordernum) + QStringLiteral(".tzjob"));
        EXPECT_TRUE(recordfiles::Write(path, recordfiles::Record("Tessel Job Ticket", body)));
        return MakeOrder(CZelJob(path), presets);
    }

    PlanProblem Problem(std::vector<PlanPreset> presets, const std::vector<TicketSpec>& tickets) {
        PlanProblem problem;
        problem.presets = std::move(presets);
        problem.costs = {1000.0, 1.0};
        for (const TicketSpec& t : tickets)
            problem.orders.push_back(Order(t, problem.presets));
        return problem;
    }

    static void ExpectSound(const PlanProblem& problem, const Plan& plan, bool split) {
        const PlanCheck check = CheckPlan(problem, plan, split);
        EXPECT_TRUE(check.Sound()) << check.faults.join(QStringLiteral("\n")).toStdString();
        EXPECT_DOUBLE_EQ(check.cost, plan.cost);
    }
};

TEST_F(PlannerTest, ThreeOrdersShareOnePlateOnlyAtTheRightPressCount) {
    // At 1000 sheets they cover 1 + 2 + 3 = 6 cells: one plate for 2000. At
    // 1500 it would cost 2500, at 3000 4000, at 500 two plates for 3000.
    const PlanProblem problem = Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))},
                                        {{"A", 1000}, {"B", 2000}, {"C", 3000}});
    ASSERT_EQ(problem.presets[0].cells, 6);
    const Plan plan = SolvePlan(problem, {});
    ExpectSound(problem, plan, false);
    ASSERT_EQ(plan.plates.size(), 1u);
    EXPECT_EQ(plan.plates[0].pressCount, 1000);
    EXPECT_DOUBLE_EQ(plan.cost, 2000.0);
    EXPECT_TRUE(plan.optimal);
    EXPECT_NEAR(plan.Gap(), 0.0, 1e-4);
    EXPECT_EQ(OversPerOrder(problem, plan), (std::vector<int>{0, 0, 0}));

    // The naive plan runs each order on a plate of its own.
    const Plan naive = NaivePlan(problem);
    EXPECT_EQ(naive.plates.size(), 3u);
    EXPECT_DOUBLE_EQ(naive.cost, 3 * 1000.0 + 6000.0);
}

TEST_F(PlannerTest, SplittingAnOrderByCasePaysOnlyWhenAllowed) {
    // Three orders of four cases: whole, no two share a six-cell plate.
    const PlanProblem problem = Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))},
                                        {{"A", 1000, 4}, {"B", 1000, 4}, {"C", 1000, 4}});
    const Plan whole = SolvePlan(problem, {});
    ExpectSound(problem, whole, false);
    EXPECT_EQ(whole.plates.size(), 3u);
    EXPECT_DOUBLE_EQ(whole.cost, 3 * 2000.0);
    EXPECT_TRUE(whole.optimal);

    PlanOptions split;
    split.split = true;
    const Plan pieces = SolvePlan(problem, split);
    ExpectSound(problem, pieces, true);
    EXPECT_EQ(pieces.plates.size(), 2u);
    EXPECT_DOUBLE_EQ(pieces.cost, 2 * 2000.0);
    // The same plan breaks the rule of whole orders.
    EXPECT_FALSE(CheckPlan(problem, pieces, false).Sound());

    // Seven cases fit no six-cell plate whole; split they go on two.
    const PlanProblem big =
        Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))}, {{"D", 500, 7}});
    const Plan refused = SolvePlan(big, {});
    ExpectSound(big, refused, false);
    ASSERT_EQ(refused.unplanned.size(), 1u);
    EXPECT_TRUE(refused.plates.empty());
    const Plan spread = SolvePlan(big, split);
    ExpectSound(big, spread, true);
    EXPECT_EQ(spread.plates.size(), 2u);
}

TEST_F(PlannerTest, OrdersGoOnlyWherePaperColoursSidesAndSizeAllow) {
    const std::vector<PlanPreset> presets{
        MakePreset(QStringLiteral("snow"), SixCells(kSnow)),
        MakePreset(QStringLiteral("nouveau two-sided"), SixCells(kNouveau, 1))};
    struct Case {
        TicketSpec ticket;
        bool snow, nouveau;
        const char* reason; // part of the refusal on the snow preset
    };
    const Case cases[] = {
        {{"fits", 500}, true, false, ""},
        {{"paper", 500, 1, kNouveau}, false, true, "paper"},
        {{"twoSided", 500, 1, kSnow, 2}, false, false, "double-sided"},
        {{"twoSidedNouveau", 500, 1, kNouveau, 2}, false, true, "paper"},
        {{"oneColour", 500, 1, kSnow, 1, 1}, false, false, "colour"},
        {{"turned", 500, 1, kSnow, 1, 4, 50, 90}, true, false, ""},
        {{"tooBig", 500, 1, kSnow, 1, 4, 300, 300}, false, false, "does not fit"},
        {{"noSheets", 0}, false, false, "no sheets"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ticket.ordernum);
        const PlanOrder order = Order(c.ticket, presets);
        EXPECT_EQ(order.FitsPreset(0), c.snow);
        EXPECT_EQ(order.FitsPreset(1), c.nouveau);
        EXPECT_TRUE(order.refusals.at(0).contains(QLatin1String(c.reason)))
            << order.refusals.at(0).toStdString();
    }
    EXPECT_EQ(Order({"wide", 500, 1, kSnow, 1, 4, 150, 50}, presets).cellsPerItem.at(0), 2);

    // Each paper on its own preset's plate; the order no preset takes is told.
    const PlanProblem problem = Problem(presets, {{"S1", 1000},
                                                  {"S2", 1000},
                                                  {"N1", 1000, 1, kNouveau},
                                                  {"X", 1000, 1, QStringLiteral("아트지")}});
    const Plan plan = SolvePlan(problem, {});
    ExpectSound(problem, plan, false);
    ASSERT_EQ(plan.plates.size(), 2u);
    for (const PlanPlate& plate : plan.plates)
        for (const PlanEntry& entry : plate.entries)
            EXPECT_EQ(problem.orders[entry.order].ordernum.startsWith(QLatin1Char('N')),
                      plate.preset == 1);
    ASSERT_EQ(plan.unplanned.size(), 1u);
    EXPECT_EQ(problem.orders[plan.unplanned[0].order].ordernum, QStringLiteral("X"));
    EXPECT_TRUE(plan.unplanned[0].reason.contains(QStringLiteral("아트지")));
}

TEST_F(PlannerTest, TheCheckFindsEveryKindOfFault) {
    const PlanProblem problem = Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))},
                                        {{"A", 1000}, {"B", 2000}, {"C", 3000}});
    const Plan good = SolvePlan(problem, {});
    ASSERT_TRUE(CheckPlan(problem, good, false).Sound());
    struct Fault {
        const char* what;
        std::function<void(Plan&)> spoil;
    };
    const Fault faults[] = {
        {"is neither planned nor refused", [](Plan& p) { p.plates[0].entries.pop_back(); }},
        {"sheets", [](Plan& p) { p.plates[0].pressCount = 900; }},
        {"cells used of",
         [](Plan& p) { p.plates[0].entries.push_back(p.plates[0].entries.front()); }},
        {"covers", [](Plan& p) { p.plates[0].entries[0].cells += 1; }},
        {"it costs", [](Plan& p) { p.cost -= 1; }},
        {"lies above", [](Plan& p) { p.bound = p.cost + 10; }},
        {"split by case", [](Plan& p) { p.plates[0].entries[0].caseIndex = 0; }},
        {"split over",
         [](Plan& p) {
             p.plates.push_back(p.plates[0]);
             p.plates[1].entries.resize(1);
         }},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        Plan bad = good;
        fault.spoil(bad);
        const PlanCheck check = CheckPlan(problem, bad, false);
        EXPECT_FALSE(check.Sound());
        EXPECT_TRUE(check.faults.join(QLatin1Char('\n')).contains(QLatin1String(fault.what)))
            << check.faults.join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(PlannerTest, SevenOrdersForSixCellsBoundAndBest) {
    // Seven one-cell orders of 1000 sheets on six-cell plates. Best: six at
    // 1000 sheets (2000) and the seventh as six copies at 167 sheets (1167).
    // No plate carries an order for less than 2000 / 6, so the relaxation is
    // 7 × 2000 / 6 = 2333.33, rounded up to the whole cost unit: 2334.
    const PlanProblem problem =
        Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))}, {{"A", 1000},
                                                                       {"B", 1000},
                                                                       {"C", 1000},
                                                                       {"D", 1000},
                                                                       {"E", 1000},
                                                                       {"F", 1000},
                                                                       {"G", 1000}});
    const Plan plan = SolvePlan(problem, {});
    ExpectSound(problem, plan, false);
    EXPECT_DOUBLE_EQ(plan.cost, 3167.0);
    EXPECT_DOUBLE_EQ(plan.bound, 2334.0);
    EXPECT_FALSE(plan.optimal);
    std::vector<int> counts;
    for (const PlanPlate& plate : plan.plates)
        counts.push_back(plate.pressCount);
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<int>{167, 1000}));
}

// The least cost of whole orders on one preset, by trying every partition of
// the orders and, for each group, every press count from 1 to the largest
// sheets: no candidate list, no programme.
double BruteForceOptimum(const PlanProblem& problem) {
    const int n = static_cast<int>(problem.orders.size());
    const int cells = problem.presets[0].cells;
    int largest = 0;
    for (const PlanOrder& order : problem.orders)
        largest = std::max(largest, order.sheets);
    // The cheapest single plate for each set of orders (a bit mask).
    std::vector<double> plate(1u << n, -1.0);
    for (unsigned set = 1; set < plate.size(); ++set)
        for (int count = 1; count <= largest; ++count) {
            int used = 0;
            for (int o = 0; o < n; ++o)
                if (set & (1u << o))
                    used += problem.orders[o].pcases * problem.orders[o].CellsPerCopy(0) *
                            CopiesFor(problem.orders[o].sheets, count);
            if (used <= cells) {
                plate[set] = problem.costs.plateCost + problem.costs.sheetCost * count;
                break; // dearer from here on
            }
        }
    // Cheapest cover of each set by plates, the lowest order on the first.
    std::vector<double> best(1u << n, 0.0);
    for (unsigned set = 1; set < best.size(); ++set) {
        best[set] = -1.0;
        const unsigned low = set & (~set + 1);
        for (unsigned part = set; part; part = (part - 1) & set)
            if ((part & low) && plate[part] >= 0 && best[set & ~part] >= 0 &&
                (best[set] < 0 || plate[part] + best[set & ~part] < best[set]))
                best[set] = plate[part] + best[set & ~part];
    }
    return best.back();
}

TEST_F(PlannerTest, TheBoundHoldsAtEveryPressCount) {
    // Random sets of seven orders whose best plans are found by brute force
    // over every press count; the bound may never pass them.
    std::mt19937 random(11);
    static std::vector<std::string> names;
    names.clear();
    for (int i = 0; i < 7; ++i)
        names.push_back("B" + std::to_string(i));
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        std::vector<TicketSpec> tickets;
        for (int i = 0; i < 7; ++i)
            tickets.push_back({names[i].c_str(), 100 + static_cast<int>(random() % 2900),
                               1 + static_cast<int>(random() % 2)});
        PlanProblem problem =
            Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))}, tickets);
        const double optimum = BruteForceOptimum(problem);
        ASSERT_GT(optimum, 0.0);
        const Plan plan = SolvePlan(problem, {});
        ExpectSound(problem, plan, false);
        EXPECT_LE(plan.bound, optimum + 1e-6);
        EXPECT_GE(plan.cost, optimum - 1e-6);
        if (plan.optimal)
            EXPECT_DOUBLE_EQ(plan.cost, optimum);
    }
}

TEST_F(PlannerTest, RepackingPairsOfPlatesMergesAndRebalances) {
    // One plate per order: repacked pair by pair, the three orders end on
    // the one plate at 1000 sheets.
    const PlanProblem three = Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))},
                                      {{"A", 1000}, {"B", 2000}, {"C", 3000}});
    const Plan merged = RepackPlan(three, NaivePlan(three), {});
    ExpectSound(three, merged, false);
    ASSERT_EQ(merged.plates.size(), 1u);
    EXPECT_EQ(merged.plates[0].pressCount, 1000);
    EXPECT_DOUBLE_EQ(merged.cost, 2000.0);

    // Two plates of three orders each, badly mixed: each long order with two
    // short ones runs both plates long. Repacked, the long orders share one
    // plate at 2000 sheets (three copies each) and the short ones the other
    // at 500.
    const PlanProblem mixed =
        Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))},
                {{"A", 6000}, {"B", 6000}, {"C", 500}, {"D", 500}, {"E", 500}, {"F", 500}});
    Plan bad;
    bad.plates = {{0, 6000, {{0, -1, 1, 1}, {2, -1, 1, 1}, {3, -1, 1, 1}}},
                  {0, 6000, {{1, -1, 1, 1}, {4, -1, 1, 1}, {5, -1, 1, 1}}}};
    bad.cost = 2 * (1000.0 + 6000.0);
    ASSERT_TRUE(CheckPlan(mixed, bad, false).Sound());
    const Plan better = RepackPlan(mixed, bad, {});
    ExpectSound(mixed, better, false);
    EXPECT_DOUBLE_EQ(better.cost, 1000.0 + 2000.0 + 1000.0 + 500.0);
    EXPECT_DOUBLE_EQ(better.cost, BruteForceOptimum(mixed));
    std::vector<int> counts;
    for (const PlanPlate& plate : better.plates)
        counts.push_back(plate.pressCount);
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<int>{500, 2000}));
    // A plan with an order split by case, or on two plates, is not one to
    // repack: it comes back as it was, no order lost.
    for (const int spoil : {0, 1}) {
        Plan odd = bad;
        if (spoil == 0)
            odd.plates[0].entries[0].caseIndex = 0;
        else
            odd.plates[1].entries.push_back(odd.plates[0].entries[0]);
        const Plan kept = RepackPlan(mixed, odd, {});
        EXPECT_DOUBLE_EQ(kept.cost, odd.cost);
        EXPECT_EQ(kept.plates.size(), 2u);
        EXPECT_EQ(kept.plates[0].entries.size(), odd.plates[0].entries.size());
    }

    // On random sets the repacked naive plan is sound, never dearer, and
    // never below the best plan found by brute force.
    std::mt19937 random(5);
    static std::vector<std::string> names;
    names.clear();
    for (int i = 0; i < 7; ++i)
        names.push_back("P" + std::to_string(i));
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        std::vector<TicketSpec> tickets;
        for (int i = 0; i < 7; ++i)
            tickets.push_back({names[i].c_str(), 100 + static_cast<int>(random() % 2900),
                               1 + static_cast<int>(random() % 2)});
        const PlanProblem problem =
            Problem({MakePreset(QStringLiteral("six"), SixCells(kSnow))}, tickets);
        const Plan naive = NaivePlan(problem);
        const Plan repacked = RepackPlan(problem, naive, {});
        ExpectSound(problem, repacked, false);
        EXPECT_LT(repacked.cost, naive.cost);
        EXPECT_GE(repacked.cost, BruteForceOptimum(problem) - 1e-6);
    }
}

TEST_F(PlannerTest, AShortTimeLimitStillGivesASoundPlanWithItsGap) {
    // Forty orders of random sheets on a real card plate (48 cells).
    PlateProperties card = SixCells(kSnow);
    card.width = 636;
    card.height = 469;
    card.margin = {20, 12, 15, 12};
    std::vector<TicketSpec> tickets;
    std::mt19937 random(7);
    static std::vector<std::string> names;
    names.clear();
    for (int i = 0; i < 40; ++i)
        names.push_back("R" + std::to_string(i));
    for (int i = 0; i < 40; ++i)
        tickets.push_back(
            {names[i].c_str(), 500 + static_cast<int>(random() % 19500), 1 + (i % 3 == 0)});
    PlanProblem problem = Problem({MakePreset(QStringLiteral("card"), card)}, tickets);
    problem.costs = {20000.0, 40.0};
    PlanOptions options;
    options.timeLimit = 0.2;
    const Plan plan = SolvePlan(problem, options);
    ExpectSound(problem, plan, false);
    EXPECT_TRUE(plan.unplanned.empty());
    EXPECT_GT(plan.bound, 0.0);
    EXPECT_LE(plan.bound, plan.cost);
    EXPECT_GE(plan.Gap(), 0.0);
    EXPECT_LT(plan.Gap(), 1.0);
    // Never worse than its starting plan.
    EXPECT_LE(plan.cost, GreedyPlan(problem, options).cost);
}

} // namespace
