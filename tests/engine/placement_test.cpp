#include "engine/tesseldoc.h"
#include "records/zeljob.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <tuple>

// Readable boxes in failure messages.
static void PrintTo(const CZelBound& box, std::ostream* os) {
    *os << "{" << box.x << ", " << box.y << ", " << box.width << " x " << box.height << "}";
}

namespace {

PlateProperties Plate(double gridW, double gridH, int direction, double width = 300,
                      double height = 200) {
    PlateProperties p;
    p.width = width;
    p.height = height;
    p.margin = {10, 10, 10, 10}; // usable 280 x 180
    p.gridWidth = gridW;
    p.gridHeight = gridH;
    p.arrangeDirection = direction;
    return p;
}

std::unique_ptr<CZelItem> Card(double w = 90, double h = 50) {
    auto item = std::make_unique<CZelItem>();
    item->width = w;
    item->height = h;
    return item;
}

std::vector<std::pair<double, double>> Positions(const CTesselDoc& doc) {
    std::vector<std::pair<double, double>> positions;
    for (int i = 0; i < doc.ItemCount(); ++i)
        positions.emplace_back(doc.ItemAt(i)->x, doc.ItemAt(i)->y);
    return positions;
}

// The free-slot search as first written: every candidate against every item.
bool SlotTestingEveryItem(const CTesselDoc& doc, double w, double h, CZelBound& slot) {
    const int direction = doc.Properties().arrangeDirection;
    const PlateGeometry& g = doc.Geometry();
    const std::vector<CZelBound>& cells =
        direction >= 4 && direction <= 7 ? g.cellsByColumn : g.cellsByRow;
    const int count = static_cast<int>(cells.size());
    auto isFree = [&doc](const CZelBound& candidate) {
        for (int i = 0; i < doc.ItemCount(); ++i)
            if (CTesselDoc::Overlaps(doc.ItemAt(i)->Bounds(), candidate))
                return false;
        return true;
    };
    for (int k = 0; k < count; ++k) {
        if (direction < 0 || direction > 7) {
            if (isFree(cells[k])) {
                slot = cells[k];
                return true;
            }
            continue;
        }
        const CZelBound& cell =
            cells[CTesselDoc::SlotIndex(direction, k, g.gridRows, g.gridColumns, count)];
        const CZelBound candidate{cell.x, cell.y, w, h};
        if (isFree(candidate) && doc.InsideUsableArea(candidate)) {
            slot = candidate;
            return true;
        }
    }
    return false;
}

// Draws from a fixed seed in the same way with every standard library.
class Draw {
public:
    explicit Draw(unsigned seed) : m_engine(seed) {}
    int Int(int lo, int hi) { return lo + static_cast<int>(m_engine() % (hi - lo + 1)); }
    double Real(double lo, double hi) { return lo + (hi - lo) * (m_engine() / 4294967296.0); }
    template <typename T> T One(std::initializer_list<T> values) {
        return values.begin()[Int(0, static_cast<int>(values.size()) - 1)];
    }

private:
    std::mt19937 m_engine;
};

// A size that is a whole number of cells, a hair either side of one, a
// fraction, several cells, or more than the plate.
double SizeNear(Draw& draw, double cell) {
    switch (draw.Int(0, 6)) {
    case 0:
        return cell;
    case 1:
        return cell + draw.One({-1e-5, -1e-7, 1e-7, 1e-5});
    case 2:
        return draw.Real(1, cell);
    case 3:
        return cell * draw.Int(2, 4) + draw.One({0.0, 3.0, -2.5});
    case 4:
        return draw.Real(cell, 5 * cell);
    case 5:
        return draw.One({0.0, 0.5, 1000.0});
    default:
        return cell - draw.Real(0, 2);
    }
}

// Somewhere an item may stand: on a grid point (exactly, or a hair off it),
// anywhere on the plate and its pasteboard, or astride a margin.
std::pair<double, double> PlaceNear(Draw& draw, const CTesselDoc& doc) {
    const PlateProperties& p = doc.Properties();
    const PlateGeometry& g = doc.Geometry();
    const double left = g.usableArea.x, top = g.usableArea.y;
    const double m = CTesselDoc::kPasteboardMargin;
    switch (draw.Int(0, 4)) {
    case 0:
        return {left + draw.Int(0, g.gridColumns) * p.gridWidth,
                top + draw.Int(0, g.gridRows) * p.gridHeight};
    case 1: {
        const double hair = draw.One({-1e-5, -1e-7, 1e-7, 1e-5});
        return {left + draw.Int(0, g.gridColumns) * p.gridWidth + hair,
                top + draw.Int(0, g.gridRows) * p.gridHeight - hair};
    }
    case 2:
        return {draw.Real(-m, g.layoutWidth + m), draw.Real(-m, g.layoutHeight + m)};
    case 3:
        return {draw.Real(-m, 0), draw.Real(g.layoutHeight, g.layoutHeight + m)};
    default:
        return {draw.Real(-10, left + 5), draw.Real(g.usableArea.Bottom() - 5, g.layoutHeight)};
    }
}

std::unique_ptr<CZelItem> RandomItem(Draw& draw, const CTesselDoc& doc) {
    auto item = std::make_unique<CZelItem>();
    item->width = SizeNear(draw, doc.Properties().gridWidth);
    item->height = SizeNear(draw, doc.Properties().gridHeight);
    item->rotate = draw.One({0, 90, 180, 270});
    item->mediaRotate = draw.Int(0, 3) == 0 ? 1 : 0;
    std::tie(item->x, item->y) = PlaceNear(draw, doc);
    return item;
}

// Adds, places, turns, moves and removes items at random, and after each
// change compares the search with testing every item for sizes near the
// grid's; placing by the arrangement must take the slot testing every item finds.
void CompareWhileChanging(CTesselDoc& doc, Draw& draw, int steps) {
    const PlateProperties& p = doc.Properties();
    for (int step = 0; step < steps; ++step) {
        for (int q = 0; q < 4; ++q) {
            const double w = SizeNear(draw, p.gridWidth), h = SizeNear(draw, p.gridHeight);
            CZelBound found{-1, -1, -1, -1}, expected{-1, -1, -1, -1};
            ASSERT_EQ(doc.FindFreeSlot(w, h, found), SlotTestingEveryItem(doc, w, h, expected))
                << "step " << step << ", " << w << " x " << h;
            ASSERT_EQ(found, expected) << "step " << step << ", " << w << " x " << h;
        }
        const int count = doc.ItemCount();
        switch (draw.Int(0, 9)) {
        case 0:
        case 1:
        case 2: {
            auto item = RandomItem(draw, doc);
            const double w = item->EffectiveWidth(), h = item->EffectiveHeight();
            const bool turn = SlotsNeeded(p.gridWidth, p.gridHeight, h, w) <
                              SlotsNeeded(p.gridWidth, p.gridHeight, w, h);
            CZelBound expected;
            const bool room = turn ? SlotTestingEveryItem(doc, h, w, expected)
                                   : SlotTestingEveryItem(doc, w, h, expected);
            ASSERT_EQ(doc.AddItemAtSlot(std::move(item), 0, 0), room) << "step " << step;
            ASSERT_EQ(doc.ItemCount(), count + (room ? 1 : 0));
            if (room) {
                const CZelItem& placed = *doc.ItemAt(count);
                ASSERT_EQ(placed.x, expected.x) << "step " << step;
                ASSERT_EQ(placed.y, expected.y) << "step " << step;
            }
            break;
        }
        case 3:
        case 4:
            doc.AddItem(RandomItem(draw, doc), draw.Int(0, 1) == 1);
            break;
        case 5:
        case 6:
            if (count > 0)
                doc.RemoveItem(doc.ItemAt(draw.Int(0, count - 1)));
            break;
        case 7:
            if (count > 0)
                doc.RotateItem(doc.ItemAt(draw.Int(0, count - 1)), draw.Int(0, 1) == 1);
            break;
        default:
            if (count > 0) {
                const CZelItem* moved = doc.ItemAt(draw.Int(0, count - 1));
                const std::pair<double, double> place = PlaceNear(draw, doc);
                doc.ChangeItem(moved, [&](CZelItem& item) { std::tie(item.x, item.y) = place; });
            }
            break;
        }
    }
}

} // namespace

