#include "cutplanreplay.h"
#include "pressfixture.h"

#include "press/cutplan.h"
#include "press/cutsheet.h"

#include <QFile>

#include <iostream>

namespace {

using Item = CutPlan::Item;

Item At(const char* ordernum, double x, double y, double w, double h) {
    return {QString::fromUtf8(ordernum), QString(), CZelBound{x, y, w, h}, false};
}

QStringList Replayed(const CutPlan& plan) {
    const CZelBound& s = plan.sheet;
    return cutplanreplay::Replay(cutplan::ToJson(plan), {s.x, s.y, s.width, s.height});
}

class CutPlanPlateTest : public PressFixture {};

} // namespace

TEST(CutPlan, PlansThatAreRightAndFewestCutsOnSmallLayouts) {
    struct Case {
        const char* name;
        CZelBound sheet;
        std::vector<Item> items;
        int cuts, turns, naive, waste;
    };
    const Case cases[] = {
        // Items touching: one cut between neighbours, no waste.
        {"exact tiling",
         {0, 0, 200, 100},
         {At("A", 0, 0, 100, 50), At("B", 100, 0, 100, 50), At("C", 0, 50, 100, 50),
          At("D", 100, 50, 100, 50)},
         3,
         2,
         3,
         0},
        // Cells 2 mm larger than the items and margins all round: the margins
        // come off the whole sheet first, each gap is cut twice.
        {"grid with gaps",
         {0, 0, 204, 124},
         {At("A", 10, 10, 90, 50), At("B", 102, 10, 90, 50), At("C", 10, 62, 90, 50),
          At("D", 102, 62, 90, 50)},
         10,
         3,
         24,
         7},
        {"one item with margins", {0, 0, 100, 60}, {At("A", 10, 10, 80, 40)}, 4, 1, 8, 4},
        // A tall item beside two short ones: the short ones are parted in
        // their strip only.
        {"mixed sizes",
         {0, 0, 150, 100},
         {At("T", 0, 0, 50, 100), At("S1", 50, 0, 100, 50), At("S2", 50, 50, 100, 50)},
         2,
         1,
         3,
         0},
        {"empty sheet", {0, 0, 100, 100}, {}, 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<CutPlan> plan = PlanCuts(c.sheet, c.items);
        ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
        EXPECT_EQ(Replayed(plan.value()), QStringList());
        EXPECT_EQ(static_cast<int>(plan->cuts.size()), c.cuts);
        EXPECT_EQ(plan->turns, c.turns);
        EXPECT_EQ(plan->naiveCuts, c.naive);
        EXPECT_EQ(static_cast<int>(plan->waste.size()), c.waste);
        // The back gauge stands at the knife's distance from the piece's
        // reference edge, inside the piece.
        for (const CutPlan::Cut& cut : plan->cuts) {
            const bool x = cut.axis == CutPlan::Axis::X;
            EXPECT_NEAR(cut.backGauge, cut.position - (x ? cut.pieceBound.x : cut.pieceBound.y),
                        1e-9);
            EXPECT_GT(cut.backGauge, 0);
        }
    }
}

TEST(CutPlan, RefusesLayoutsNoGuillotineCanPart) {
    struct Case {
        const char* name;
        std::vector<Item> items;
        const char* says;
    };
    const Case cases[] = {
        {"overlapping items", {At("A", 0, 0, 50, 50), At("B", 40, 40, 50, 50)}, "A, B"},
        // Four items wound round a fifth: every line through the sheet
        // crosses an item.
        {"pinwheel",
         {At("P1", 0, 0, 20, 10), At("P2", 20, 0, 10, 20), At("P3", 10, 20, 20, 10),
          At("P4", 0, 10, 10, 20), At("P5", 10, 10, 10, 10)},
         "P1, P2, P3, P4, P5"},
        {"over the edge", {At("E", -5, 0, 20, 20)}, "order E runs over the sheet's edge"},
        {"nothing left by own cut lines", {At("Z", 10, 10, 0, 20)}, "order Z: its own cut lines"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<CutPlan> plan = PlanCuts({0, 0, 100, 100}, c.items);
        ASSERT_FALSE(plan.ok());
        EXPECT_TRUE(plan.error().contains(QString::fromUtf8(c.says))) << plan.error().toStdString();
    }
}

TEST(CutPlan, ReplayCatchesAWrongPlan) {
    Result<CutPlan> plan = PlanCuts({0, 0, 204, 124}, {At("A", 10, 10, 90, 50)});
    ASSERT_TRUE(plan.ok());
    CutPlan wrong = plan.value();
    wrong.cuts.pop_back(); // the item keeps a margin
    EXPECT_FALSE(Replayed(wrong).isEmpty());
    wrong = plan.value();
    wrong.cuts[1].pieceBound.width += 5; // a piece that is not there
    EXPECT_FALSE(Replayed(wrong).isEmpty());
    wrong = plan.value();
    wrong.cuts.back().position = wrong.cuts.back().pieceBound.y + 20; // through the item
    EXPECT_FALSE(Replayed(wrong).isEmpty());
}

TEST_F(CutPlanPlateTest, EveryPlateKindWithTurnedItemsAndOwnCutLines) {
    struct Kind {
        const char* name;
        int paperSide, turn;
        int copies; // printed copies of each item on the sheet
    };
    const Kind kinds[] = {
        {"single", 0, 0, 1},
        {"double-sided", 1, 0, 1},
        {"work-and-turn across the width", 2, 0, 2},
        {"work-and-turn across the height", 2, 1, 2},
        {"work-and-turn without turn", 2, 2, 1},
    };
    const QString art = Artwork(QStringLiteral("a.pdf"), {{90, 50}, {90, 50}});
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        // Within the 400 x 300 sheet's first half (a turned work-and-turn
        // plate halves it): two cards in a row 2 mm apart, below them a card
        // turned upright touching the row, and one with own cut lines, and
        // one card on the pasteboard (not printed).
        std::vector<std::unique_ptr<CZelItem>> items;
        items.push_back(Item(QStringLiteral("R-1"), art, 12, 10));
        items.push_back(Item(QStringLiteral("R-2"), art, 104, 10));
        items.push_back(Item(QStringLiteral("U-1"), art, 12, 60, 90));
        items.push_back(Item(QStringLiteral("C-1"), art, 64, 62));
        items.back()->ownCut = 1;
        items.back()->crop = {2, 3, 4, 5};
        items.push_back(Item(QStringLiteral("OUT"), art, -150, 10));
        Open(Sheet(kind.paperSide, kind.turn), std::move(items));

        const Result<CutPlan> plan = MakeCutPlan(*doc);
        ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
        EXPECT_EQ(cutplanreplay::Replay(cutplan::ToJson(plan.value()), {0, 0, 400, 300}),
                  QStringList());
        ASSERT_EQ(plan->items.size(), 4u * kind.copies);
        auto find = [&](const char* ordernum, bool turned) {
            for (const CutPlan::Item& item : plan->items)
                if (item.ordernum == QLatin1String(ordernum) && item.turned == turned)
                    return item.trim;
            ADD_FAILURE() << ordernum;
            return CZelBound{};
        };
        EXPECT_EQ(find("U-1", false), (CZelBound{12, 60, 50, 90}));
        EXPECT_EQ(find("C-1", false), (CZelBound{66, 65, 84, 42}));
        if (kind.copies == 2) {
            // The mirrored copy, its own cut lines mirrored with it.
            const CZelBound mirrored =
                kind.turn == 0 ? CZelBound{400 - 150, 65, 84, 42} : CZelBound{66, 193, 84, 42};
            EXPECT_EQ(find("C-1", true), mirrored);
        }
        EXPECT_LT(plan->cuts.size(), static_cast<size_t>(plan->naiveCuts));
        std::cout << kind.name << ": " << plan->cuts.size() << " cuts, " << plan->turns
                  << " turns; cutting every line through the sheet: " << plan->naiveCuts << "\n";
    }
}

TEST_F(CutPlanPlateTest, MakePressWritesTheCuttingSheetAndProgramBesideTheSideFiles) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {{90, 50}});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("R-1"), art, 12, 10));
    items.push_back(Item(QStringLiteral("R-2"), art, 104, 10));
    items.push_back(Item(QStringLiteral("U-1"), art, 12, 62, 90));
    Open(Sheet(0, 0), std::move(items));
    const QString sheet = Side("_cuts.pdf"), program = Side("_cuts.csv");
    ASSERT_EQ(sheet, cutsheet::SheetPath(plate));

    CMakePress press(*doc, &bars, &regMarks);
    ASSERT_TRUE(Succeeded(press.Run(options, &written)));
    EXPECT_EQ(press.CutPlanFiles(), (QStringList{sheet, program}));
    EXPECT_EQ(QpdfCheck(sheet), QString());
    std::string readError;
    EXPECT_EQ(pdfreadback::Read(sheet.toStdString(), &readError).size(), 2u) << readError;

    const Result<CutPlan> plan = MakeCutPlan(*doc);
    ASSERT_TRUE(plan.ok());
    QFile csv(program);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(plan->cuts.size()) + 2); // header, last line end
    EXPECT_EQ(lines[0].trimmed(),
              "step,piece,turn,axis,back_gauge_mm,piece_width_mm,piece_height_mm");
    const CutPlan::Cut& first = plan->cuts.front();
    EXPECT_EQ(lines[1].trimmed(), QStringLiteral("1,1,0,%1,%2,400.00,300.00")
                                      .arg(cutplan::AxisName(first.axis))
                                      .arg(first.backGauge, 0, 'f', 2)
                                      .toUtf8());

    // Switched off: no plan, and none of an earlier layout left beside the new files.
    options.cutPlan = false;
    ASSERT_TRUE(Succeeded(Run()));
    EXPECT_FALSE(QFile::exists(sheet));
    EXPECT_FALSE(QFile::exists(program));
}

TEST_F(CutPlanPlateTest, APlateThatCannotBeCutApartStillPrintsWithANote) {
    const QString art = Artwork(QStringLiteral("a.pdf"), {{90, 50}});
    std::vector<std::unique_ptr<CZelItem>> items;
    items.push_back(Item(QStringLiteral("A-1"), art, 20, 20));
    items.push_back(Item(QStringLiteral("B-1"), art, 60, 40));
    Open(Sheet(0, 0), std::move(items));
    ASSERT_TRUE(Succeeded(Run()));
    EXPECT_EQ(written.size(), 2);
    const QStringList said = notes.filter(QStringLiteral("no cutting plan:"));
    ASSERT_EQ(said.size(), 1) << notes.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("A-1, B-1"))) << said[0].toStdString();
    EXPECT_FALSE(QFile::exists(Side("_cuts.pdf")));
}
