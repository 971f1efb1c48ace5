#include "engine/tesseldoc.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CZelItem> Item(const char* ordernum, int mediaInd, double x, double y) {
    auto item = std::make_unique<CZelItem>();
    item->ordernum = QString::fromLatin1(ordernum);
    item->mediaInd = mediaInd;
    item->width = 90;
    item->height = 50;
    item->x = x;
    item->y = y;
    return item;
}

} // namespace

TEST(TesselDoc, ItemsSelectionAndDirtyRectangles) {
    CTesselDoc doc;
    EXPECT_EQ(doc.AddItem(Item("A", 0, 10, 10)), 1);
    EXPECT_EQ(doc.AddItem(Item("B", 0, 110, 10)), 2);
    EXPECT_EQ(doc.AddItem(Item("A", 1, 210, 10), false, true), 3);
    EXPECT_EQ(doc.AddItem(Item("C", 0, 0, 0), true), 4); // at the head: drawn first
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.ItemAt(0)->ordernum, QStringLiteral("C"));
    EXPECT_EQ(doc.FindByOrdernum(QStringLiteral("A")), doc.ItemAt(1));
    EXPECT_EQ(doc.CountOrderItems(QStringLiteral("A")), 2);
    EXPECT_EQ(doc.CountOrderItems(QStringLiteral("A"), 1), 1);
    EXPECT_EQ(doc.SelectedCount(), 1);
    doc.TakeDirtyRects();

    // Selection keeps the order of selecting, once per item, flag in step.
    CZelItem* b = doc.ItemAt(2);
    EXPECT_EQ(doc.SelectItem(b), 2);
    EXPECT_EQ(doc.SelectItem(b), 2);
    EXPECT_EQ(doc.Selection().front(), doc.ItemAt(3));
    EXPECT_TRUE(b->selected);
    EXPECT_EQ(doc.SelectAll(), 4);
    EXPECT_EQ(doc.Selection()[2], doc.ItemAt(0));
    EXPECT_EQ(doc.DeselectItem(b), 3);
    EXPECT_FALSE(b->selected);
    EXPECT_EQ(doc.DeselectAll(), 0);
    for (int i = 0; i < doc.ItemCount(); ++i)
        EXPECT_FALSE(doc.ItemAt(i)->selected);

    // A change reports the old rectangle, then the new one.
    doc.TakeDirtyRects();
    doc.RotateItem(b, true);
    EXPECT_EQ(b->rotate, 90);
    EXPECT_EQ(doc.TakeDirtyRects(), (std::vector<CZelBound>{{110, 10, 90, 50}, {110, 10, 50, 90}}));
    doc.RotateItem(b, false);
    doc.RotateItem(b, false);
    EXPECT_EQ(b->rotate, 270);

    doc.SelectAll();
    EXPECT_EQ(doc.RemoveOrder(QStringLiteral("A")), 2);
    EXPECT_EQ(doc.ItemCount(), 2);
    EXPECT_EQ(doc.SelectedCount(), 2);
    doc.RemoveItem(b);
    EXPECT_EQ(doc.IndexOf(b), -1);
    EXPECT_EQ(doc.SelectedCount(), 1);
    doc.Clear();
    EXPECT_EQ(doc.ItemCount(), 0);
    EXPECT_EQ(doc.SelectedCount(), 0);
}

TEST(TesselDoc, RotatingTurnsThePagesAndTheLabel) {
    // The label turns with the item, a quarter further when the artwork lies
    // turned in it, as the label side of the press places it.
    struct {
        int mediaRotate;
        bool clockwise;
        int rotates[4];
        int labels[4];
    } cases[] = {
        {0, true, {90, 180, 270, 0}, {90, 180, 270, 0}},
        {1, true, {90, 180, 270, 0}, {180, 270, 0, 90}},
        {1, false, {270, 180, 90, 0}, {0, 270, 180, 90}},
    };
    for (const auto& c : cases) {
        CTesselDoc doc;
        doc.AddItem(Item("A", 0, 10, 10));
        CZelItem* item = doc.ItemAt(0);
        item->mediaRotate = c.mediaRotate;
        for (int step = 0; step < 4; ++step) {
            doc.RotateItem(item, c.clockwise);
            EXPECT_EQ(item->rotate, c.rotates[step]);
            EXPECT_EQ(item->LabelRotation(), c.labels[step]);
            EXPECT_EQ(item->label.rotation, c.labels[step]);
            EXPECT_EQ(item->pages[0].Picture().Rotation(), c.rotates[step]);
            EXPECT_EQ(item->pages[1].Picture().Rotation(), c.rotates[step]);
        }
    }
}

TEST(TesselDoc, GeometryTests) {
    CTesselDoc doc;
    PlateProperties p;
    p.width = 640;
    p.height = 460;
    p.margin = {10, 10, 10, 10};
    doc.SetProperties(p);
    EXPECT_EQ(doc.Geometry().usableArea, (CZelBound{10, 10, 620, 440}));

    EXPECT_TRUE(CTesselDoc::Overlaps({0, 0, 10, 10}, {5, 5, 10, 10}));
    EXPECT_FALSE(CTesselDoc::Overlaps({0, 0, 10, 10}, {10, 0, 10, 10})); // touching
    EXPECT_FALSE(CTesselDoc::Overlaps({0, 0, 10, 10}, {0, 10, 10, 10}));
    EXPECT_TRUE(doc.InsideUsableArea({10, 10, 620, 440}));
    EXPECT_FALSE(doc.InsideUsableArea({9.9, 10, 10, 10}));
    EXPECT_FALSE(doc.InsideUsableArea({600, 400, 31, 10}));

    CZelItem item;
    item.width = 90;
    item.height = 50;
    for (auto [x, y, inside] : {std::tuple{-89.0, 0.0, true}, {-90.0, 0.0, false}, {639.0, 459.0, true},
                                {640.0, 0.0, false}, {0.0, 460.0, false}}) {
        item.x = x;
        item.y = y;
        EXPECT_EQ(doc.InsideLayoutArea(item), inside) << x << "," << y;
    }
}
