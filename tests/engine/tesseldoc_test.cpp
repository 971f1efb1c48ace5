#include "recordingobserver.h"
#include "tests/succeeded.h"

#include "../records/recordfiles.h"
#include "engine/tesseldoc.h"
#include "pdfbinding/pdfserver.h"
#include "records/intakejournal.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

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

// A shop on disk for the operations that take orders or open the plate:
// job, progress and release folders, the PDF library, and orders made on
// demand in the job folder.
class DiskShop {
public:
    DiskShop() {
        const QDir root(m_dir.path());
        for (const char* name : {"jobs", "progress", "release"})
            root.mkdir(QLatin1String(name));
        jobs = root.filePath(QStringLiteral("jobs"));
        m_preference.SetFolder(CZelPreference::Folder::Jobs, jobs);
        m_preference.SetFolder(CZelPreference::Folder::Progress,
                               root.filePath(QStringLiteral("progress")));
        m_preference.SetFolder(CZelPreference::Folder::Release,
                               root.filePath(QStringLiteral("release")));
        EXPECT_TRUE(m_pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << m_pdf.LoadError().toStdString();
    }

    ShopContext Context() { return {.preference = &m_preference, .pdf = &m_pdf}; }

    // An order of one 90 x 50 case at 500 sheets: its PDF and its ticket in folder.
    std::unique_ptr<CZelJob> Order(const QString& ordernum, const QString& folder) {
        const QDir dir(folder);
        EXPECT_TRUE(m_pdf.ComposeBeginDoc(dir.filePath(ordernum + QStringLiteral(".pdf"))));
        EXPECT_TRUE(m_pdf.ComposeBeginPage(90, 50));
        EXPECT_TRUE(m_pdf.ComposeEndPage());
        EXPECT_TRUE(m_pdf.ComposeEndDoc());
        using recordfiles::Q;
        const QString body = recordfiles::Elements({{"Ordernum", Q(ordernum)},
                                                    {"Location", Q(QString())},
                                                    {"Pcases", QStringLiteral("1")},
                                                    {"PQuantity", QStringLiteral("500")},
                                                    {"Quantity", QStringLiteral("500")},
                                                    {"Width", QStringLiteral("90")},
                                                    {"Height", QStringLiteral("50")},
                                                    {"PDFPage", QStringLiteral("1")}},
                                                   1);
        const QString ticket = dir.filePath(ordernum + QStringLiteral(".tzjob"));
        EXPECT_TRUE(recordfiles::Write(ticket, recordfiles::Record("Tessel Job Ticket", body)));
        return std::make_unique<CZelJob>(ticket);
    }

    // Saves the plate as plate code and opens it, so that it has its work
    // and progress folders; A is selected again.
    void OpenPlate(CTesselDoc& doc, const QString& code) {
        doc.SetContext(Context());
        PlateProperties p = doc.Properties();
        p.jobCode = code;
        p.userAccount = QStringLiteral("demo");
        doc.SetProperties(p);
        const QString path = QDir(m_dir.path()).filePath(code + QStringLiteral(".tzmp"));
        ASSERT_TRUE(Succeeded(doc.Save(path)));
        ASSERT_TRUE(Succeeded(doc.Open(path)));
        doc.SelectItem(doc.ItemAt(0));
    }

    QString jobs;

private:
    QTemporaryDir m_dir;
    CZelPreference m_preference;
    CPDFServer m_pdf;
};

} // namespace

TEST(TesselDoc, ItemsSelectionAndDirtyRectangles) {
    CTesselDoc doc;
    RecordingObserver observer(doc);
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
    observer.TakeRects();

    // Selection keeps the order of selecting, once per item, flag in step.
    const CZelItem* b = doc.ItemAt(2);
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
    observer.TakeRects();
    doc.RotateItem(b, true);
    EXPECT_EQ(b->rotate, 90);
    EXPECT_EQ(observer.TakeRects(), (std::vector<CZelBound>{{110, 10, 90, 50}, {110, 10, 50, 90}}));
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
        auto made = Item("A", 0, 10, 10);
        made->mediaRotate = c.mediaRotate;
        doc.AddItem(std::move(made));
        const CZelItem* item = doc.ItemAt(0);
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
    for (auto [x, y, inside] : {std::tuple{-89.0, 0.0, true},
                                {-90.0, 0.0, false},
                                {639.0, 459.0, true},
                                {640.0, 0.0, false},
                                {0.0, 460.0, false}}) {
        item.x = x;
        item.y = y;
        EXPECT_EQ(doc.InsideLayoutArea(item), inside) << x << "," << y;
    }
}

