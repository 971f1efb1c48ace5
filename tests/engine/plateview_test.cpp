#include "engine/platecreation.h"
#include "engine/plateview.h"
#include "engine/screenmapping.h"
#include "engine/tesseldoc.h"

#include <gtest/gtest.h>

#include <limits>

using namespace plateview;

TEST(PlateView, ZoomStepsInThousandths) {
    struct Case {
        int zoom, step, expected;
    };
    const Case cases[] = {
        {1900, 1, 2000}, {2000, 1, 2000}, {2500, 1, 2500},  {300, -1, 250}, {120, -1, 120},
        {100, -1, 100},  {120, 1, 250},   {330, 1, 500},    {330, -1, 250}, {250, -1, 120},
        {500, 0, 1000},  {1000, 1, 1250}, {1250, -1, 1000}, {119, 1, 120},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepZoom(c.zoom, c.step), c.expected) << c.zoom << " step " << c.step;
    EXPECT_FALSE(CanZoomIn(2000));
    EXPECT_TRUE(CanZoomIn(1999));
    EXPECT_FALSE(CanZoomOut(120));
    EXPECT_TRUE(CanZoomOut(121));
    EXPECT_EQ(ZoomText(330), QStringLiteral("33.0%"));
    EXPECT_EQ(ZoomText(1250), QStringLiteral("125.0%"));
    EXPECT_EQ(ZoomFromPercent(33.3, 500), 333);
    EXPECT_EQ(ZoomFromPercent(5000, 500), kMaxZoom);
    EXPECT_EQ(ZoomFromPercent(std::numeric_limits<double>::quiet_NaN(), 500), 500);
}

TEST(PlateView, ScrollPositionKeptThroughAZoom) {
    EXPECT_EQ(ScrollAfterZoom(500, 1000, 2000), 1000);
    EXPECT_EQ(ScrollAfterZoom(1000, 1000, 400), 400);
    EXPECT_EQ(ScrollAfterZoom(300, 0, 2000), 0); // nothing to scroll before
    EXPECT_EQ(ScrollAfterZoom(300, 1000, 0), 0);
    EXPECT_EQ(ScrollAfterZoom(-5, 1000, 2000), 0);
    EXPECT_EQ(ScrollAfterZoom(2000, 1000, 2000), 2000);
}

