#include "shop/preflight.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <thread>

namespace {

// The codes of the findings, joined by spaces.
std::string Codes(const std::vector<PreflightFinding>& findings) {
    QStringList codes;
    for (const PreflightFinding& finding : findings)
        codes << finding.code;
    return codes.join(QLatin1Char(' ')).toStdString();
}

class PreflightServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(pdf.Load(QString::fromUtf8(TESSEL_PDFCOMPOSE_LIBRARY)))
            << pdf.LoadError().toStdString();
    }

    // A one-page artwork of w x h mm, filled in CMYK or RGB.
    QString Artwork(const QString& name, double w, double h, bool rgb = false) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(pdf.ComposeBeginDoc(path));
        EXPECT_TRUE(pdf.ComposeBeginPage(w, h));
        if (rgb)
            EXPECT_TRUE(pdf.ComposeRGBRect(0, 0, w, h, 0, -1, -1, -1, 1, 0, 0));
        else
            EXPECT_TRUE(pdf.ComposeCMYKRect(0, 0, w, h, 0, -1, -1, -1, -1, 0, 0.5, 1, 0));
        EXPECT_TRUE(pdf.ComposeEndPage());
        EXPECT_TRUE(pdf.ComposeEndDoc()) << pdf.LastError().toStdString();
        return path;
    }

    PreflightOrder Order(const QString& pdfPath) {
        PreflightOrder order;
        order.ordernum = QFileInfo(pdfPath).completeBaseName();
        order.pdfPath = pdfPath;
        order.product = QStringLiteral("명함");
        order.paper = QStringLiteral("스노우지 250g");
        order.width = 90;
        order.height = 50;
        order.color = 4;
        return order;
    }

    QTemporaryDir dir;
    CPDFServer pdf;
    PreflightCache cache;
    PreflightSettings settings{2.0, 250, {QStringLiteral("명함"), QStringLiteral("스티커")}};
};

