#include "clirun.h"

#include "../records/recordfiles.h"

#include "engine/tesseldoc.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// An installation with a preference whose folders exist, and a plate of one item.
class PressCli : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace recordfiles;
        home = dir.filePath(QStringLiteral("설치"));
        QDir().mkpath(home + QStringLiteral("/Preferences"));
        QString keys;
        for (const char* key : {"USERS_DIR", "PRESET_DIR", "JOBS_DIR", "PDFS_DIR", "PROGRESS_DIR",
                                "RELEASE_DIR", "LOCAL_WORK_DIR"}) {
            const QString folder = dir.filePath(QLatin1String(key));
            QDir().mkpath(folder);
            keys += Elements({{key, Q(folder)}}, 1);
        }
        keys += Elements({{"MAKE_PDF_TYPE", QStringLiteral("0")}}, 1);
        ASSERT_TRUE(Write(home + QStringLiteral("/Preferences/TesselPreference.tzpr"),
                          Record("Tessel Preference", keys)));
        press = dir.filePath(QStringLiteral("출력"));
        QDir().mkpath(press);
        plate = dir.filePath(QStringLiteral("판/P-7.tzmp"));
        QDir().mkpath(QFileInfo(plate).path());

        CTesselDoc doc;
        PlateProperties p;
        p.jobCode = QStringLiteral("P-7");
        p.userAccount = QStringLiteral("kim");
        p.paperSideSetting = 1;
        p.width = 300, p.height = 200;
        p.margin = {10, 10, 10, 10};
        doc.SetProperties(p);
        auto item = std::make_unique<CZelItem>();
        item->ordernum = QStringLiteral("C-1");
        item->objPath = QStringLiteral(TESSEL_TEST_DATA "/pdf/card-rotated.pdf");
        item->width = 50, item->height = 90, item->x = 20, item->y = 20;
        doc.AddItem(std::move(item));
        ASSERT_TRUE(doc.Save(plate));
    }
    QTemporaryDir dir;
    QString home, press, plate;
};

} // namespace

TEST_F(PressCli, WritesAndListsThePressFiles) {
    const CliRun r = Cli({QStringLiteral("--home"), home, QStringLiteral("plate"),
                          QStringLiteral("press"), plate, QStringLiteral("--type"),
                          QStringLiteral("2"), QStringLiteral("--press-dir"), press});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString base = QFileInfo(plate).path() + QStringLiteral("/P-7");
    const QStringList expected = {
        base + QStringLiteral("_A.pdf"),      base + QStringLiteral("_B.pdf"),
        base + QStringLiteral("_L.pdf"),      press + QStringLiteral("/P-7_A.pdf"),
        press + QStringLiteral("/P-7_B.pdf"), press + QStringLiteral("/P-7_L.pdf")};
    // The cutter room's files come last, beside the side files.
    const QStringList cutPlan = {base + QStringLiteral("_cuts.pdf"),
                                 base + QStringLiteral("_cuts.csv")};
    EXPECT_EQ(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected + cutPlan);
    for (const QString& file : expected)
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    EXPECT_TRUE(QFileInfo(base + QStringLiteral(".txt")).isFile());
}

TEST_F(PressCli, FailsWithTheInUseMessageAndOnBadFlags) {
    QDir().mkpath(press + QStringLiteral("/P-7.pdf"));
    CliRun r = Cli({QStringLiteral("--home"), home, QStringLiteral("plate"),
                    QStringLiteral("press"), plate, QStringLiteral("--press-dir"), press});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("PDF 파일 \"P-7.pdf\"이(가) 사용중입니다.")))
        << r.err.toStdString();

    r = Cli({QStringLiteral("--home"), home, QStringLiteral("plate"), QStringLiteral("press"),
             plate, QStringLiteral("--type"), QStringLiteral("3")});
    EXPECT_EQ(r.code, 2);
    r = Cli({QStringLiteral("--home"), dir.filePath(QStringLiteral("없음")),
             QStringLiteral("plate"), QStringLiteral("press"), plate});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no preference file"))) << r.err.toStdString();
}
