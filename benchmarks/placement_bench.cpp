// Placing 1,000 single-slot items one after another on an empty 50 x 50 grid,
// their previews already made: only the search for a free slot and the adding
// are timed. The argument is ARRANGE_DIRECTION (0-7 search orders, 9 whole
// cells in row order).
#include "engine/tesseldoc.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kItems = 1000;

PlateProperties FiftyByFifty(int direction) {
    PlateProperties p;
    p.width = 520;
    p.height = 520;
    p.margin = {10, 10, 10, 10}; // usable 500 x 500
    p.gridWidth = 10;
    p.gridHeight = 10;
    p.arrangeDirection = direction;
    return p;
}

std::vector<std::unique_ptr<CZelItem>> Cards() {
    std::vector<std::unique_ptr<CZelItem>> cards;
    for (int i = 0; i < kItems; ++i) {
        auto item = std::make_unique<CZelItem>();
        item->width = 9;
        item->height = 5;
        cards.push_back(std::move(item));
    }
    return cards;
}

void BM_PlaceThousandOnFiftyByFifty(benchmark::State& state) {
    const PlateProperties properties = FiftyByFifty(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CTesselDoc>();
        doc->SetProperties(properties);
        std::vector<std::unique_ptr<CZelItem>> cards = Cards();
        state.ResumeTiming();
        for (auto& card : cards) {
            if (!doc->AddItemAtSlot(std::move(card), 0, 0)) {
                state.SkipWithError("no free slot");
                return;
            }
        }
        state.PauseTiming();
        doc.reset(); // freeing the items is not placing them
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_PlaceThousandOnFiftyByFifty)
    ->Arg(0)
    ->Arg(3)
    ->Arg(5)
    ->Arg(9)
    ->Unit(benchmark::kMillisecond);

} // namespace
