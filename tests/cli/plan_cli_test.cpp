#include "clirun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

const QString kCards = QStringLiteral("명함 국2절 92x52");
const QString kTwoSidedCards = QStringLiteral("명함 양면 국2절 92x52");

class PlanCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        s_shop = QDir(s_dir->path()).filePath(QStringLiteral("shop"));
        const CliRun run = Cli({QStringLiteral("demo-shop"), s_shop});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
    }
    static void TearDownTestSuite() { delete s_dir; }

    static CliRun Tessel(QStringList arguments) {
        arguments.prepend(s_shop);
        arguments.prepend(QStringLiteral("--home"));
        return Cli(arguments);
    }
    static QString Cards() {
        return QDir(s_shop).filePath(QStringLiteral("Shared/JobTickets/명함/일반"));
    }

    // A file holding the demo account's password, as an operator's script keeps it.
    static QString PasswordFile() {
        const QString path = QDir(s_dir->path()).filePath(QStringLiteral("password"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("demo\n");
        return path;
    }

    static inline QTemporaryDir* s_dir = nullptr;
    static inline QString s_shop;
};

// The plan printed as JSON at the head of standard output.
QJsonObject JsonHead(const QString& out, QStringList* rest = nullptr) {
    const int end = out.indexOf(QStringLiteral("\n}\n"));
    if (end < 0)
        return {};
    if (rest)
        *rest = out.mid(end + 3).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return QJsonDocument::fromJson(out.left(end + 2).toUtf8()).object();
}

TEST_F(PlanCli, ApplyMakesThePlatesThePlanShows) {
    const CliRun run =
        Tessel({QStringLiteral("plan"), Cards(), QStringLiteral("--preset"), kCards,
                QStringLiteral("--preset"), kTwoSidedCards, QStringLiteral("--json"),
                QStringLiteral("--apply"), QStringLiteral("--account"), QStringLiteral("demo"),
                QStringLiteral("--password-file"), PasswordFile(), QStringLiteral("--date"),
                QStringLiteral("2024-03-11")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString() << run.out.toStdString();
    QStringList plateFiles;
    const QJsonObject plan = JsonHead(run.out, &plateFiles);
    const QJsonArray plates = plan.value(QStringLiteral("plates")).toArray();
    ASSERT_FALSE(plates.isEmpty());
    ASSERT_EQ(plateFiles.size(), plates.size());
    EXPECT_LE(plan.value(QStringLiteral("bound")).toDouble(),
              plan.value(QStringLiteral("cost")).toDouble());
    // The one-colour order fits neither four-colour preset and stays in its folder.
    const QJsonArray unplanned = plan.value(QStringLiteral("unplanned")).toArray();
    ASSERT_EQ(unplanned.size(), 1);
    const QString leftOut = unplanned[0].toObject().value(QStringLiteral("ordernum")).toString();
    EXPECT_TRUE(QFileInfo::exists(QDir(Cards()).filePath(leftOut + QStringLiteral(".tzjob"))));

    for (int n = 0; n < plates.size(); ++n) {
        const QJsonObject plate = plates[n].toObject();
        SCOPED_TRACE(plateFiles[n].toStdString());
        const CliRun show = Tessel({QStringLiteral("plate"), QStringLiteral("show"), plateFiles[n],
                                    QStringLiteral("--orders")});
        ASSERT_EQ(show.code, 0) << show.err.toStdString();
        EXPECT_TRUE(show.out.contains(
            QStringLiteral("Preset: %1 ").arg(plate.value(QStringLiteral("preset")).toString())));
        EXPECT_TRUE(show.out.contains(QStringLiteral("%1 sheets per plate")
                                          .arg(plate.value(QStringLiteral("pressCount")).toInt())));
        // One row per order: number, quantity, cases, places (the cells the plan gave it).
        QStringList rows;
        for (const QString& line : show.out.split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("  BC")))
                rows << line.trimmed();
        const QJsonArray orders = plate.value(QStringLiteral("orders")).toArray();
        ASSERT_EQ(rows.size(), orders.size());
        for (const QJsonValue& value : orders) {
            const QJsonObject order = value.toObject();
            const QString ordernum = order.value(QStringLiteral("ordernum")).toString();
            const QStringList row = rows.filter(ordernum).value(0).split(QLatin1Char('\t'));
            ASSERT_EQ(row.size(), 4) << ordernum.toStdString();
            EXPECT_EQ(row[2].toInt(), order.value(QStringLiteral("cases")).toInt());
            EXPECT_EQ(row[3].toInt(), order.value(QStringLiteral("cells")).toInt());
            // The ticket moved out of the job folder onto the plate.
            EXPECT_FALSE(
                QFileInfo::exists(QDir(Cards()).filePath(ordernum + QStringLiteral(".tzjob"))));
        }
    }
}

TEST_F(PlanCli, RefusesWhatItCannotDo) {
    struct Case {
        QStringList arguments;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{QStringLiteral("plan"), Cards()}, 2, "at least one --preset"},
        {{QStringLiteral("plan"), Cards(), QStringLiteral("--preset"),
          QStringLiteral("없는 프리셋")},
         1,
         "no document preset"},
        {{QStringLiteral("plan"), Cards(), QStringLiteral("--preset"), kCards,
          QStringLiteral("--sheet-cost"), QStringLiteral("-1")},
         2,
         "--sheet-cost"},
        {{QStringLiteral("plan"), Cards(), QStringLiteral("--preset"), kCards,
          QStringLiteral("--apply")},
         2,
         "--account"},
        // Nobody at a terminal to ask for the password.
        {{QStringLiteral("plan"), Cards(), QStringLiteral("--preset"), kCards,
          QStringLiteral("--apply"), QStringLiteral("--account"), QStringLiteral("demo")},
         2,
         "a password is needed: --password-file FILE, $TESSEL_PASSWORD or --password P"},
        {{QStringLiteral("plan"), QStringLiteral("/no/such/folder"), QStringLiteral("--preset"),
          kCards},
         1,
         "no such ticket"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const CliRun run = Tessel(c.arguments);
        EXPECT_EQ(run.code, c.code);
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
    }
}

} // namespace
