// A job folder of 10,000 tickets of about 1.5 KB: reading it whole (warm
// cache) and asking whether it changed.

#include "benchticket.h"

#include "records/zeljobcontainer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTickets = 10000;

class JobFolder {
public:
    JobFolder() : m_folder(QDir(m_temp.path()).filePath(QStringLiteral("명함"))) {
        QDir().mkpath(m_folder);
        for (int n = 0; n < kTickets; ++n) {
            QFile file(QDir(m_folder).filePath(QStringLiteral("주문-%1.tzjob").arg(n)));
            if (file.open(QIODevice::WriteOnly))
                file.write(BenchTicket(n));
        }
    }
    const QString& Folder() const { return m_folder; }

private:
    QTemporaryDir m_temp;
    QString m_folder;
};

const JobFolder& Folder() {
    static const JobFolder folder;
    return folder;
}

void BM_Refresh10000Tickets(benchmark::State& state) {
    CZelJobContainer list(QStringLiteral("명함"), Folder().Folder());
    list.Refresh(true); // warms the cache
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Refresh(true));
    state.counters["tickets"] = list.Count();
    state.counters["ticket_bytes"] = static_cast<double>(BenchTicket(0).size());
}
BENCHMARK(BM_Refresh10000Tickets)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_NeedsRefreshUnchanged(benchmark::State& state) {
    CZelJobContainer list(QStringLiteral("명함"), Folder().Folder());
    list.Refresh(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(list.NeedsRefresh());
}
BENCHMARK(BM_NeedsRefreshUnchanged)->Unit(benchmark::kMicrosecond);

void BM_SummaryOf10000Tickets(benchmark::State& state) {
    CZelJobContainer list(QStringLiteral("명함"), Folder().Folder());
    list.Refresh(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Summary(500, 92, 52));
}
BENCHMARK(BM_SummaryOf10000Tickets)->Unit(benchmark::kMillisecond);

} // namespace
