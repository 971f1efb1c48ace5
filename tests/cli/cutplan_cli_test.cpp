#include "demoshopfixture.h"

#include "../press/cutplanreplay.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>

namespace {

// The demo shop's plates, filled with its orders, cut apart by the plan.
class CutPlanCli : public DemoShopTest {};

} // namespace

TEST_F(CutPlanCli, DemoPlatesOfEveryKindAreCutApart) {
    struct Plate {
        const char* preset;
        const char* type;
        const char* orders;
        double width, height;
    };
    const Plate plates[] = {
        {"명함 국2절 92x52", "N", "명함/일반", 636, 469},
        {"명함 돈땡 국2절 92x52", "P", "명함/고급", 636, 469},
        {"스티커 4x6 4절 62x62", "S", "스티커", 545, 394},
    };
    for (const Plate& p : plates) {
        SCOPED_TRACE(p.preset);
        CliRun run =
            Shop({QStringLiteral("plate"), QStringLiteral("new"), QStringLiteral("--preset"),
                  QString::fromUtf8(p.preset), QStringLiteral("--type"), QString::fromUtf8(p.type),
                  QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password"),
                  QStringLiteral("demo")});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const QString plate = run.out.trimmed();
        run = Shop({QStringLiteral("plate"), QStringLiteral("place"), plate,
                    QDir(shop).filePath(QStringLiteral("Shared/JobTickets/") +
                                        QString::fromUtf8(p.orders)),
                    QStringLiteral("--yes")});
        ASSERT_NE(run.code, 1) << run.err.toStdString();

        run = Shop(
            {QStringLiteral("plate"), QStringLiteral("cutplan"), plate, QStringLiteral("--json")});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const QByteArray json = run.out.toUtf8();
        EXPECT_EQ(cutplanreplay::Replay(json, {0, 0, p.width, p.height}), QStringList());
        const QJsonObject root = QJsonDocument::fromJson(json).object();
        const int cuts = root[QLatin1String("cut_count")].toInt();
        EXPECT_GT(root[QLatin1String("items")].toArray().size(), 1);
        EXPECT_LT(cuts, root[QLatin1String("naive_cut_count")].toInt());
        std::cout << p.preset << ": " << root[QLatin1String("items")].toArray().size() << " items, "
                  << cuts << " cuts, " << root[QLatin1String("turn_count")].toInt()
                  << " turns; every line through the sheet: "
                  << root[QLatin1String("naive_cut_count")].toInt() << " cuts\n";

        run = Shop({QStringLiteral("plate"), QStringLiteral("cutplan"), plate});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral("%1 cuts").arg(cuts))) << run.out.toStdString();
    }
}

TEST_F(CutPlanCli, UsageAndFailures) {
    EXPECT_EQ(Shop({QStringLiteral("plate"), QStringLiteral("cutplan")}).code, 2);
    const CliRun missing = Shop({QStringLiteral("plate"), QStringLiteral("cutplan"),
                                 temp.filePath(QStringLiteral("없음.tzmp"))});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(missing.err.isEmpty());
}
