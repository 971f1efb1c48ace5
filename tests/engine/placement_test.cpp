#include "engine/tesseldoc.h"

#include <gtest/gtest.h>

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
    moved.ItemAt(0)->x = 190; // now where the third would go
    moved.ItemAt(0)->y = 10;
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
