// The job list bars on a folder of 10,000 tickets: the order list shown
// after the folder is chosen (read and filled), the selection summary with
// every order selected, a sort by a numeric column, and one look of the
// change watch over an unchanged folder.

#include "benchticket.h"

#include "app/joblistgate.h"
#include "app/jtbdlg.h"
#include "app/wsbdlg.h"
#include "app/wsbjobreadydlg.h"
#include "records/zeljobcontainer.h"
#include "records/zelpreference.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTickets = 10000;

// JOBS_DIR with one folder of 10,000 tickets and one empty folder, both
// bars on it, shown off screen.
class Bars {
public:
    Bars() {
        const QDir root(m_temp.path());
        root.mkpath(QStringLiteral("명함"));
        root.mkpath(QStringLiteral("빈 폴더"));
        for (int n = 0; n < kTickets; ++n) {
            QFile file(root.filePath(QStringLiteral("명함/주문-%1.tzjob").arg(n)));
            if (file.open(QIODevice::WriteOnly))
                file.write(BenchTicket(n));
        }
        m_preference.SetFolder(CZelPreference::Folder::Jobs, m_temp.path());
        product = std::make_unique<CJTBDlg>(m_preference, nullptr, m_gate);
        panel = std::make_unique<CWSBDlg>(m_gate);
        QObject::connect(product.get(), &CJTBDlg::containerSelected, panel.get(),
                         [this](CZelJobContainer* container) {
                             panel->ShowContainer(container, product->PlateParameters());
                         });
        product->show();
        panel->resize(1200, 300);
        panel->show();
        product->Build();
        tree = product->findChild<QTreeWidget*>(QStringLiteral("productTree"));
        orders = panel->findChild<QTableView*>(QStringLiteral("orderList"));
    }
    // Changes the folder's last-write time, as a ticket coming and going would.
    void Touch() const {
        QFile file(QDir(m_temp.path()).filePath(QStringLiteral("명함/touch")));
        if (file.open(QIODevice::WriteOnly))
            file.close();
        file.remove();
    }
    QTreeWidgetItem* Folder(const char* name) const {
        return tree->findItems(QString::fromUtf8(name), Qt::MatchStartsWith).value(0);
    }

    std::unique_ptr<CJTBDlg> product;
    std::unique_ptr<CWSBDlg> panel;
    QTreeWidget* tree = nullptr;
    QTableView* orders = nullptr;

private:
    QTemporaryDir m_temp;
    CZelPreference m_preference;
    JobListGate m_gate;
};

Bars& TheBars() {
    static int argc = 1;
    static char name[] = "joblists_bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
    static Bars bars;
    return bars;
}

// The folder chosen, read at start: the list filled from what was read.
void BM_ChooseFolderOf10000(benchmark::State& state) {
    Bars& bars = TheBars();
    for (auto _ : state) {
        state.PauseTiming();
        bars.tree->setCurrentItem(bars.Folder("빈 폴더"));
        state.ResumeTiming();
        bars.tree->setCurrentItem(bars.Folder("명함"));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(bars.orders->model()->rowCount());
    }
}
BENCHMARK(BM_ChooseFolderOf10000)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The folder chosen after it changed on disk: read once again, then filled.
void BM_ChooseChangedFolderOf10000(benchmark::State& state) {
    Bars& bars = TheBars();
    for (auto _ : state) {
        state.PauseTiming();
        bars.tree->setCurrentItem(bars.Folder("빈 폴더"));
        bars.Touch();
        state.ResumeTiming();
        bars.tree->setCurrentItem(bars.Folder("명함"));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(bars.orders->model()->rowCount());
    }
}
BENCHMARK(BM_ChooseChangedFolderOf10000)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_SelectionSummaryOf10000(benchmark::State& state) {
    Bars& bars = TheBars();
    bars.tree->setCurrentItem(bars.Folder("명함"));
    for (auto _ : state) {
        bars.orders->clearSelection();
        bars.orders->selectAll(); // the summary follows the selection
        benchmark::DoNotOptimize(bars.panel->StatusText());
    }
}
BENCHMARK(BM_SelectionSummaryOf10000)->Unit(benchmark::kMillisecond);

void BM_SortByQuantity(benchmark::State& state) {
    Bars& bars = TheBars();
    bars.tree->setCurrentItem(bars.Folder("명함"));
    bars.orders->selectRow(10);
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        bars.orders->sortByColumn(11, order);
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
}
BENCHMARK(BM_SortByQuantity)->Unit(benchmark::kMillisecond);

void BM_WatchUnchanged(benchmark::State& state) {
    Bars& bars = TheBars();
    for (auto _ : state)
        bars.product->Watch();
}
BENCHMARK(BM_WatchUnchanged)->Unit(benchmark::kMicrosecond);

} // namespace
