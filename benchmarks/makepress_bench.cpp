// Make press of a 636 mm wide plate with N items of N / 2 orders (40: 939 mm
// high, longer for more), every mark on and the label side included.
// Reports the time per side, the size of each side file and the process's
// peak memory (run one case per process with --benchmark_filter for a peak
// of its own). The arguments are the plate kind (0 single-sided, 1-3
// double-sided with IMPOSITION 0-2, 4-6 work-and-turn with IMPOSITION 0-2)
// and N. With TESSEL_PRESS_BENCH_KEEP=DIR the last run's plate and files stay
// in DIR. Starts on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "engine/operatorinterface.h"
#include "engine/tesseldoc.h"
#include "labels/zellabel.h"
#include "markup/cp949.h"
#include "pdfbinding/pdfserver.h"
#include "press/makepress.h"
#include "records/zelcolorpresets.h"
#include "records/zelpressmarkpresets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {

struct Quiet : OperatorInterface {
    bool Ask(const QString&) override { return false; }
    void Tell(const QString& message) override {
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    }
};

void Fail(benchmark::State& state, const QString& why) {
    state.SkipWithError(why.toUtf8().constData());
}

bool OnePagePdf(CPDFServer& pdf, const QString& path, double w, double h, int pages, int seed) {
    if (!pdf.ComposeBeginDoc(path))
        return false;
    for (int i = 0; i < pages; ++i) {
        pdf.ComposeBeginPage(w, h);
        pdf.ComposeCMYKRect(0, 0, w, h, 0, -1, -1, -1, -1, (seed % 5) / 5.0, (seed % 3) / 3.0, 0.2,
                            0);
        pdf.ComposeCMYKRect(3, 3, w - 6, h - 6, 0.5, 0, 0, 0, 1, -1, -1, -1, -1);
        pdf.ComposePlaceCMYKTextBox(QStringLiteral("주문 %1 면 %2").arg(seed).arg(i + 1),
                                    QStringLiteral("NanumGothic"), 14, 5, 5, w - 10, h - 10, 0, 0,
                                    0, 1, 1, 1, 0, 1);
        pdf.ComposeEndPage();
    }
    return pdf.ComposeEndDoc() != 0;
}

bool MarkPreset(CPDFServer& pdf, const QString& folder, double w, double h) {
    QDir().mkpath(folder);
    QImage preview(8, 8, QImage::Format_RGB32);
    preview.fill(Qt::magenta);
    preview.save(folder + QStringLiteral("/mark.png"));
    const QString body =
        QStringLiteral("   <PRESS_MARK>\r\n      <MARK_NAME>\"mark\"</MARK_NAME>\r\n"
                       "      <MEDIA_FILE>\"mark.pdf\"</MEDIA_FILE>\r\n"
                       "      <PREVIEW_FILE>\"mark.png\"</PREVIEW_FILE>\r\n"
                       "      <MEDIA_WIDE>%1</MEDIA_WIDE>\r\n      <MEDIA_HIGH>%2</MEDIA_HIGH>\r\n"
                       "   </PRESS_MARK>\r\n")
            .arg(w, 0, 'f', 3)
            .arg(h, 0, 'f', 3);
    const QString text =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<TESSEL_DOCUMENT_MARKUPS>\r\n"
            "   <DOCUMENT_TYPE>\"Tessel Press Mark Presets\"</DOCUMENT_TYPE>\r\n"
            "   <VERSION>\"1.0\"</VERSION>\r\n") +
        body + QStringLiteral("</TESSEL_DOCUMENT_MARKUPS>\r\n");
    QFile file(folder + QStringLiteral("/marks.tzst"));
    if (!file.open(QIODevice::WriteOnly) || file.write(cp949::FromUnicode(text)) < 0)
        return false;
    file.close();
    return OnePagePdf(pdf, folder + QStringLiteral("/mark.pdf"), w, h, 1, 7);
}

