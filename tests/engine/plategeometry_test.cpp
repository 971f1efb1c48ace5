#include "engine/plategeometry.h"
#include "engine/screenmapping.h"
#include "engine/zelitem.h"

#include <gtest/gtest.h>

namespace {

PlateProperties Sheet(double width, double height, double margins, double gridW, double gridH,
                      int side = 0, int imposition = 0) {
    PlateProperties p;
    p.width = width;
    p.height = height;
    p.margin = {margins, margins, margins, margins};
    p.gridWidth = gridW;
    p.gridHeight = gridH;
    p.paperSideSetting = side;
    p.turnDirection = imposition;
    return p;
}

} // namespace

TEST(PlateGeometry, SidesAndLayoutOfEveryKindOfPlate) {
    struct Case {
        int side, imposition;
        int workAndTurn, paperSide, sideCount, labelSide;
        double layoutW, layoutH, rightMargin, bottomMargin;
    } cases[] = {
        {0, 0, 0, 0, 2, 1, 640, 460, 10, 10}, // single-sided
        {1, 0, 0, 1, 3, 2, 640, 460, 10, 10}, // A and B
        {2, 0, 1, 1, 2, 1, 320, 460, 0, 10},  // work-and-turn split across the width
        {2, 1, 1, 1, 2, 1, 640, 230, 10, 0},  // split across the height
        {2, 2, 1, 0, 2, 1, 640, 460, 10, 10}, // no split: counts as single-sided
    };
    for (const Case& c : cases) {
        const PlateGeometry g =
            ComputePlateGeometry(Sheet(640, 460, 10, 92, 52, c.side, c.imposition));
        const std::string name = std::to_string(c.side) + "/" + std::to_string(c.imposition);
        EXPECT_EQ(g.workAndTurn, c.workAndTurn) << name;
        EXPECT_EQ(g.paperSide, c.paperSide) << name;
        EXPECT_EQ(g.sideCount, c.sideCount) << name;
        EXPECT_EQ(g.labelSide, c.labelSide) << name;
        EXPECT_EQ(g.layoutWidth, c.layoutW) << name;
        EXPECT_EQ(g.layoutHeight, c.layoutH) << name;
        EXPECT_EQ(g.effectiveRightMargin, c.rightMargin) << name;
        EXPECT_EQ(g.effectiveBottomMargin, c.bottomMargin) << name;
        EXPECT_EQ(g.usableArea, (CZelBound{10, 10, c.layoutW - 10 - c.rightMargin,
                                           c.layoutH - 10 - c.bottomMargin}))
            << name;
        EXPECT_EQ(g.centreX, 10 + g.usableArea.width / 2) << name;
    }
}

TEST(PlateGeometry, GridCellsAndLines) {
    // 640 x 460 with 10 mm margins: 6 columns of 92 (10..562 fit, 654 does
    // not) and 8 rows of 52 (the last starts at 374 <= 460 - 62).
    const PlateGeometry g = ComputePlateGeometry(Sheet(640, 460, 10, 92, 52));
    EXPECT_EQ(g.gridColumns, 6);
    EXPECT_EQ(g.gridRows, 8);
    ASSERT_EQ(g.cellsByRow.size(), 48u);
    EXPECT_EQ(g.cellsByRow[1], (CZelBound{102, 10, 92, 52}));   // along the first row
    EXPECT_EQ(g.cellsByColumn[1], (CZelBound{10, 62, 92, 52})); // down the first column
    EXPECT_EQ(g.cellsByRow.back(), g.cellsByColumn.back());
    EXPECT_EQ(g.gridLinesX, (std::vector<double>{102, 194, 286, 378, 470, 562}));
    EXPECT_EQ(g.gridLinesY.size(), 8u); // 62 ... 426, all below 450

    // A cell edge that computes a hair beyond its bound still counts.
    PlateProperties a4 = Sheet(297, 210, 12.7, 67.9, 50);
    EXPECT_EQ(ComputePlateGeometry(a4).gridColumns, 4);

    // A grid below 1 mm on either axis is no grid.
    for (auto [w, h] : {std::pair{0.5, 52.0}, {92.0, 0.0}}) {
        const PlateGeometry none = ComputePlateGeometry(Sheet(640, 460, 10, w, h));
        EXPECT_FALSE(none.HasGrid());
        EXPECT_EQ(none.gridRows, 0);
        EXPECT_EQ(none.gridColumns, 0);
    }
    // A corrupt size does not make an endless grid.
    EXPECT_LE(ComputePlateGeometry(Sheet(1e12, 460, 10, 1, 52)).gridLinesX.size(), 5000u);
}

