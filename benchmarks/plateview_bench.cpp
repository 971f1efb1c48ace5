// Painting the plate view: a plate of 500 small items, each with its own
// preview picture, in a window of 1280 x 860 at 100 % zoom. Full repaint
// of the window into an off-screen image, once the item pictures are drawn
// for the zoom (the view's steady state) and with the pictures drawn anew
// (the first paint after opening, a zoom or a turn).
#include "engine/tesseldoc.h"
#include "view/tesselview.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kItems = 500;

struct Fixture {
    QTemporaryDir folder;
    CTesselDoc doc;
    std::unique_ptr<CTesselView> view;
    QString error;

    Fixture() {
        PlateProperties p;
        p.width = 636;
        p.height = 939;
        p.margin = {10, 10, 10, 10};
        p.gridWidth = 24;
        p.gridHeight = 24;
        doc.SetProperties(p);
        for (int i = 0; i < kItems; ++i) {
            auto item = std::make_unique<CZelItem>();
            item->ordernum = QStringLiteral("B%1").arg(i, 4, 10, QLatin1Char('0'));
            item->width = item->height = 20;
            item->pages[0].SetPageSize(22, 22);
            if (!doc.AddItemAtSlot(std::move(item), 0, 0)) {
                error = QStringLiteral("no slot for item %1").arg(i);
                return;
            }
        }
        const QString path = folder.filePath(QStringLiteral("bench.tzmp"));
        const Result<void> saved = doc.Save(path);
        if (!saved || !doc.ReadPlateFile(path).ok()) {
            error = QStringLiteral("plate file: ") + saved.error();
            return;
        }
        // A preview per item, as make-preview writes them (JPEG, 150 dpi);
        // the artwork's page size is learnt from the artwork, not the file.
        for (int i = 0; i < doc.ItemCount(); ++i) {
            doc.ChangeItem(doc.ItemAt(i),
                           [](CZelItem& item) { item.pages[0].SetPageSize(22, 22); });
            QImage picture(130, 130, QImage::Format_RGB32);
            picture.fill(QColor::fromHsv((i * 37) % 360, 120, 230));
            QPainter painter(&picture);
            painter.drawText(picture.rect(), Qt::AlignCenter, doc.ItemAt(i)->ordernum);
            painter.end();
            picture.save(doc.PagePreviewPath(*doc.ItemAt(i), 0), "JPEG", 85);
        }
        view = std::make_unique<CTesselView>();
        view->resize(1280, 860);
        view->SetZoom(1000);
        view->SetDocument(&doc);
    }
};

Fixture& Plate() {
    static int argc = 1;
    static char name[] = "plateview_bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
    static Fixture fixture;
    return fixture;
}

void Paint(CTesselView& view, QImage& image) {
    QPainter painter(&image);
    view.viewport()->render(&painter);
}

void BM_FullRepaint(benchmark::State& state) {
    Fixture& plate = Plate();
    if (!plate.error.isEmpty())
        return state.SkipWithError(plate.error.toUtf8().constData());
    const bool drawPictures = state.range(0) != 0;
    QImage image(plate.view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    Paint(*plate.view, image);
    // TESSEL_VIEW_BENCH_IMAGE=FILE keeps what was painted, to look at.
    if (const QString keep = qEnvironmentVariable("TESSEL_VIEW_BENCH_IMAGE"); !keep.isEmpty())
        image.save(keep);
    for (auto _ : state) {
        if (drawPictures) {
            // A zoom there and back draws every picture again.
            state.PauseTiming();
            plate.view->SetZoom(990);
            plate.view->SetZoom(1000);
            state.ResumeTiming();
        }
        Paint(*plate.view, image);
    }
}
BENCHMARK(BM_FullRepaint)->Arg(0)->Arg(1)->ArgName("pictures")->Unit(benchmark::kMillisecond);

} // namespace
