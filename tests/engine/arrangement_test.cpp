#include "engine/tesseldoc.h"

#include <gtest/gtest.h>

namespace {

// A 640 x 460 plate, 10 mm margins, a 92 x 52 grid.
class Arrangement : public ::testing::Test {
protected:
    void SetUp() override {
        PlateProperties p;
        p.width = 640;
        p.height = 460;
        p.margin = {10, 10, 10, 10};
        p.cutMargin = {1, 2, 3, 4};
        p.gridWidth = 92;
        p.gridHeight = 52;
        doc.SetProperties(p);
    }

    CZelItem* Add(double x, double y, double w = 90, double h = 50, const char* ordernum = "A") {
        auto item = std::make_unique<CZelItem>();
        item->ordernum = QString::fromLatin1(ordernum);
        item->x = x;
        item->y = y;
        item->width = w;
        item->height = h;
        CZelItem* raw = item.get();
        doc.AddItem(std::move(item));
        return raw;
    }

    std::vector<double> Xs() const {
        std::vector<double> xs;
        for (int i = 0; i < doc.ItemCount(); ++i)
            xs.push_back(doc.ItemAt(i)->x);
        return xs;
    }

    CTesselDoc doc;
};

} // namespace

TEST_F(Arrangement, AlignToTheFirstSelectedItem) {
    using A = CTesselDoc::Align;
    struct Case {
        A kind;
        double x, y;
    } cases[] = {{A::Left, 100, 300},
                 {A::Right, 100 + 90 - 40, 300},
                 {A::HorizontalCentre, 100 + 45 - 20, 300},
                 {A::Top, 400, 100},
                 {A::Bottom, 400, 100 + 50 - 30},
                 {A::VerticalCentre, 400, 100 + 25 - 15}};
    for (const Case& c : cases) {
        CTesselDoc fresh;
        fresh.SetProperties(doc.Properties());
        auto ref = std::make_unique<CZelItem>();
        ref->x = 100;
        ref->y = 100;
        ref->width = 90;
        ref->height = 50;
        auto other = std::make_unique<CZelItem>();
        other->x = 400;
        other->y = 300;
        other->width = 40;
        other->height = 30;
        CZelItem* r = ref.get();
        CZelItem* o = other.get();
        fresh.AddItem(std::move(other), false, false);
        fresh.AddItem(std::move(ref), false, false);
        fresh.SelectItem(r);
        fresh.SelectItem(o);
        EXPECT_TRUE(fresh.AlignSelection(c.kind));
        EXPECT_EQ(o->x, c.x) << int(c.kind);
        EXPECT_EQ(o->y, c.y) << int(c.kind);
        EXPECT_EQ(r->x, 100);
        EXPECT_FALSE(fresh.AlignSelection(c.kind)); // nothing moves a second time
    }

    // Centring clamps to the pasteboard.
    CZelItem* wide = Add(-600, 0, 90, 50);
    CZelItem* huge = Add(0, 0, 300, 50);
    doc.SelectItem(wide);
    doc.SelectItem(huge);
    EXPECT_TRUE(doc.AlignSelection(A::HorizontalCentre));
    EXPECT_EQ(huge->x, -640);
}

