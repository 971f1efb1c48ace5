// preview_bench N [a4|card]
//
// Opens a plate of N items whose previews are not made yet, as an operator
// opens a plate or drops orders: every item's pages are rendered into the
// work folder and their page objects take them. Prints the time the open
// took, the process's peak memory and the memory still held once the plate
// is open, so that growth with N shows (time and memory should grow
// linearly, and the memory held per item stay small: the view keeps its
// own scaled pictures). Items are A4 (the default) or 90 x 50 mm cards,
// two-sided, of 20 orders. Also prints the longest time the progress window
// would go unpainted during the open (the goal is below 100 ms).
#include "engine/tesseldoc.h"
#include "pdfbinding/pdfserver.h"
#include "records/progresssink.h"
#include "records/zelcolorpresets.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/resource.h>

namespace {

long PeakKilobytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long ResidentKilobytes() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool Artwork(CPDFServer& pdf, const QString& path, double w, double h, int seed) {
    if (!pdf.ComposeBeginDoc(path))
        return false;
    for (int page = 0; page < 2; ++page) {
        pdf.ComposeBeginPage(w, h);
        pdf.ComposeCMYKRect(0, 0, w, h, 0, -1, -1, -1, -1, (seed % 5) / 5.0, (seed % 3) / 3.0, 0.2,
                            0);
        for (int i = 0; i < 12; ++i)
            pdf.ComposeCMYKRect(3 + i * 2, 3 + i * 2, w - 6 - i * 4, h - 6 - i * 4, 0.5, 0, 0, 0, 1,
                                -1, -1, -1, -1);
        pdf.ComposePlaceCMYKTextBox(QStringLiteral("주문 %1 면 %2").arg(seed).arg(page + 1),
                                    QStringLiteral("NanumGothic"), 14, 5, 5, w - 10, h - 10, 0, 0,
                                    0, 1, 1, 1, 0, 1);
        pdf.ComposeEndPage();
    }
    return pdf.ComposeEndDoc() != 0;
}

// Times the gaps between the progress window's paints, painting as the
// window does (on a report when 50 ms have passed since the last paint, and
// at the start and end of a step), and the gaps between item steps alone
// (what a window that painted only between items would see).
class GapSink : public ProgressSink {
public:
    void Begin(const QString&, int) override { Report(true, true); }
    void Step(int) override { Report(true, false); }
    void Detail(const QString&) override { Report(true, false); }
    void StillWorking() override { Report(false, false); }
    void End() override { Report(true, true); }
    double LongestMs() const { return m_longest / 1e6; }
    double LongestBetweenStepsMs() const { return m_longestStep / 1e6; }

private:
    void Report(bool step, bool force) {
        if (step) {
            if (m_step.isValid())
                m_longestStep = std::max(m_longestStep, m_step.nsecsElapsed());
            m_step.start();
        }
        if (m_paint.isValid() && !force && m_paint.elapsed() < 50)
            return;
        if (m_paint.isValid())
            m_longest = std::max(m_longest, m_paint.nsecsElapsed());
        m_paint.start();
    }
    QElapsedTimer m_paint, m_step;
    qint64 m_longest = 0, m_longestStep = 0;
};

int Fail(const QString& why) {
    std::fprintf(stderr, "preview_bench: %s\n", why.toUtf8().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 117;
    const bool card = argc > 2 && std::strcmp(argv[2], "card") == 0;
    if (count < 1)
        return Fail(QStringLiteral("usage: preview_bench N [a4|card]"));
    const double w = card ? 90 : 210, h = card ? 50 : 297;

    QTemporaryDir root;
    CPDFServer pdf;
    if (!pdf.Load())
        return Fail(pdf.LoadError());
    constexpr int kOrders = 20;
    for (int order = 0; order < kOrders; ++order)
        if (!Artwork(pdf, root.filePath(QStringLiteral("order%1.pdf").arg(order)), w, h, order))
            return Fail(pdf.LastError());

    const int columns = 20;
    const int rows = (count + columns - 1) / columns;
    PlateProperties p;
    p.jobCode = QStringLiteral("P-2612-0001");
    p.paperSideSetting = 1;
    p.width = columns * w + 40;
    p.height = rows * h + 40;
    p.margin = {20, 20, 20, 20};
    p.gridWidth = w;
    p.gridHeight = h;
    const QString plate = root.filePath(QStringLiteral("P-2612-0001.tzmp"));
    {
        CTesselDoc doc;
        doc.SetProperties(p);
        for (int i = 0; i < count; ++i) {
            auto item = std::make_unique<CZelItem>();
            item->ordernum = QStringLiteral("ORD-%1").arg(i, 4, 10, QLatin1Char('0'));
            item->objPath = root.filePath(QStringLiteral("order%1.pdf").arg(i % kOrders));
            item->width = w, item->height = h;
            item->numSide = 2;
            item->x = 20 + (i % columns) * w;
            item->y = 20 + (i / columns) * h;
            doc.AddItem(std::move(item));
        }
        if (!doc.Save(plate))
            return Fail(QStringLiteral("cannot save the plate"));
    }
    // The saved plate's work folder holds no previews yet: the open makes them all.
    CZelColorPresets colors;
    CTesselDoc doc;
    GapSink progress;
    doc.SetContext({.colors = &colors, .progress = &progress, .pdf = &pdf});
    const long before = ResidentKilobytes();
    QElapsedTimer timer;
    timer.start();
    if (const Result<void> opened = doc.Open(plate); !opened)
        return Fail(opened.error());
    const double ms = timer.nsecsElapsed() / 1e6;
    int shown = 0;
    for (int i = 0; i < doc.ItemCount(); ++i)
        shown += doc.ItemAt(i)->pages[0].Picture().IsLoaded() &&
                 doc.ItemAt(i)->pages[1].Picture().IsLoaded();
    if (shown != count)
        return Fail(
            QStringLiteral("only %1 of %2 items have their previews").arg(shown).arg(count));
    std::printf(
        "%d %s items, %d pages: open %.1f ms (%.2f ms/page), peak RSS %.1f MB, "
        "held after the open %.1f MB (%.1f kB/item), longest between paints of the progress window "
        "%.1f ms (between item steps %.1f ms)\n",
        count, card ? "card" : "A4", 2 * count, ms, ms / (2 * count), PeakKilobytes() / 1024.0,
        ResidentKilobytes() / 1024.0, double(ResidentKilobytes() - before) / count,
        progress.LongestMs(), progress.LongestBetweenStepsMs());
    return 0;
}
