// The gang planner on the reference workload: the 200 orders of the shared
// benchmark's make-workload.sh (their sizes and two-page orders), with
// seeded sheet counts between 500 and 20,000, as tickets in a fresh demo
// shop, planned on its card presets. Prints the plan's cost, bound, gap,
// wall and processor time beside a first-fit-decreasing plan and the naive
// plan of one plate per order.
#include "planner/gangplanner.h"
#include "planner/plancheck.h"

#include "markup/cp949.h"
#include "records/programfolder.h"
#include "records/zeldocumentpreset.h"
#include "records/zeljob.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <random>

using namespace planner;

namespace {

bool WriteTicket(const QString& path, const QString& ordernum, double width, double height,
                 int pages, int sheets) {
    auto element = [](const char* key, const QString& value) {
        return QStringLiteral("   <%1>%2</%1>\r\n").arg(QLatin1String(key), value);
    };
    auto quoted = [](const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); };
    const QString text =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<TESSEL_DOCUMENT_MARKUPS>\r\n") +
        element("DOCUMENT_TYPE", quoted(QStringLiteral("Tessel Job Ticket"))) +
        element("VERSION", quoted(QStringLiteral("1.0"))) + element("Ordernum", quoted(ordernum)) +
        element("Paper", quoted(QStringLiteral("스노우지 250g"))) +
        element("Color", QStringLiteral("4")) + element("PDFPage", QString::number(pages)) +
        element("Width", QString::number(width)) + element("Height", QString::number(height)) +
        element("Pcases", QStringLiteral("1")) + element("Quantity", QString::number(sheets)) +
        element("PQuantity", QString::number(sheets)) +
        QStringLiteral("</TESSEL_DOCUMENT_MARKUPS>\r\n");
    QFile file(path);
    const QByteArray bytes = cp949::FromUnicode(text);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void Print(const char* name, const PlanProblem& problem, const Plan& plan, bool split) {
    const PlanCheck check = CheckPlan(problem, plan, split);
    std::printf("%-28s %3zu plates  cost %12.0f  %s\n", name, plan.plates.size(), plan.cost,
                check.Sound() ? "sound" : qPrintable(check.faults.join(QStringLiteral("; "))));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString shop = QDir(dir.path()).filePath(QStringLiteral("shop"));
    if (QProcess::execute(QStringLiteral(TESSEL_CLI), {QStringLiteral("demo-shop"), shop}) != 0) {
        std::fprintf(stderr, "the demo shop could not be made\n");
        return 1;
    }
    programfolder::SetHome(shop);
    const QStringList presetNames{QStringLiteral("명함 국2절 92x52"),
                                  QStringLiteral("명함 양면 국2절 92x52")};
    PlanProblem problem;
    for (const QString& name : presetNames) {
        CZelDocumentPreset preset;
        if (!preset.Load(CZelDocumentPreset::PathOf(name))) {
            std::fprintf(stderr, "no preset %s\n", qPrintable(name));
            return 1;
        }
        PlateProperties properties;
        properties.ReadPlateKeys(preset);
        properties.Normalize();
        problem.presets.push_back(MakePreset(name, properties));
    }

    const QString tickets = QDir(dir.path()).filePath(QStringLiteral("tickets"));
    QDir().mkpath(tickets);
    std::mt19937 random(20240311);
    std::uniform_int_distribution<int> sheets(500, 20000);
    for (int i = 1; i <= 200; ++i) {
        // make-workload.sh's mix by order number.
        const int kind = i % 10;
        const double width = kind <= 6 ? 90 : kind == 7 ? 85 : kind == 8 ? 52 : 100;
        const double height = kind <= 6 ? 50 : kind == 7 ? 55 : kind == 8 ? 90 : 150;
        const int pages = i % 4 == 1 ? 2 : 1;
        const QString ordernum = QStringLiteral("order-%1").arg(i, 4, 10, QLatin1Char('0'));
        const QString path = QDir(tickets).filePath(ordernum + QStringLiteral(".tzjob"));
        if (!WriteTicket(path, ordernum, width, height, pages, sheets(random)))
            return 1;
        problem.orders.push_back(MakeOrder(CZelJob(path), problem.presets));
    }

    PlanOptions options;
    const double limit = qEnvironmentVariableIsSet("TESSEL_PLAN_SECONDS")
                             ? qEnvironmentVariable("TESSEL_PLAN_SECONDS").toDouble()
                             : 10.0;
    options.timeLimit = limit;
    if (qEnvironmentVariableIsSet("TESSEL_RUNS_ONLY")) {
        options.runLengths.clear();
        for (int r = qEnvironmentVariable("TESSEL_RUNS_ONLY").toInt(); r <= 20000;
             r += qEnvironmentVariable("TESSEL_RUNS_ONLY").toInt())
            options.runLengths.push_back(r);
    }
    std::printf(
        "200 orders, presets \"%s\" (%d cells) and \"%s\" (%d cells); plate %.0f, sheet %.0f\n",
        qPrintable(presetNames[0]), problem.presets[0].cells, qPrintable(presetNames[1]),
        problem.presets[1].cells, problem.costs.plateCost, problem.costs.sheetCost);
    QElapsedTimer clock;
    clock.start();
    const Plan greedy = GreedyPlan(problem, options);
    const double greedySeconds = clock.elapsed() / 1000.0;
    // The machine may be shared: processor time shows what the planner took
    // beside the wall clock its limit counts.
    const std::clock_t cpuStart = std::clock();
    const Plan plan = SolvePlan(problem, options);
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const Plan naive = NaivePlan(problem);
    Print("optimiser", problem, plan, false);
    std::printf("  bound %.0f, gap %.3f %%, %.2f s, %.2f s of processor (time limit %.0f s%s)\n",
                plan.bound, plan.Gap() * 100, plan.seconds, cpuSeconds, limit,
                plan.optimal            ? ", proven"
                : plan.timeLimitReached ? ", reached"
                                        : "");
    Print("first fit decreasing", problem, greedy, false);
    std::printf("  %.2f s; the optimiser saves %.2f %%\n", greedySeconds,
                greedy.cost > 0 ? (greedy.cost - plan.cost) / greedy.cost * 100 : 0.0);
    Print("one plate per order", problem, naive, false);
    std::printf("unplanned: %zu\n", plan.unplanned.size());
    return 0;
}
