// The cutting plan of full grids of small items: n x n items of 9 x 5 mm in
// 10 x 10 mm cells (every neighbour leaves a gap, so every strip is cut
// twice), and a mixed grid whose rows alternate between two item heights.
#include "press/cutplan.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<CutPlan::Item> Grid(int n, bool mixed) {
    std::vector<CutPlan::Item> items;
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column) {
            const double h = mixed && row % 2 ? 8 : 5;
            items.push_back({QStringLiteral("O-%1").arg(row * n + column), QString(),
                             CZelBound{10.0 + column * 10, 10.0 + row * 10, 9, h}, false});
        }
    return items;
}

void BM_CutPlanOfGrid(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<CutPlan::Item> items = Grid(n, state.range(1) != 0);
    const CZelBound sheet{0, 0, 20.0 + n * 10, 20.0 + n * 10};
    int cuts = 0, naive = 0;
    for (auto _ : state) {
        const Result<CutPlan> plan = PlanCuts(sheet, items);
        if (!plan.ok()) {
            state.SkipWithError(plan.error().toUtf8().constData());
            return;
        }
        cuts = static_cast<int>(plan->cuts.size());
        naive = plan->naiveCuts;
    }
    state.counters["items"] = n * n;
    state.counters["cuts"] = cuts;
    state.counters["naive_cuts"] = naive;
}
BENCHMARK(BM_CutPlanOfGrid)->ArgsProduct({{6, 12, 25, 50}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace
