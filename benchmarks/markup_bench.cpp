// Markup storage on a tree the size of an imposition document: load, save,
// and removal of every "PAGE", which must stay linear in the element count.
#include "records/docpresettree.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void AddDocument(CDocumentTree& tree, int items) {
    CTzmpItem* root = tree.GetOrAddChild(nullptr, CTzmpTree::kRootName);
    tree.Value(root, "DOCUMENT_TYPE") = QStringLiteral("Imposer Document");
    tree.Value(root, "VERSION") = QStringLiteral("1.0");
    CTzmpItem* page = tree.CreateItem("PAGE");
    tree.InsertItem(page, root, CMarkupTree::Position::Last);
    const char* const texts[] = {"BranchShop", "Rework",   "ROKDate",   "Product",   "Kind",
                                 "Paper",      "SizeKind", "AfterWork", "DeliveryM", "DeliveryA",
                                 "Uid",        "Ucom",     "Uname",     "Utel",      "UHP",
                                 "ReceiptS",   "Pcom",     "Pname",     "Mmemo"};
    for (int i = 0; i < items; ++i) {
        CTzmpItem* item = tree.CreateItem("ITEM");
        tree.InsertItem(item, page, CMarkupTree::Position::Last);
        CTzmpItem* job = tree.GetOrAddChild(item, "JOB");
        tree.Value(job, "Ordernum") = QStringLiteral("2026120900%1").arg(i);
        for (const char* key : texts)
            tree.Value(job, key) = QStringLiteral("명함 일반 %1").arg(QLatin1String(key));
        tree.Value(job, "Color") = std::int32_t(4);
        tree.Value(job, "PDFPage") = std::int32_t(2);
        tree.Value(job, "Width") = 90.0;
        tree.Value(job, "Height") = 50.0;
        tree.Value(job, "Pcases") = std::int32_t(2);
        tree.Value(job, "Quantity") = 500.0;
        tree.Value(job, "PQuantity") = std::int32_t(500);
        CTzmpItem* object = tree.GetOrAddChild(item, "OBJECT");
        tree.Value(object, "OBJ_PATH") =
            QStringLiteral("/shop/progress/demo/P-0001/order%1.pdf").arg(i);
        for (const char* key : {"PAGE_NUM", "NUM_SIDE", "MEDIA_IND", "MEDIA_ROTATE", "OWN_CUT",
                                "OWN_FRAME", "ROTATE"})
            tree.Value(object, key) = std::int32_t(1);
        for (const char* key :
             {"CROP_LEFT", "CROP_TOP", "CROP_RIGHT", "CROP_BOTTOM", "X", "Y", "CX", "CY"})
            tree.Value(object, key) = 12.345 + i;
        for (int c = 1; c <= 8; ++c)
            tree.Value(object, QByteArray("CROP_0") + QByteArray::number(c)) = std::int32_t(c % 2);
        tree.Value(object, "OWN_FRAME_COLOR") = QStringLiteral("Registration");
        tree.Value(object, "CHECKSUM") = QStringLiteral("13720-0-2026-12-9-10-1-1-2026-12-9-10-1");
    }
}

void BM_Save(benchmark::State& state) {
    CDocumentTree tree;
    AddDocument(tree, static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plate.tzmp"));
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = tree.SaveFile(path);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["elements"] = tree.ItemCount();
}

void BM_Load(benchmark::State& state) {
    CDocumentTree tree;
    AddDocument(tree, static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plate.tzmp"));
    const qint64 bytes = tree.SaveFile(path);
    for (auto _ : state) {
        CDocumentTree loaded;
        benchmark::DoNotOptimize(loaded.LoadFile(path));
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_RemoveEveryPage(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<CDocumentTree>();
        AddDocument(*tree, static_cast<int>(state.range(0)));
        state.ResumeTiming();
        while (CMTItem* page = tree->FindChild(tree->GetRoot(), "PAGE"))
            tree->RemoveItem(page);
        // Only the removal is timed: dropping the emptied tree frees its
        // item list, and the allocator then tidies up after the whole build.
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_Save)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveEveryPage)
    ->RangeMultiplier(2)
    ->Range(500, 16000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
