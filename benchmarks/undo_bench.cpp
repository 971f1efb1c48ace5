// The cost of the undo history on a 500-item plate: recording a step when
// one item moves (the history copies only what changed), and undoing and
// redoing a step that moved every item.
#include "engine/tesseldoc.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kItems = 500;

std::unique_ptr<CTesselDoc> FullPlate() {
    auto doc = std::make_unique<CTesselDoc>();
    PlateProperties p;
    p.width = 520;
    p.height = 520;
    p.margin = {10, 10, 10, 10};
    p.gridWidth = 20;
    p.gridHeight = 20;
    doc->SetProperties(p);
    const CTesselDoc::EditGroup placing(*doc, CTesselDoc::Edit::Place);
    for (int i = 0; i < kItems; ++i) {
        auto item = std::make_unique<CZelItem>();
        item->ordernum = QStringLiteral("ORDER-%1").arg(i / 4);
        item->product = QStringLiteral("명함");
        item->width = 19;
        item->height = 19;
        doc->AddItemAtSlot(std::move(item), 0, 0);
    }
    return doc;
}

void BM_MoveOneOfFiveHundred(benchmark::State& state) {
    const std::unique_ptr<CTesselDoc> doc = FullPlate();
    doc->DeselectAll();
    doc->SelectItem(doc->ItemAt(kItems / 2));
    double dx = 0.5;
    for (auto _ : state) {
        doc->MoveSelection(dx, 0);
        dx = -dx;
    }
    state.counters["steps"] = doc->History().StepCount();
}
BENCHMARK(BM_MoveOneOfFiveHundred)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoMovingFiveHundred(benchmark::State& state) {
    const std::unique_ptr<CTesselDoc> doc = FullPlate();
    doc->SelectAll();
    doc->MoveSelection(0.5, 0.5);
    for (auto _ : state) {
        if (!doc->Undo() || !doc->Redo()) {
            state.SkipWithError("undo or redo failed");
            return;
        }
    }
}
BENCHMARK(BM_UndoRedoMovingFiveHundred)->Unit(benchmark::kMicrosecond);

} // namespace