TEST_F(Arrangement, HorizontalSpacing) {
    CZelItem* a = Add(10, 10);
    CZelItem* c = Add(300, 30, 90, 40);
    CZelItem* b = Add(150, 0);
    doc.SelectAll();
    EXPECT_TRUE(doc.SpaceHorizontally(0, false, true));
    EXPECT_TRUE(doc.SpaceHorizontally(0, false));
    EXPECT_EQ(a->x, 10);
    EXPECT_EQ(b->x, 100); // sorted by X: a, b, c
    EXPECT_EQ(c->x, 190);

    // A gap of -30 overlaps neighbours; an item that would pass the usable
    // area stays, and the next is spaced from the last one moved.
    doc.Clear();
    CZelItem* first = Add(10, 10, 300, 50);
    CZelItem* big = Add(320, 10, 400, 50);
    CZelItem* small = Add(700, 10, 90, 50);
    doc.SelectAll();
    EXPECT_TRUE(doc.SpaceHorizontally(-30, false));
    EXPECT_EQ(first->x, 10);
    EXPECT_EQ(big->x, 320);
    EXPECT_EQ(small->x, 280);

    // A positive gap counts in the fit: 310 + 20 + 310 would pass the usable edge at 630.
    doc.Clear();
    Add(10, 10, 300, 50);
    CZelItem* wide = Add(400, 10, 310, 50);
    doc.SelectAll();
    EXPECT_FALSE(doc.SpaceHorizontally(20, false));
    EXPECT_EQ(wide->x, 400);
    EXPECT_TRUE(doc.SpaceHorizontally(10, false)); // 320 + 310 ends exactly at the edge
    EXPECT_EQ(wide->x, 320);

    // A chosen gap, then the items aligned to the first one's bottom.
    doc.Clear();
    CZelItem* p = Add(10, 10, 90, 50);
    CZelItem* q = Add(200, 30, 90, 40);
    doc.SelectAll();
    EXPECT_TRUE(doc.SpaceAndAlign(true, 5, false, 2));
    EXPECT_EQ(q->x, 105);
    EXPECT_EQ(q->y, 20);
    EXPECT_EQ(p->y, 10);

    // Items that do not stand in one row are left alone.
    doc.Clear();
    Add(10, 10, 90, 50);
    CZelItem* low = Add(200, 10 + 40, 90, 20); // top below 10 + 3/4 of 50
    doc.SelectAll();
    EXPECT_FALSE(doc.SpaceHorizontally(0, false, true));
    EXPECT_FALSE(doc.SpaceHorizontally(0, false));
    EXPECT_EQ(low->x, 200);
}

TEST_F(Arrangement, VerticalSpacingWithOwnCutLines) {
    CZelItem* a = Add(10, 10);
    CZelItem* b = Add(12, 200);
    a->ownCut = 1;
    b->ownCut = 1;
    doc.SelectAll();
    EXPECT_TRUE(doc.SpaceVertically(2, true));
    // The first box runs from 9 to 61; the next item's Y is gap + that end.
    EXPECT_EQ(b->y, 2 + 9 + 52);
}

TEST_F(Arrangement, MovingStaysOnThePasteboard) {
    CZelItem* a = Add(10, 10);
    CZelItem* b = Add(200, 100);
    doc.SelectAll();
    EXPECT_TRUE(doc.MoveSelection(5, -5));
    EXPECT_EQ(a->x, 15);
    EXPECT_EQ(b->y, 95);
    // Right edge 290 + 1000 passes 2 x 640: x stays, y still moves.
    EXPECT_TRUE(doc.MoveSelection(1000, 1));
    EXPECT_EQ(b->x, 205);
    EXPECT_EQ(b->y, 96);
    EXPECT_FALSE(doc.MoveSelection(0, -40)); // top 5 - 40 < -25
    EXPECT_TRUE(doc.MoveSelection(-655, 0)); // left reaches -640 exactly
    EXPECT_EQ(a->x, -640);
}

TEST_F(Arrangement, StackingOrder) {
    for (double x : {0, 100, 200, 300})
        Add(x, 0);
    const CZelItem* first = doc.ItemAt(0);
    const CZelItem* third = doc.ItemAt(2);
    doc.SelectItem(first);
    EXPECT_TRUE(doc.ChangeStacking(CTesselDoc::Stacking::BringForward, true));
    EXPECT_TRUE(doc.ChangeStacking(CTesselDoc::Stacking::BringForward));
    EXPECT_EQ(Xs(), (std::vector<double>{100, 0, 200, 300}));
    EXPECT_TRUE(doc.ChangeStacking(CTesselDoc::Stacking::BringToFront));
    EXPECT_EQ(Xs(), (std::vector<double>{100, 200, 300, 0}));
    EXPECT_FALSE(doc.ChangeStacking(CTesselDoc::Stacking::BringToFront)); // already on top
    doc.SelectItem(third);
    EXPECT_TRUE(doc.ChangeStacking(CTesselDoc::Stacking::SendToBack));
    EXPECT_EQ(Xs(), (std::vector<double>{0, 200, 100, 300}));
    doc.DeselectAll();
    doc.SelectItem(doc.ItemAt(3));
    EXPECT_TRUE(doc.ChangeStacking(CTesselDoc::Stacking::SendBackward));
    EXPECT_EQ(Xs(), (std::vector<double>{0, 200, 300, 100}));
    doc.SelectAll();
    EXPECT_FALSE(doc.ChangeStacking(CTesselDoc::Stacking::BringToFront, true));
}