TEST(PlateView, ViewSidesMapToTheGeometrysSides) {
    struct Case {
        const char* what;
        int paperSide, turn;
        int a, b, label;
    };
    const Case cases[] = {
        {"single-sided", 0, 2, 0, -1, 1},
        {"double-sided", 1, 0, 0, 1, 2},
        {"work-and-turn", 2, 0, 0, -1, 1},
        {"work-and-turn without a split", 2, 2, 0, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlateProperties p = platecreation::DefaultProperties();
        p.paperSideSetting = c.paperSide;
        p.turnDirection = c.turn;
        const PlateGeometry g = ComputePlateGeometry(p);
        EXPECT_EQ(GeometrySide(ViewSide::A, g), c.a);
        EXPECT_EQ(GeometrySide(ViewSide::B, g), c.b);
        EXPECT_EQ(GeometrySide(ViewSide::Label, g), c.label);
        EXPECT_EQ(GeometrySide(ViewSide::Label, g), g.labelSide);
        EXPECT_EQ(FitViewSide(ViewSide::B, g), c.b < 0 ? ViewSide::A : ViewSide::B);
        EXPECT_EQ(FitViewSide(ViewSide::Label, g), ViewSide::Label);
    }
}

namespace {

class ViewSelection : public ::testing::Test {
protected:
    CTesselDoc doc;
    const CZelItem* Add(double x, double y, int artworkPage = 0) {
        auto item = std::make_unique<CZelItem>();
        item->ordernum = QStringLiteral("O%1").arg(doc.ItemCount());
        item->width = 90;
        item->height = 50;
        item->x = x;
        item->y = y;
        item->pageNum = artworkPage;
        const CZelItem* raw = item.get();
        doc.AddItem(std::move(item));
        return raw;
    }
    std::vector<const CZelItem*> Selected() const { return doc.Selection(); }
};

} // namespace

TEST_F(ViewSelection, ClicksPickTheTopmostItemOfThePage) {
    const CZelItem* under = Add(0, 0);
    const CZelItem* over = Add(50, 20); // drawn later, overlapping
    const CZelItem* other = Add(200, 0);
    // Showing its artwork's third page, it still lies on the first plate page.
    const CZelItem* later = Add(0, 200, 2);

    EXPECT_EQ(TopmostItemAt(doc, 0, 60, 30), over);
    EXPECT_EQ(TopmostItemAt(doc, 0, 10, 10), under);
    EXPECT_EQ(TopmostItemAt(doc, 0, 10, 210), later);
    EXPECT_EQ(TopmostItemAt(doc, 1, 10, 10), nullptr); // later plate pages hold no items
    EXPECT_EQ(TopmostItemAt(doc, 0, 150, 100), nullptr);
    EXPECT_EQ(TopmostItemAt(doc, 0, 90, 10), nullptr); // the right edge is outside

    struct Step {
        double x, y;
        bool shift;
        bool changed;
        std::vector<const CZelItem*> selection;
    };
    const Step steps[] = {
        {10, 10, false, true, {under}},
        {10, 10, false, false, {under}},        // already selected: no change
        {210, 10, true, true, {under, other}},  // Shift adds
        {10, 10, false, false, {under, other}}, // a selected one keeps them all
        {60, 30, false, true, {over}},          // an unselected one replaces
        {150, 100, true, false, {over}},        // empty space with Shift
        {150, 100, false, true, {}},            // empty space clears
        {150, 100, false, false, {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.x << "," << s.y << (s.shift ? " shift" : ""));
        EXPECT_EQ(ClickSelect(doc, 0, s.x, s.y, s.shift), s.changed);
        EXPECT_EQ(Selected(), s.selection);
    }
}

TEST_F(ViewSelection, RubberBandGrazingSelectsAndShiftAdds) {
    const CZelItem* a = Add(0, 0);
    const CZelItem* b = Add(100, 0);
    const CZelItem* c = Add(0, 100, 1); // artwork page 2, plate page 1
    // Drawn from bottom-right to top-left, touching a's right edge only.
    EXPECT_TRUE(SelectInRect(doc, 0, {95, 60, -5, -10}, false));
    EXPECT_EQ(Selected(), (std::vector<const CZelItem*>{a}));
    EXPECT_TRUE(SelectInRect(doc, 0, {150, 10, 10, 10}, true));
    EXPECT_EQ(Selected(), (std::vector<const CZelItem*>{a, b}));
    EXPECT_FALSE(SelectInRect(doc, 0, {0, 0, 300, 95}, true));  // all there taken already
    EXPECT_TRUE(SelectInRect(doc, 1, {0, 0, 300, 300}, false)); // clears; page 2 is empty
    EXPECT_TRUE(Selected().empty());
    EXPECT_TRUE(SelectInRect(doc, 0, {0, 90, 300, 300}, false));
    EXPECT_EQ(Selected(), (std::vector<const CZelItem*>{c}));
    EXPECT_TRUE(SelectInRect(doc, 0, {500, 500, 1, 1}, false));
    EXPECT_TRUE(Selected().empty());
}

TEST(PlateView, ArrangeDirectionMarksModifiedOnlyWhenItChanges) {
    CTesselDoc doc;
    PlateProperties p = platecreation::DefaultProperties();
    p.arrangeDirection = 2;
    doc.SetProperties(p);
    doc.SetModified(false);

    EXPECT_FALSE(SetArrangeDirection(doc, 2).changed);
    EXPECT_FALSE(doc.IsModified());
    const PropertyChange change = SetArrangeDirection(doc, 5);
    EXPECT_TRUE(change.changed);
    EXPECT_FALSE(change.geometryChanged);
    EXPECT_EQ(doc.Properties().arrangeDirection, 5);
    EXPECT_TRUE(doc.IsModified());
    // An earlier unsaved edit is never forgotten.
    EXPECT_FALSE(SetArrangeDirection(doc, 5).changed);
    EXPECT_TRUE(doc.IsModified());

    p = doc.Properties();
    p.margin[PlateProperties::Edge::Left] = 20;
    doc.SetModified(false);
    const PropertyChange layout = ChangeProperties(doc, p);
    EXPECT_TRUE(layout.changed && layout.geometryChanged);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Geometry().usableArea.x, 20);
}

TEST(PlateView, PagesAfterTheFirstLieInsideTheExtent) {
    using namespace screenmapping;
    // At 254 dpi a pixel is 0.1 mm.
    EXPECT_EQ(ViewExtentPixels(640, 460, 254, 254, 1.0, 3).height, 5100 + 2 * 4600);
    EXPECT_EQ(ViewExtentPixels(640, 460, 254, 254, 1.0, 0).height, 5100);
    const ViewPoint third = PageOriginPixels(2, 640, 460, 254, 254, 1.0);
    EXPECT_EQ(third.x, 6400);
    EXPECT_EQ(third.y, 250 + 2 * 4600);
    // A point 10 mm into the third page maps back to that page.
    const PlatePoint p = ViewPointToPlate(third.x + 100, third.y + 100, 254, 254, 1.0, 640, 460, 3);
    EXPECT_EQ(p.page, 2);
    EXPECT_NEAR(p.x, 10, 1e-9);
    EXPECT_NEAR(p.y, 10, 1e-9);
    // Zoom in thousandths: 0.12 stays 120, never 119.
    EXPECT_EQ(MmToPixelsAtZoom(1000, 254, 120), 1200);
    EXPECT_NEAR(PixelsToMmAtZoom(1200, 254, 120), 1000, 1e-9);
}