TEST(Placement, SearchOrdersOfAThreeByTwoGrid) {
    // Row-major cells of 3 columns x 2 rows: 0 1 2 / 3 4 5; column-major: 0 2 4 / 1 3 5.
    const int expected[8][6] = {
        {0, 1, 2, 3, 4, 5}, {2, 1, 0, 5, 4, 3}, {3, 4, 5, 0, 1, 2}, {5, 4, 3, 2, 1, 0},
        {0, 1, 2, 3, 4, 5}, {4, 5, 2, 3, 0, 1}, {1, 0, 3, 2, 5, 4}, {5, 4, 3, 2, 1, 0},
    };
    for (int direction = 0; direction < 8; ++direction)
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(CTesselDoc::SlotIndex(direction, k, 2, 3, 6), expected[direction][k])
                << direction << "," << k;
}

TEST(Placement, GridFillsInTheArrangementOrder) {
    // 92 x 60 cells on 280 x 180: 3 columns, 3 rows.
    CTesselDoc doc;
    doc.SetProperties(Plate(92, 60, 1));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(doc.AddItemAtSlot(Card(), 0, 0));
    EXPECT_EQ(Positions(doc),
              (std::vector<std::pair<double, double>>{{194, 10}, {102, 10}, {10, 10}, {194, 70}}));
    EXPECT_EQ(doc.SelectedCount(), 4);

    CTesselDoc columns;
    columns.SetProperties(Plate(92, 60, 6));
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(columns.AddItemAtSlot(Card(), 0, 0));
    EXPECT_EQ(Positions(columns), (std::vector<std::pair<double, double>>{{10, 130}, {10, 70}}));
}

