// Preflight of the 200 orders of the shared benchmark's workload
// (make-workload.sh; TESSEL_WORKLOAD names its folder, default
// /tmp/impose-bench): every artwork read and checked by the library with a
// fresh session and cache, as the first check after a plate opens; the same
// again with every artwork unchanged (all answered by the cache); and the
// cold run on the worker thread the windows use. Target: 200 orders in 2 s.
#include "shop/preflight.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

std::vector<PreflightOrder> g_orders;

const PreflightSettings kSettings{2.0, 250, {}};

// The workload's manifest: file, width, height, pages, image.
bool ReadWorkload() {
    const QString folder =
        qEnvironmentVariable("TESSEL_WORKLOAD", QStringLiteral("/tmp/impose-bench"));
    QFile manifest(QDir(folder).filePath(QStringLiteral("manifest.tsv")));
    if (!manifest.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr,
                     "preflight_bench: no workload in %s; make it with "
                     "../shared/bench/make-workload.sh %s 200 (or set TESSEL_WORKLOAD)\n",
                     qPrintable(folder), qPrintable(folder));
        return false;
    }
    QTextStream in(&manifest);
    in.readLine();
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(QLatin1Char('\t'));
        if (fields.size() < 4)
            continue;
        PreflightOrder order;
        order.ordernum = fields[0];
        order.pdfPath = QDir(folder).filePath(QStringLiteral("orders/") + fields[0]);
        order.width = fields[1].toDouble();
        order.height = fields[2].toDouble();
        order.pdfPage = fields[3].toInt();
        order.color = 4;
        g_orders.push_back(order);
    }
    return !g_orders.empty();
}

void Count(benchmark::State& state, const std::vector<OrderPreflight>& found) {
    size_t findings = 0;
    for (const OrderPreflight& order : found)
        findings += order.findings.size();
    state.counters["orders"] = double(found.size());
    state.counters["findings"] = double(findings);
}

void BM_PreflightCold(benchmark::State& state) {
    for (auto _ : state) {
        CPDFServer pdf;
        if (!pdf.Load()) {
            state.SkipWithError(qPrintable(pdf.LoadError()));
            return;
        }
        PreflightCache cache;
        const auto found = preflight::Run(pdf, cache, g_orders, kSettings, std::nullopt);
        Count(state, found);
    }
}

void BM_PreflightUnchanged(benchmark::State& state) {
    CPDFServer pdf;
    if (!pdf.Load()) {
        state.SkipWithError(qPrintable(pdf.LoadError()));
        return;
    }
    PreflightCache cache;
    preflight::Run(pdf, cache, g_orders, kSettings, std::nullopt);
    for (auto _ : state) {
        const auto found = preflight::Run(pdf, cache, g_orders, kSettings, std::nullopt);
        Count(state, found);
    }
}

void BM_PreflightInTheBackground(benchmark::State& state) {
    for (auto _ : state) {
        auto run =
            preflight::Start(std::make_shared<PreflightCache>(), g_orders, kSettings, std::nullopt);
        Result<std::vector<OrderPreflight>> found = run->Take();
        if (!found) {
            state.SkipWithError(qPrintable(found.error()));
            return;
        }
        Count(state, found.value());
    }
}

BENCHMARK(BM_PreflightCold)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreflightUnchanged)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreflightInTheBackground)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!ReadWorkload())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