TEST_F(PreflightServiceTest, OrdersAreCheckedAgainstTheirArtworkAndThePlate) {
    const QString clean = Artwork(QStringLiteral("clean.pdf"), 94, 54);
    PreflightPlate plate;
    plate.paper = QStringLiteral("스노우지 250g");
    plate.fourColourFront = true;
    plate.gridWidth = 92;
    plate.gridHeight = 52;

    struct Case {
        const char* name;
        std::function<void(PreflightOrder&)> change;
        const char* codes;
    } cases[] = {
        {"clean", [](PreflightOrder&) {}, ""},
        {"no bleed",
         [&](PreflightOrder& o) { o.pdfPath = Artwork(QStringLiteral("trim.pdf"), 90, 50); },
         "bleed"},
        {"rgb",
         [&](PreflightOrder& o) { o.pdfPath = Artwork(QStringLiteral("rgb.pdf"), 94, 54, true); },
         "rgb"},
        {"rgb on a one-colour job is no colour finding",
         [&](PreflightOrder& o) {
             o.pdfPath = Artwork(QStringLiteral("rgb1.pdf"), 94, 54, true);
             o.color = 1;
         },
         "colours"},
        {"missing artwork",
         [&](PreflightOrder& o) { o.pdfPath = dir.filePath(QStringLiteral("none.pdf")); },
         "missing"},
        {"two cases, one page", [](PreflightOrder& o) { o.pcases = 2; }, "pages"},
        {"sticker paper on a card plate",
         [](PreflightOrder& o) { o.paper = QStringLiteral("아트지 스티커 90g"); }, "paper"},
        {"larger than a cell",
         [&](PreflightOrder& o) {
             o.pdfPath = Artwork(QStringLiteral("big.pdf"), 104, 154);
             o.width = 100;
             o.height = 150;
         },
         "cell"},
        {"a sticker label on a card",
         [](PreflightOrder& o) { o.autoLabel = QStringLiteral("스티커 90x50"); }, "label"},
        {"a card label on a card",
         [](PreflightOrder& o) { o.autoLabel = QStringLiteral("명함 90x50"); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreflightOrder order = Order(clean);
        c.change(order);
        const std::vector<OrderPreflight> found =
            preflight::Run(pdf, cache, {order}, settings, plate);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(Codes(found[0].findings), c.codes);
        for (const PreflightFinding& finding : found[0].findings)
            EXPECT_FALSE(finding.text.isEmpty());
    }
    // Without a plate only the artwork counts.
    PreflightOrder sticker = Order(clean);
    sticker.paper = QStringLiteral("아트지 스티커 90g");
    EXPECT_TRUE(preflight::Run(pdf, cache, {sticker}, settings, std::nullopt)[0].findings.empty());
}

TEST_F(PreflightServiceTest, AnUnchangedArtworkIsNotReadAgainAndATouchedOneIs) {
    const QString path = Artwork(QStringLiteral("art.pdf"), 90, 50);
    const std::vector<PreflightOrder> orders{Order(path)};
    EXPECT_EQ(Codes(preflight::Run(pdf, cache, orders, settings, {})[0].findings), "bleed");
    EXPECT_EQ(cache.LibraryChecks(), 1);
    EXPECT_EQ(Codes(preflight::Run(pdf, cache, orders, settings, {})[0].findings), "bleed");
    EXPECT_EQ(cache.LibraryChecks(), 1);

    // Another bleed asks again; so does a touched file.
    PreflightSettings less = settings;
    less.bleed = 0;
    EXPECT_TRUE(preflight::Run(pdf, cache, orders, less, {})[0].findings.empty());
    EXPECT_EQ(cache.LibraryChecks(), 2);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
    file.close();
    preflight::Run(pdf, cache, orders, less, {});
    EXPECT_EQ(cache.LibraryChecks(), 3);
}

TEST_F(PreflightServiceTest, RunsInTheBackgroundWithASessionOfItsOwn) {
    auto cache = std::make_shared<PreflightCache>();
    std::vector<PreflightOrder> orders{Order(Artwork(QStringLiteral("a.pdf"), 90, 50)),
                                       Order(Artwork(QStringLiteral("b.pdf"), 94, 54))};
    auto run = preflight::Start(cache, orders, settings, std::nullopt,
                                QString::fromUtf8(TESSEL_PDFCOMPOSE_LIBRARY));
    ASSERT_TRUE(run->WaitFor(std::chrono::minutes(2)));
    Result<std::vector<OrderPreflight>> found = run->Take();
    ASSERT_TRUE(found) << found.error().toStdString();
    ASSERT_EQ(found->size(), 2u);
    EXPECT_EQ(Codes(found.value()[0].findings), "bleed");
    EXPECT_EQ(Codes(found.value()[1].findings), "");

    auto broken = preflight::Start(cache, orders, settings, std::nullopt,
                                   dir.filePath(QStringLiteral("nolibrary.so")));
    EXPECT_FALSE(broken->Take());
}

// The reference workload's orders, when it has been made (its generator
// needs ghostscript): none is refused, image orders are RGB on a CMYK job,
// and none has the shop's bleed.
TEST_F(PreflightServiceTest, WorkloadOrders) {
    const QString folder =
        qEnvironmentVariable("TESSEL_WORKLOAD", QStringLiteral("/tmp/impose-bench"));
    QFile manifest(QDir(folder).filePath(QStringLiteral("manifest.tsv")));
    if (!manifest.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no workload in " << folder.toStdString();
    QTextStream in(&manifest);
    in.readLine();
    int read = 0;
    while (!in.atEnd() && read < 12) {
        const QStringList fields = in.readLine().split(QLatin1Char('\t'));
        if (fields.size() < 5)
            continue;
        ++read;
        PreflightOrder order = Order(QDir(folder).filePath(QStringLiteral("orders/") + fields[0]));
        order.width = fields[1].toDouble();
        order.height = fields[2].toDouble();
        order.pdfPage = fields[3].toInt();
        const std::vector<OrderPreflight> found =
            preflight::Run(pdf, cache, {order}, settings, std::nullopt);
        SCOPED_TRACE(fields[0].toStdString());
        EXPECT_EQ(Codes(found[0].findings),
                  fields[4] == QLatin1String("true") ? "bleed rgb" : "bleed");
    }
    EXPECT_GT(read, 0);
}

} // namespace