TEST(Placement, GridTurnsItemsThatCoverFewerCellsTurnedAndStopsWhenFull) {
    CTesselDoc doc;
    doc.SetProperties(Plate(92, 60, 0));
    // 50 x 90 covers 1 x 2 cells upright, 1 x 1 turned.
    ASSERT_TRUE(doc.AddItemAtSlot(Card(50, 90), 0, 0));
    EXPECT_EQ(doc.ItemAt(0)->rotate, 90);
    EXPECT_EQ(doc.ItemAt(0)->EffectiveWidth(), 90);
    // A 180-wide item covers two cells and must stay inside the usable area.
    ASSERT_TRUE(doc.AddItemAtSlot(Card(180, 50), 0, 0));
    EXPECT_EQ(doc.ItemAt(1)->x, 102);
    int placed = 2;
    while (doc.AddItemAtSlot(Card(), 0, 0))
        ++placed;
    EXPECT_EQ(placed, 9 - 1); // the wide item takes two of the nine cells
    EXPECT_EQ(doc.ItemCount(), 8);
}

TEST(Placement, SequentialPlacementWithoutAGrid) {
    CTesselDoc rows;
    rows.SetProperties(Plate(0, 0, 0));
    for (int i = 0; i < 10; ++i)
        rows.AddItemAtSlot(Card(), 0, 0);
    // Three to a row, three rows of 50 fit in 180; the tenth has no room.
    EXPECT_EQ(rows.ItemCount(), 9);
    EXPECT_EQ(Positions(rows)[3], (std::pair<double, double>{10, 60}));
    EXPECT_EQ(Positions(rows)[5], (std::pair<double, double>{190, 60}));

    CTesselDoc columns;
    columns.SetProperties(Plate(0, 0, 5));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(columns.AddItemAtSlot(Card(), 0, 0));
    EXPECT_EQ(Positions(columns),
              (std::vector<std::pair<double, double>>{{10, 10}, {10, 60}, {10, 110}, {100, 10}}));

    // A new row starts at the left margin even when the item would fit elsewhere.
    CTesselDoc tall;
    tall.SetProperties(Plate(0, 0, 0));
    ASSERT_TRUE(tall.AddItemAtSlot(Card(200, 150), 0, 0));
    EXPECT_FALSE(tall.AddItemAtSlot(Card(90, 50), 0, 0));
}

TEST(Placement, SequentialRowsStartBelowTheirTallestItemAndStayInside) {
    CTesselDoc doc;
    doc.SetProperties(Plate(0, 0, 0)); // usable (10, 10) to (290, 190)
    ASSERT_TRUE(doc.AddItemAtSlot(Card(90, 50), 0, 0));
    ASSERT_TRUE(doc.AddItemAtSlot(Card(90, 100), 0, 0));
    ASSERT_TRUE(doc.AddItemAtSlot(Card(90, 50), 0, 0));
    // The row is full: the next row starts below the 100 mm item, not below the last one.
    ASSERT_TRUE(doc.AddItemAtSlot(Card(90, 50), 0, 0));
    EXPECT_EQ(Positions(doc)[3], (std::pair<double, double>{10, 110}));
    // Beside the last item it would run past the bottom, and no row is left.
    EXPECT_FALSE(doc.AddItemAtSlot(Card(90, 100), 0, 0));
    EXPECT_EQ(doc.ItemCount(), 4);
    // An item that does not fit the usable area at all is never placed.
    CTesselDoc empty;
    empty.SetProperties(Plate(0, 0, 4));
    EXPECT_FALSE(empty.AddItemAtSlot(Card(90, 190), 0, 0));
    // Nor over an item moved into its way.
    CTesselDoc moved;
    moved.SetProperties(Plate(0, 0, 0));
    ASSERT_TRUE(moved.AddItemAtSlot(Card(), 0, 0));
    ASSERT_TRUE(moved.AddItemAtSlot(Card(), 0, 0));
    moved.ChangeItem(moved.ItemAt(0), [](CZelItem& item) {
        item.x = 190; // now where the third would go
        item.y = 10;
    });
    ASSERT_TRUE(moved.AddItemAtSlot(Card(), 0, 0)); // into the next row instead
    EXPECT_EQ(Positions(moved)[2], (std::pair<double, double>{10, 60}));
}

