#include "demoshopfixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PreflightCli : public DemoShopTest {
protected:
    QString Folder(const char* name) const {
        return QDir(shop).filePath(QStringLiteral("Shared/JobTickets/") + QString::fromUtf8(name));
    }
    // The codes of each order's findings, by order number.
    static std::map<QString, QStringList> CodesOf(const QJsonObject& report) {
        std::map<QString, QStringList> codes;
        for (const QJsonValue& order : report[QStringLiteral("orders")].toArray()) {
            QStringList found;
            for (const QJsonValue& finding : order[QStringLiteral("findings")].toArray()) {
                found << finding[QStringLiteral("code")].toString();
                EXPECT_FALSE(finding[QStringLiteral("text")].toString().isEmpty());
            }
            codes[order[QStringLiteral("ordernum")].toString()] = found;
        }
        return codes;
    }
};

TEST_F(PreflightCli, JobFolderAndPlateReportAsJsonAndText) {
    CliRun run = Shop({QStringLiteral("jobs"), QStringLiteral("preflight"), Folder("스티커"),
                       QStringLiteral("--json"), QStringLiteral("--bleed"), QStringLiteral("0")});
    ASSERT_NE(run.code, 1) << run.err.toStdString();
    QJsonObject report = QJsonDocument::fromJson(run.out.toUtf8()).object();
    ASSERT_FALSE(report.isEmpty()) << run.out.toStdString();
    EXPECT_EQ(report[QStringLiteral("bleed_mm")].toDouble(), 0.0);
    const std::map<QString, QStringList> folderCodes = CodesOf(report);
    EXPECT_EQ(folderCodes.size(), 10u);
    for (const auto& [ordernum, codes] : folderCodes)
        EXPECT_FALSE(codes.contains(QStringLiteral("bleed"))) << ordernum.toStdString();
    EXPECT_EQ(run.code, report[QStringLiteral("findings")].toInt() > 0 ? 3 : 0);

    // A sticker on a card plate: its paper and cells, besides its artwork.
    run = Shop({QStringLiteral("plate"), QStringLiteral("new"), QStringLiteral("--preset"),
                QStringLiteral("명함 국2절 92x52"), QStringLiteral("--type"), QStringLiteral("N"),
                QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password"),
                QStringLiteral("demo")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString plate = run.out.trimmed();
    const QString sticker = QDir(Folder("스티커")).filePath(QStringLiteral("ST2403110021.tzjob"));
    run = Shop({QStringLiteral("plate"), QStringLiteral("place"), plate, sticker,
                QStringLiteral("--yes")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    run = Shop(
        {QStringLiteral("plate"), QStringLiteral("preflight"), plate, QStringLiteral("--json")});
    ASSERT_EQ(run.code, 3) << run.err.toStdString();
    report = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QStringList codes = CodesOf(report)[QStringLiteral("ST2403110021")];
    EXPECT_TRUE(codes.contains(QStringLiteral("paper")))
        << codes.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(codes.contains(QStringLiteral("cell")))
        << codes.join(QLatin1Char(' ')).toStdString();

    run = Shop({QStringLiteral("plate"), QStringLiteral("preflight"), plate});
    EXPECT_EQ(run.code, 3);
    EXPECT_TRUE(run.out.contains(QStringLiteral("ST2403110021\tfindings")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("재질이 다름"))) << run.out.toStdString();
}

TEST_F(PreflightCli, WrongArgumentsAreUsageErrors) {
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("jobs"), QStringLiteral("preflight")},
          QStringList{QStringLiteral("jobs"), QStringLiteral("preflight"), Folder("스티커"),
                      QStringLiteral("--bleed"), QStringLiteral("-1")},
          QStringList{QStringLiteral("plate"), QStringLiteral("preflight"), QStringLiteral("x"),
                      QStringLiteral("--min-dpi"), QStringLiteral("many")}}) {
        const CliRun run = Shop(arguments);
        EXPECT_EQ(run.code, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    const CliRun missing = Shop({QStringLiteral("jobs"), QStringLiteral("preflight"),
                                 QDir(shop).filePath(QStringLiteral("nowhere"))});
    EXPECT_EQ(missing.code, 1);
}

} // namespace