TEST_F(Arrangement, OwnCutLinesAndFrames) {
    CZelItem* a = Add(0, 0);
    CZelItem* b = Add(100, 0);
    doc.SelectAll();
    const CTesselDoc::OwnCutSettings defaults = doc.DefaultOwnCutSettings();
    EXPECT_EQ(defaults.margins, (std::array<double, 4>{2, 1, 4, 3})); // left, top, right, bottom
    a->ownCut = 1;
    EXPECT_FALSE(doc.AllSelectedHaveOwnCut());
    EXPECT_TRUE(doc.ToggleOwnCut(defaults));
    EXPECT_TRUE(a->ownCut && b->ownCut);
    EXPECT_EQ(b->crop, defaults.margins);
    EXPECT_TRUE(doc.ToggleOwnCut(defaults)); // all on: switched off
    EXPECT_FALSE(a->ownCut || b->ownCut);
    // Every mark off switches only the lines: margins and marks stay.
    CTesselDoc::OwnCutSettings noMarks = defaults;
    noMarks.marks.fill(0);
    noMarks.margins = {9, 9, 9, 9};
    b->cropMarks[2] = 0;
    doc.ToggleOwnCut(noMarks);
    EXPECT_FALSE(a->ownCut || b->ownCut);
    EXPECT_EQ(b->crop, defaults.margins);
    EXPECT_EQ(b->cropMarks, (std::array<int, 8>{1, 1, 0, 1, 1, 1, 1, 1}));

    b->ownFrame = 1;
    b->ownFrameColor = QStringLiteral("Cyan");
    EXPECT_TRUE(doc.ToggleFrames(QStringLiteral("Magenta")));
    EXPECT_EQ(a->ownFrameColor, QStringLiteral("Magenta"));
    EXPECT_EQ(b->ownFrameColor, QStringLiteral("Cyan")); // keeps its colour
    EXPECT_TRUE(doc.ToggleFrames(QString()));
    EXPECT_FALSE(a->ownFrame || b->ownFrame);
}

TEST_F(Arrangement, SnappingAndSelectionBounds) {
    // At 96 dpi and zoom 1 a millimetre is 3.78 pixels: 1 mm is near, 2 mm is not.
    struct Case {
        CZelBound box;
        double x, y;
        bool changed;
    } cases[] = {
        {{1, 200, 90, 50}, 0, 200, true},         // left edge to the plate edge
        {{549, 200, 90, 50}, 550, 200, true},     // right edge to the layout edge
        {{11, 200, 90, 50}, 10, 200, true},       // to the left margin
        {{539, 200, 90, 50}, 540, 200, true},     // right edge to the usable area
        {{103, 200, 50, 50}, 102, 200, true},     // to a grid line
        {{300.5, 221, 50, 50}, 300.5, 220, true}, // bottom edge to the grid line at 270
        {{300.5, 11, 50, 50}, 300.5, 10, true},   // top edge to the top margin
        {{300.5, 219, 50, 50}, 300.5, 218, true}, // the first grid line that is near wins
        {{150, 150, 40, 40}, 150, 150, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto snap = doc.SnapPosition(cases[i].box, 96, 96, 1.0);
        EXPECT_EQ(snap.x, cases[i].x) << i;
        EXPECT_EQ(snap.y, cases[i].y) << i;
        EXPECT_EQ(snap.changed, cases[i].changed) << i;
    }
    // At zoom 0.25 the same 2 mm are under 6 pixels.
    EXPECT_EQ(doc.SnapPosition({12, 200, 90, 50}, 96, 96, 0.25).x, 10);

    CZelItem* a = Add(100, 50);
    CZelItem* b = Add(300, 20, 40, 200);
    doc.SelectItem(a);
    EXPECT_EQ(doc.SelectionBounds(false), (CZelBound{100, 50, 90, 50}));
    doc.SelectItem(b);
    // The box reaches the furthest right and bottom edges, wherever they are.
    EXPECT_EQ(doc.SelectionBounds(false), (CZelBound{100, 20, 240, 200}));
}