TEST(Placement, FreePlacement) {
    CTesselDoc doc;
    doc.SetProperties(Plate(92, 60, CTesselDoc::kFreePlacement));
    ASSERT_TRUE(doc.AddItemAtSlot(Card(), 33, 44));
    ASSERT_TRUE(doc.AddItemAtSlot(Card(), 0, 0));
    EXPECT_EQ(Positions(doc), (std::vector<std::pair<double, double>>{{33, 44}, {38, 49}}));
}

TEST(Placement, SearchFindsTheSlotTestingEveryItemWould) {
    // Every search order and both whole-cell fallbacks, on grids that do and
    // do not fill the usable area, with items on and off the grid.
    for (int direction : {0, 1, 2, 3, 4, 5, 6, 7, 9, -1}) {
        for (unsigned seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(testing::Message() << "direction " << direction << ", seed " << seed);
            Draw draw(seed * 100 + static_cast<unsigned>(direction + 1));
            PlateProperties p =
                Plate(draw.One({10.0, 23.5, 33.3, 92.0}), draw.One({10.0, 17.25, 50.0, 60.0}),
                      direction, draw.Real(150, 400), draw.Real(120, 300));
            p.margin = {draw.Real(0, 20), draw.Real(0, 20), draw.Real(0, 20), draw.Real(0, 20)};
            CTesselDoc doc;
            doc.SetProperties(p);
            ASSERT_TRUE(doc.Geometry().HasGrid());
            CompareWhileChanging(doc, draw, 150);
        }
    }
}

TEST(Placement, SearchMatchesTestingEveryItemWithOddBoxesAndOnAHugeGrid) {
    // Boxes that are not numbers, reach to infinity, have negative sizes,
    // come from the pasteboard or cross the whole grid, each alone on a 3 x 3
    // grid and on one with more columns than the search gives buckets of their own.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const CZelBound odd[] = {
        {nan, 20, 10, 10},          {20, 20, nan, 10},     {-inf, 20, inf, 10},
        {100, 10, inf, 5},          {150, 100, -100, -85}, {-1e300, 25, 2e300, 5},
        {120, -1e308, 10, 1.5e308}, {-inf, -inf, 5, 5},    {-100, 5, 115, 10},
    };
    for (int direction : {0, 1, 2, 3, 4, 5, 6, 7, 9}) {
        for (const PlateProperties& p :
             {Plate(92, 60, direction), Plate(1, 10, direction, 720, 60)}) {
            for (const CZelBound& box : odd) {
                SCOPED_TRACE(testing::Message()
                             << "direction " << direction << ", grid " << p.gridWidth << ", box "
                             << box.x << " " << box.y << " " << box.width << " " << box.height);
                CTesselDoc doc;
                doc.SetProperties(p);
                auto item = std::make_unique<CZelItem>();
                std::tie(item->x, item->y, item->width, item->height) =
                    std::tuple(box.x, box.y, box.width, box.height);
                doc.AddItem(std::move(item));
                for (const auto& [w, h] :
                     {std::pair(p.gridWidth, p.gridHeight),
                      std::pair(2 * p.gridWidth, p.gridHeight),
                      std::pair(p.gridWidth, 2 * p.gridHeight),
                      std::pair(2 * p.gridWidth, 2 * p.gridHeight), std::pair(0.5, 0.5)}) {
                    CZelBound found{-1, -1, -1, -1}, expected{-1, -1, -1, -1};
                    EXPECT_EQ(doc.FindFreeSlot(w, h, found),
                              SlotTestingEveryItem(doc, w, h, expected));
                    EXPECT_EQ(found, expected) << w << " x " << h;
                }
            }
        }
    }

    CTesselDoc huge;
    huge.SetProperties(Plate(1, 10, 3, 720, 60));
    ASSERT_GT(huge.Geometry().gridColumns, 600);
    Draw draw(7);
    CompareWhileChanging(huge, draw, 60);
}
