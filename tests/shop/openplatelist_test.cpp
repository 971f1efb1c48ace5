#include "../records/recordfiles.h"
#include "engine/platecreation.h"
#include "engine/tesseldoc.h"
#include "records/zelpreference.h"
#include "shop/openplatelist.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// A plate file with one placed item, saved as the program saves it.
QString SavePlate(const QString& folder, const QString& code, int paperSide, int imposition) {
    CTesselDoc doc;
    PlateProperties p = platecreation::DefaultProperties();
    p.jobCode = code;
    p.presetName = QStringLiteral("국전 명함");
    p.paperType = QStringLiteral("스노우");
    p.paperSideSetting = paperSide;
    p.turnDirection = imposition;
    p.colorA = 1;
    p.colorB = 0;
    p.pressCount = 1500;
    p.userName = QStringLiteral("홍길동");
    p.userInitial = QStringLiteral("HG");
    p.jobDate = QStringLiteral("2026-12-10");
    p.width = 297.5;
    doc.SetProperties(p);
    auto item = std::make_unique<CZelItem>();
    item->ordernum = QStringLiteral("N-1");
    item->width = 90;
    item->height = 50;
    doc.AddItem(std::move(item));
    const QString path = QDir(folder).filePath(code + QStringLiteral(".tzmp"));
    EXPECT_TRUE(doc.Save(path));
    return path;
}

} // namespace

TEST(OpenPlateList, SummariesStopBeforeTheItems) {
    recordfiles::KoreanTempDir shop;
    const QString local = shop.mkdir(QStringLiteral("local"));
    const QString b = SavePlate(local, QStringLiteral("b-plate"), 1, 0);
    const QString a = SavePlate(local, QStringLiteral("A-plate"), 2, 1);
    const QString open = SavePlate(local, QStringLiteral("C-open"), 0, 2);
    // Items that are torn after their first "PAGE": the summary never reads them.
    QByteArray torn = recordfiles::Read(SavePlate(local, QStringLiteral("D-torn"), 0, 2));
    torn.truncate(torn.indexOf("<PAGE>") + 20);
    ASSERT_TRUE(recordfiles::Write(QDir(local).filePath(QStringLiteral("D-torn.tzmp")), torn));
    ASSERT_TRUE(recordfiles::Write(QDir(local).filePath(QStringLiteral("E-other.tzmp")),
                                   recordfiles::Record("Tessel Preference", QString())));

    CZelPreference preference;
    preference.SetFolder(CZelPreference::Folder::LocalWork, local);
    QStringList skipped;
    const auto rows = openplatelist::List(preference, open, &skipped);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].path, a); // case-insensitive: A, b, D
    EXPECT_EQ(rows[1].path, b);
    EXPECT_EQ(rows[2].name, QStringLiteral("D-torn"));
    ASSERT_EQ(skipped.size(), 1);
    EXPECT_TRUE(skipped[0].contains(QStringLiteral("E-other")));

    EXPECT_EQ(rows[1].Columns(),
              (QStringList{QStringLiteral("b-plate"), QStringLiteral("국전 명함"),
                           QStringLiteral("297.5 mm * 420 mm"), QStringLiteral("스노우"),
                           QStringLiteral("1500"), QStringLiteral("양면(A:4, B:1)"),
                           QStringLiteral("수평 대첩"), QStringLiteral("홍길동(HG)"),
                           QStringLiteral("2026-12-10"), b}));
    EXPECT_EQ(rows[0].sides, QStringLiteral("돈땡(4)"));
    EXPECT_EQ(rows[0].imposition, QStringLiteral("수직 대첩"));
    EXPECT_EQ(rows[2].sides, QStringLiteral("단면(4)"));
    EXPECT_EQ(rows[2].imposition, QStringLiteral("대첩 안함"));
    EXPECT_EQ(openplatelist::Titles().size(), rows[0].Columns().size());

    EXPECT_FALSE(openplatelist::ReadSummary(QDir(local).filePath(QStringLiteral("none.tzmp"))));
}