void BM_MakePress(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "makepress_bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        // A benchmark needs no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
    const int kind = static_cast<int>(state.range(0));
    const int itemCount = static_cast<int>(state.range(1));
    const int paperSide = kind == 0 ? 0 : kind <= 3 ? 1 : 2;
    const int turn = kind == 0 ? 0 : (kind - 1) % 3;

    QTemporaryDir temporary;
    const QString keep = qEnvironmentVariable("TESSEL_PRESS_BENCH_KEEP");
    const QString root =
        keep.isEmpty() ? temporary.path() : QDir(keep).filePath(QStringLiteral("kind%1").arg(kind));
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    CPDFServer pdf;
    if (!pdf.Load())
        return Fail(state, pdf.LoadError());
    const QString presets = root + QStringLiteral("/presets");
    CZelPressMarkPresets bars, marks;
    if (!MarkPreset(pdf, presets + QStringLiteral("/ColorBars"), 120, 6) ||
        !MarkPreset(pdf, presets + QStringLiteral("/RegistrationMarks"), 12, 6) ||
        !bars.Load(presets + QStringLiteral("/ColorBars/"), QStringLiteral("marks.tzst")) ||
        !marks.Load(presets + QStringLiteral("/RegistrationMarks/"), QStringLiteral("marks.tzst")))
        return Fail(state, QStringLiteral("press mark presets"));

    CZelLabel label;
    label.SetSize(90, 50);
    const char* tags[] = {"Ordernum", "Product", "Uname", "AfterWork", "Quantity"};
    for (int i = 0; i < 5; ++i) {
        auto o = std::make_unique<CZelLabObject>();
        o->tag = QLatin1String(tags[i]);
        o->x = 3, o->y = 3 + 9.0 * i, o->w = 60, o->h = 8;
        o->frame = 1;
        o->invert = i == 0;
        o->font.lfHeight = -14;
        o->font.lfFaceName = QStringLiteral("NanumGothic");
        label.objects.push_back(std::move(o));
    }
    auto preview = std::make_unique<CZelLabObject>();
    preview->tag = QStringLiteral("MF_Preview");
    preview->x = 65, preview->y = 3, preview->w = 22, preview->h = 22;
    label.objects.push_back(std::move(preview));
    QDir().mkpath(presets + QStringLiteral("/Labels"));
    label.Save(presets + QStringLiteral("/Labels/명함.tzlp"));

    PlateProperties p;
    p.jobCode = QStringLiteral("P-2612-0001");
    p.presetName = QStringLiteral("국전");
    p.paperType = QStringLiteral("스노우 250");
    p.userName = QStringLiteral("김진");
    p.jobDate = QStringLiteral("2026-12-10");
    p.paperSideSetting = paperSide;
    p.turnDirection = turn;
    p.colorA = 1, p.colorB = 1;
    p.quantity = 1000, p.pressCount = 1000;
    p.width = 636;
    // Six columns of 52 mm rows, the title and marks in the margins.
    p.height = std::max(939.0, 27 + 52.0 * ((itemCount + 5) / 6) + 60);
    p.margin = {15, 12, 15, 12};
    p.gridWidth = 92, p.gridHeight = 52;
    p.cutMargin = {1, 1, 1, 1};
    p.titleItems = QStringLiteral("[바코드][판번호][판형크기][지질][도수][수량][판구분]");
    p.titlePosition = 1;
    p.titleFont.lfHeight = -16;
    p.titleFont.lfFaceName = QStringLiteral("NanumGothic");
    p.colorBarName = QStringLiteral("mark");
    p.colorBar = {0, 1, 0, 0, 0, 1, 1, 0}; // left-top, bottom-left, right-bottom
    p.registrationMarkName = QStringLiteral("mark");
    p.registrationMark = {1, 1, 1, 1};
    p.plateCrop = {1, 1, 1, 1};

    const QString plate = root + QStringLiteral("/P-2612-0001.tzmp");
    {
        CTesselDoc doc;
        doc.SetProperties(p);
        const PlateGeometry g = ComputePlateGeometry(p);
        const int columns = static_cast<int>((g.layoutWidth - 24) / 92);
        const int rows = static_cast<int>((g.layoutHeight - (g.effectiveBottomMargin + 15)) / 52);
        const int sides = paperSide == 0 || (paperSide == 2 && turn == 2) ? 1 : 2;
        for (int order = 0; order < itemCount / 2; ++order) {
            const QString art =
                root + QStringLiteral("/order%1.pdf").arg(order, 2, 10, QLatin1Char('0'));
            if (!OnePagePdf(pdf, art, 92, 52, 2 * sides, order % 20))
                return Fail(state, pdf.LastError());
            for (int copy = 0; copy < 2; ++copy) {
                const int slot = (order * 2 + copy) % (columns * rows);
                auto item = std::make_unique<CZelItem>();
                item->ordernum = QStringLiteral("ORD-%1").arg(order, 3, 10, QLatin1Char('0'));
                item->product = QStringLiteral("명함");
                item->uname = QStringLiteral("홍길동");
                item->afterWork = QStringLiteral("코팅;");
                item->objPath = art;
                item->width = 92, item->height = 52;
                item->numSide = sides;
                item->pcases = 2;
                item->mediaInd = copy;
                item->quantity = 1000;
                item->x = 12 + (slot % columns) * 92;
                item->y = 15 + (slot / columns) * 52;
                item->ownCut = order % 4 == 0;
                item->crop = {1, 1, 1, 1};
                item->cropMarks = {1, 1, 1, 1, 1, 1, 1, 1};
                item->ownFrame = order % 5 == 0;
                item->ownFrameColor = QStringLiteral(" [C=0 M=100 Y=0 K=0]");
                doc.AddItem(std::move(item));
            }
        }
        doc.SetLines({{1, 200, 600, 930, 0.5, QStringLiteral(" [C=100 M=0 Y=0 K=0]")}});
        TextBox box;
        box.x = 400, box.y = 2, box.width = 80, box.height = 11;
        box.text = QStringLiteral("재단 주의");
        box.contentColor = QStringLiteral(" [C=0 M=0 Y=100 K=0]");
        box.frameColor = QStringLiteral(" [ Black ]");
        box.font.lfHeight = -16;
        doc.SetTextBoxes({box});
        if (!doc.Save(plate))
            return Fail(state, QStringLiteral("save"));
    }
    CZelColorPresets colors;
    Quiet op;
    CTesselDoc doc;
    doc.SetContext({.colors = &colors, .op = &op, .pdf = &pdf});
    QString error;
    if (const Result<void> opened = doc.Open(plate); !opened)
        return Fail(state, opened.error());
    MakePressOptions options;
    options.presetDir = presets;
    options.itemCut = {1, 1, 1};
    options.itemFrame = {1, 1, 1};
    CMakePress press(doc, &bars, &marks);
    for (auto _ : state) {
        if (!press.Run(options, nullptr, &error))
            return Fail(state, error);
    }
    const int sides = doc.Geometry().sideCount;
    state.counters["sides"] = sides;
    state.counters["s_per_side"] = benchmark::Counter(
        static_cast<double>(sides),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    for (int side = 0; side < sides; ++side)
        state.counters[QStringLiteral("kB_side%1").arg(side).toStdString()] =
            QFileInfo(press.SideFilePath(side)).size() / 1024.0;
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = usage.ru_maxrss / 1024.0;
}

} // namespace

BENCHMARK(BM_MakePress)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 6, 1), {40}})
    ->Args({0, 200})
    ->Args({0, 500})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