TEST(PlateProperties, DerivedValuesOnReading) {
    struct Case {
        double quantity;
        int pressUnit, stored, expected;
    } cases[] = {{3.0, 1, 0, 1500},
                 {3.5, 1, 0, 1500},
                 {0.5, 1, 0, 0},
                 {2500.9, 0, 0, 2500},
                 {3.0, 1, 700, 700}};
    for (const Case& c : cases) {
        PlateProperties p;
        p.quantity = c.quantity;
        p.pressUnit = c.pressUnit;
        p.pressCount = c.stored;
        p.pageCount = 0;
        p.Normalize();
        EXPECT_EQ(p.pressCount, c.expected) << c.quantity;
        EXPECT_EQ(p.pageCount, 1);
    }
    PlateProperties p;
    p.quantity = 2.5;
    p.pressQuantityText = QStringLiteral("0");
    p.Normalize();
    EXPECT_EQ(p.pressQuantityText, QStringLiteral("2.5"));
}

TEST(ZelItem, EffectiveSizeForEveryRotation) {
    struct Case {
        int rotate, mediaRotate;
        double w, h;
    } cases[] = {{0, 0, 90, 50},  {0, 1, 50, 90},  {180, 0, 90, 50}, {180, 1, 50, 90},
                 {90, 0, 50, 90}, {90, 1, 90, 50}, {270, 0, 50, 90}, {270, 1, 90, 50}};
    for (const Case& c : cases) {
        CZelItem item;
        item.width = 90;
        item.height = 50;
        item.x = 20;
        item.y = 30;
        item.rotate = c.rotate;
        item.mediaRotate = c.mediaRotate;
        EXPECT_EQ(item.EffectiveWidth(), c.w) << c.rotate << "/" << c.mediaRotate;
        EXPECT_EQ(item.EffectiveHeight(), c.h) << c.rotate << "/" << c.mediaRotate;
        EXPECT_EQ(item.Bounds(true), (CZelBound{20, 30, c.w, c.h})); // no own cut: no growth
        item.ownCut = 1;
        EXPECT_EQ(item.Bounds(true), (CZelBound{19, 29, c.w + 2, c.h + 2}));
        EXPECT_EQ(item.Bounds(false), (CZelBound{20, 30, c.w, c.h}));
    }
}

TEST(ScreenMapping, WindowsRounding) {
    using namespace screenmapping;
    struct {
        int a, b, c, out;
    } muldiv[] = {{5, 1, 2, 3},   {-5, 1, 2, -3}, {7, 1, 2, 4},          {4, 1, 3, 1},
                  {5, 1, 3, 2},   {1, 1, 0, -1},  {INT32_MAX, 2, 1, -1}, {25400, 96, 2540, 960},
                  {-1, -1, 2, 1}, {3, 1, -2, -2}};
    for (const auto& c : muldiv)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.out) << c.a << "*" << c.b << "/" << c.c;

    EXPECT_EQ(TruncateToInt32(1e12), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(-2.9), -2);
    // 10 mm at 96 dpi is 37.795 pixels: 38 at zoom 1, and the zoom takes
    // whole pixels in thousandths: MulDiv(38, 500, 1000) = 19.
    EXPECT_EQ(MmToPixels(10, 96, 1.0), 38);
    EXPECT_EQ(MmToPixels(10, 96, 0.5), 19);
    EXPECT_EQ(MmToPixels(10, 96, 0.333), 13); // 38 * 333 / 1000 = 12.654
    EXPECT_NEAR(PixelsToMm(38, 96, 1.0), 10.054, 0.001);
    EXPECT_NEAR(PixelsToMm(19, 96, 0.5), 10.054, 0.001);
}

TEST(ScreenMapping, ViewExtentAndPlatePoints) {
    using namespace screenmapping;
    // At 254 dpi a pixel is 0.1 mm, so the cases read in whole millimetres.
    const ViewExtent extent = ViewExtentPixels(640, 460, 254, 254, 1.0);
    EXPECT_EQ(extent.width, 19200); // 3 x 640 mm
    EXPECT_EQ(extent.height, 5100); // 460 + 50 mm
    const ViewExtent half = ViewExtentPixels(640, 460, 254, 254, 0.5);
    EXPECT_EQ(half.width, 9600);
    EXPECT_EQ(half.height, 2550);

    struct {
        double px, py, zoom;
        int pages;
        double x, y;
        int page;
    } cases[] = {
        {6500, 350, 1.0, 1, 10, 10, 0},      // on the page, 10 mm in from its corner
        {0, 0, 1.0, 1, -640, -25, 0},        // the view's corner: pasteboard above and left
        {3250, 175, 0.5, 1, 10, 10, 0},      // the zoom divides
        {6400, 5000, 1.0, 2, 0, 15, 1},      // on the second page
        {6400, 5000, 1.0, 1, 0, 475, 0},     // below the only page: stays below it
        {6400, 250 + 4600, 1.0, 2, 0, 0, 1}, // the second page's top edge
    };
    for (const auto& c : cases) {
        const PlatePoint p = ViewPointToPlate(c.px, c.py, 254, 254, c.zoom, 640, 460, c.pages);
        EXPECT_NEAR(p.x, c.x, 1e-9) << c.px << "," << c.py;
        EXPECT_NEAR(p.y, c.y, 1e-9) << c.px << "," << c.py;
        EXPECT_EQ(p.page, c.page) << c.px << "," << c.py;
    }
}
