#pragma once

#include "pdfreadback.h"
#include "tests/succeeded.h"

#include "../engine/scriptedoperator.h"
#include "../records/recordfiles.h"

#include "engine/tesseldoc.h"
#include "labels/zellabel.h"
#include "pdfbinding/pdfserver.h"
#include "press/makepress.h"
#include "records/progresssink.h"
#include "records/zelcolorpresets.h"
#include "records/zelpressmarkpresets.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Every stage a run reports: its texts, range and the positions stepped.
class RecordingProgress : public ProgressSink {
public:
    struct Stage {
        QString text;
        QStringList details;
        int range = 0;
        std::vector<int> positions;
    };
    void Begin(const QString& text, int range) override { stages.push_back({text, {}, range, {}}); }
    void Step(int position) override {
        if (!stages.empty())
            stages.back().positions.push_back(position);
    }
    void Detail(const QString& text) override {
        if (!stages.empty())
            stages.back().details << text;
    }
    void End() override {}
    std::vector<Stage> stages;
};

// A shop in a temporary folder with the real composition library: artwork,
// a label, colour bar and registration mark presets, a press folder, and
// plates made and opened as the program opens them.
class PressFixture : public ::testing::Test {
public:
    static std::vector<pdfreadback::Shape> Shapes(const QString& file,
                                                  pdfreadback::Shape::Kind kind) {
        std::string error;
        const auto pages = pdfreadback::Read(file.toStdString(), &error);
        EXPECT_EQ(pages.size(), 1u) << file.toStdString() << ": " << error;
        std::vector<pdfreadback::Shape> shapes;
        if (!pages.empty())
            for (const auto& s : pages[0].shapes)
                if (s.kind == kind)
                    shapes.push_back(s);
        return shapes;
    }

protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "press_tests";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
    }

    void SetUp() override {
        ASSERT_TRUE(pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << pdf.LoadError().toStdString();
        root = QDir(dir.path()).filePath(QStringLiteral("작업"));
        presetDir = QDir(root).filePath(QStringLiteral("presets"));
        pressDir = QDir(root).filePath(QStringLiteral("press"));
        QDir().mkpath(presetDir + QStringLiteral("/Labels"));
        QDir().mkpath(pressDir);
        plate = QDir(root).filePath(QStringLiteral("P-0001.tzmp"));
        options.presetDir = presetDir;
    }

    // A PDF whose pages have the given sizes, each with a coloured corner.
    QString Artwork(const QString& name, const std::vector<std::pair<double, double>>& sizes) {
        const QString path = QDir(root).filePath(name);
        EXPECT_TRUE(pdf.ComposeBeginDoc(path));
        for (auto [w, h] : sizes) {
            EXPECT_TRUE(pdf.ComposeBeginPage(w, h));
            EXPECT_TRUE(pdf.ComposeCMYKRect(0, 0, w / 2, h / 2, 0, -1, -1, -1, -1, 0, 1, 1, 0));
            EXPECT_TRUE(pdf.ComposeEndPage());
        }
        EXPECT_TRUE(pdf.ComposeEndDoc()) << pdf.LastError().toStdString();
        return path;
    }

    // A 400 x 300 sheet with margins top 10, left 12, bottom 14, right 16.
    static PlateProperties Sheet(int paperSide, int turn) {
        PlateProperties p;
        p.jobCode = QStringLiteral("P-0001");
        p.presetName = QStringLiteral("국전");
        p.paperType = QStringLiteral("스노우 250");
        p.jobDate = QStringLiteral("2026-12-10");
        p.userInitial = QStringLiteral("KJ");
        p.userName = QStringLiteral("김진");
        p.paperSideSetting = paperSide;
        p.turnDirection = turn;
        p.colorA = 1;
        p.colorB = 0;
        p.quantity = 500;
        p.pressCount = 500;
        p.width = 400;
        p.height = 300;
        p.margin = {10, 12, 14, 16};
        p.cutMargin = {1, 2, 3, 4};
        return p;
    }

    std::unique_ptr<CZelItem> Item(const QString& ordernum, const QString& artwork, double x,
                                   double y, int rotate = 0, int numSide = 1, int mediaInd = 0) {
        auto item = std::make_unique<CZelItem>();
        item->ordernum = ordernum;
        item->product = QStringLiteral("명함");
        item->objPath = artwork;
        item->width = 90;
        item->height = 50;
        item->numSide = numSide;
        item->pdfPage = numSide;
        item->pcases = mediaInd + 1;
        item->mediaInd = mediaInd;
        item->rotate = rotate;
        item->x = x;
        item->y = y;
        item->quantity = 1000;
        item->pquantity = 1000;
        return item;
    }

    // Saves a plate and opens it as the program does, with the shop's context.
    void Open(const PlateProperties& properties, std::vector<std::unique_ptr<CZelItem>> items,
              std::vector<FreeLine> lines = {}, std::vector<TextBox> boxes = {}) {
        {
            CTesselDoc made;
            made.SetProperties(properties);
            for (auto& item : items)
                made.AddItem(std::move(item));
            made.SetLines(std::move(lines));
            made.SetTextBoxes(std::move(boxes));
            ASSERT_TRUE(made.Save(plate));
        }
        doc = std::make_unique<CTesselDoc>();
        doc->SetContext({.colors = &colors, .op = &op, .progress = progress, .pdf = &pdf});
        ASSERT_TRUE(Succeeded(doc->Open(plate)));
    }

    bool Run(QString* error = nullptr) {
        CMakePress press(*doc, &bars, &regMarks);
        written.clear();
        QString reason;
        const bool ok = press.Run(options, &written, &reason);
        notes = press.Notes();
        if (error)
            *error = reason;
        else
            EXPECT_TRUE(ok) << reason.toStdString();
        return ok;
    }

    QString Side(const char* suffix) const {
        return QDir(root).filePath(QStringLiteral("P-0001%1").arg(QLatin1String(suffix)));
    }

    static QString QpdfCheck(const QString& file) {
        QProcess qpdf;
        qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), file});
        qpdf.waitForFinished(60000);
        return qpdf.exitCode() == 0 ? QString() : QString::fromLocal8Bit(qpdf.readAll());
    }

    // A press mark preset table of one mark of w x t.
    void MarkPreset(CZelPressMarkPresets& table, const QString& folderName, const QString& name,
                    double w, double t) {
        const QString folder = QDir(presetDir).filePath(folderName) + QLatin1Char('/');
        QDir().mkpath(folder);
        pdf.ComposeBeginDoc(folder + QStringLiteral("mark.pdf"));
        pdf.ComposeBeginPage(w, t);
        pdf.ComposeCMYKRect(0, 0, w, t, 0, -1, -1, -1, -1, 1, 0, 0, 0);
        pdf.ComposeEndPage();
        ASSERT_TRUE(pdf.ComposeEndDoc());
        QImage preview(8, 8, QImage::Format_RGB32);
        preview.fill(Qt::cyan);
        ASSERT_TRUE(preview.save(folder + QStringLiteral("mark.png")));
        using namespace recordfiles;
        const QString body = QStringLiteral("   <PRESS_MARK>\r\n") +
                             Elements({{"MARK_NAME", Q(name)},
                                       {"MEDIA_FILE", Q(QStringLiteral("mark.pdf"))},
                                       {"PREVIEW_FILE", Q(QStringLiteral("mark.png"))},
                                       {"MEDIA_WIDE", QString::number(w, 'f', 3)},
                                       {"MEDIA_HIGH", QString::number(t, 'f', 3)}},
                                      2) +
                             QStringLiteral("   </PRESS_MARK>\r\n");
        ASSERT_TRUE(Write(folder + QStringLiteral("marks.tzst"),
                          Record("Tessel Press Mark Presets", body)));
        ASSERT_TRUE(table.Load(folder, QStringLiteral("marks.tzst")))
            << table.LastError().toStdString();
    }

    // A 90 x 50 label with the order number, after-work and a fixed Korean text.
    void Label(const QString& name = QStringLiteral("명함 라벨")) {
        CZelLabel label;
        label.SetSize(90, 50);
        auto object = [&](const char* tag, const QString& text, double x, double y, double w,
                          double h, int invert = 0) {
            auto o = std::make_unique<CZelLabObject>();
            o->tag = QLatin1String(tag);
            o->text = text;
            o->x = x, o->y = y, o->w = w, o->h = h;
            o->invert = invert;
            o->frame = 1;
            o->font.lfHeight = -16;
            o->font.lfFaceName = QStringLiteral("NanumGothic");
            label.objects.push_back(std::move(o));
        };
        object("Ordernum", QString(), 2, 2, 60, 10);
        object("AfterWork", QString(), 2, 14, 60, 10);
        object("MF_TextBox", QStringLiteral("한글 라벨"), 2, 26, 60, 10, 1);
        object("Quantity", QString(), 2, 38, 40, 10);
        object("MF_Preview", QString(), 64, 2, 24, 24);
        ASSERT_TRUE(
            label.Save(QDir(presetDir).filePath(QStringLiteral("Labels/%1.tzlp").arg(name))));
    }

    QTemporaryDir dir;
    QString root, presetDir, pressDir, plate;
    CPDFServer pdf;
    CZelColorPresets colors;
    CZelPressMarkPresets bars, regMarks;
    ScriptedOperator op;
    ProgressSink* progress = nullptr; // set before Open to follow a run
    std::unique_ptr<CTesselDoc> doc;
    MakePressOptions options;
    QStringList written;
    QStringList notes; // of the last Run
};