TEST(TesselDoc, EveryOperationReportsWhatItChangedOnce) {
    using K = PlateChange;
    const CZelBound a{10, 10, 90, 50}; // item A as placed
    const CZelBound b{110, 10, 90, 50};
    const CZelBound next{200, 10, 90, 50}; // where a new item follows B
    DiskShop shop;
    const struct {
        const char* name;
        std::function<void(CTesselDoc&)> run; // A and B are on the plate, A selected
        unsigned kinds;
        bool wholePlate;
        std::vector<CZelBound> rects;
        bool modifies;
        // Before the plate is watched: for operations on a plate with its folders.
        std::function<void(CTesselDoc&)> prepare = {};
    } cases[] = {
        {"move",
         [](CTesselDoc& d) { d.MoveSelection(5, -2); },
         K::Items,
         false,
         {a, {15, 8, 90, 50}},
         true},
        {"rotate",
         [](CTesselDoc& d) { d.RotateSelection(true); },
         K::Items,
         false,
         {a, {10, 10, 50, 90}},
         true},
        {"align",
         [](CTesselDoc& d) {
             d.SelectItem(d.ItemAt(1));
             d.ChangeItem(d.ItemAt(1), [](CZelItem& item) { item.y = 30; });
             d.AlignSelection(CTesselDoc::Align::Top);
         },
         K::Items | K::Selection,
         false,
         {b, b, {110, 30, 90, 50}, {110, 30, 90, 50}, b},
         true},
        {"stacking",
         [](CTesselDoc& d) { d.ChangeStacking(CTesselDoc::Stacking::BringToFront); },
         K::Items,
         false,
         {a},
         true},
        {"own cut",
         [](CTesselDoc& d) { d.ToggleOwnCut(d.DefaultOwnCutSettings()); },
         K::Items,
         false,
         {a, {9, 9, 92, 52}},
         true},
        {"frame",
         [](CTesselDoc& d) { d.ToggleFrames(QStringLiteral("Red")); },
         K::Items,
         false,
         {a},
         true},
        {"change item",
         [](CTesselDoc& d) { d.ChangeItem(d.ItemAt(0), [](CZelItem& item) { item.x = 300; }); },
         K::Items,
         false,
         {a, {300, 10, 90, 50}},
         true},
        {"select",
         [](CTesselDoc& d) { d.SelectItem(d.ItemAt(1)); },
         K::Selection,
         false,
         {b},
         false},
        {"deselect all", [](CTesselDoc& d) { d.DeselectAll(); }, K::Selection, false, {a}, false},
        {"add to an order on the plate",
         [](CTesselDoc& d) { d.AddItem(Item("A", 1, 210, 10)); },
         K::Items,
         false,
         {{210, 10, 90, 50}},
         true},
        {"add a new order",
         [](CTesselDoc& d) { d.AddItem(Item("C", 0, 210, 10)); },
         K::Items | K::Orders,
         false,
         {{210, 10, 90, 50}},
         true},
        {"remove the last item of an order",
         [](CTesselDoc& d) { d.RemoveItem(d.ItemAt(1)); },
         K::Items | K::Orders,
         false,
         {b},
         true},
        {"remove an order",
         [](CTesselDoc& d) { d.RemoveOrder(QStringLiteral("A")); },
         K::Items | K::Selection | K::Orders,
         false,
         {a, a},
         true},
        {"clear",
         [](CTesselDoc& d) { d.Clear(); },
         K::Items | K::Selection | K::Orders,
         false,
         {a, b},
         true},
        {"properties",
         [](CTesselDoc& d) {
             PlateProperties p = d.Properties();
             p.gridWidth = 50;
             d.SetProperties(p);
         },
         K::Properties,
         true,
         {},
         true},
        {"lines",
         [](CTesselDoc& d) {
             d.SetLines({{1, 0, 100, 20, 0.5, QStringLiteral("Red")}});
         },
         K::Furniture,
         true,
         {},
         true},
        {"text boxes",
         [](CTesselDoc& d) { d.SetTextBoxes({TextBox{}}); },
         K::Furniture,
         true,
         {},
         true},
        // Nothing changes: nothing is reported.
        {"a move off the pasteboard",
         [](CTesselDoc& d) { d.MoveSelection(0, -100); },
         0,
         false,
         {},
         false},
        {"spacing in test mode",
         [](CTesselDoc& d) {
             d.SelectItem(d.ItemAt(1));
             d.SpaceHorizontally(0, false, true);
         },
         K::Selection,
         false,
         {b},
         false},
        {"the same lines", [](CTesselDoc& d) { d.SetLines({}); }, 0, false, {}, false},
        // Taking orders: the trial's items come and go unreported; the
        // placement reports its items and the orders.
        {"a trial drop",
         [&shop](CTesselDoc& d) {
             d.SetContext(shop.Context());
             const std::unique_ptr<CZelJob> order = shop.Order(QStringLiteral("T1"), shop.jobs);
             EXPECT_TRUE(d.TryDrop({order.get()}, 300, 200, false).orders[0].ok);
             EXPECT_EQ(d.ItemCount(), 2);
         },
         K::Selection,
         false,
         {a},
         false},
        {"a placement",
         [&shop](CTesselDoc& d) {
             const std::unique_ptr<CZelJob> order = shop.Order(QStringLiteral("P1"), shop.jobs);
             const CTesselDoc::DropReport report = d.PlaceDropped({order.get()}, 300, 200, false);
             EXPECT_TRUE(report.orders[0].ok) << report.orders[0].reason.toStdString();
             EXPECT_EQ(d.ItemCount(), 3);
         },
         K::Items | K::Selection | K::Orders,
         false,
         {a, next, next},
         true,
         [&shop](CTesselDoc& d) { shop.OpenPlate(d, QStringLiteral("PLACE")); }},
        // A drop cut short after its ticket moved: the open gives it back
        // and reports once, with the rest of the plate.
        {"an open that finishes a drop cut short",
         [&shop](CTesselDoc& d) {
             shop.Order(QStringLiteral("J1"), d.ProgressFolder());
             intakejournal::Journal journal;
             journal.platePath = d.Path();
             journal.entries.push_back({QStringLiteral("J1"), shop.jobs, QStringLiteral("J1.tzjob"),
                                        QStringLiteral("J1.pdf")});
             ASSERT_TRUE(intakejournal::Write(d.ProgressFolder(), journal));
             ASSERT_TRUE(d.Open(d.Path()));
             EXPECT_TRUE(QFileInfo::exists(QDir(shop.jobs).filePath(QStringLiteral("J1.tzjob"))));
             EXPECT_FALSE(intakejournal::AnyPending(d.ProgressFolder()));
         },
         K::Items | K::Selection | K::Properties | K::Furniture | K::Orders,
         true,
         {},
         false,
         [&shop](CTesselDoc& d) { shop.OpenPlate(d, QStringLiteral("RECOVER")); }},
    };
    for (const auto& c : cases) {
        CTesselDoc doc;
        PlateProperties p;
        p.width = 640;
        p.height = 460;
        p.margin = {10, 10, 10, 10};
        p.pressCount = 500;
        doc.SetProperties(p);
        doc.AddItem(Item("A", 0, 10, 10), false, true);
        doc.AddItem(Item("B", 0, 110, 10));
        if (c.prepare)
            c.prepare(doc);
        doc.SetModified(false);
        RecordingObserver observer(doc);
        c.run(doc);
        EXPECT_EQ(doc.IsModified(), c.modifies) << c.name;
        if (c.kinds == 0) {
            EXPECT_TRUE(observer.changes.empty()) << c.name;
            continue;
        }
        // "align" and "spacing" run several operations; each reports once.
        ASSERT_FALSE(observer.changes.empty()) << c.name;
        unsigned kinds = 0;
        bool whole = false;
        for (const PlateChange& change : observer.changes) {
            EXPECT_FALSE(change.IsEmpty()) << c.name;
            kinds |= change.kinds;
            whole = whole || change.wholePlate;
        }
        EXPECT_EQ(kinds, c.kinds) << c.name;
        EXPECT_EQ(whole, c.wholePlate) << c.name;
        EXPECT_EQ(observer.TakeRects(), c.rects) << c.name;
    }
}

TEST(TesselDoc, OperationsMadeOfOthersReportOnce) {
    CTesselDoc doc;
    doc.AddItem(Item("A", 0, 10, 10));
    doc.AddItem(Item("B", 0, 110, 10));
    RecordingObserver observer(doc);
    EXPECT_EQ(doc.SelectAll(), 2);
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_EQ(observer.changes[0].kinds, PlateChange::Selection);
    EXPECT_EQ(observer.changes[0].rects.size(), 2u);

    // An observer that left hears nothing more; one added twice hears once.
    RecordingObserver other(doc);
    doc.AddObserver(&other);
    doc.RemoveObserver(&observer);
    doc.RotateSelection(false);
    EXPECT_EQ(observer.changes.size(), 1u);
    ASSERT_EQ(other.changes.size(), 1u);
    EXPECT_EQ(other.changes[0].rects.size(), 4u); // both items, before and after
}
