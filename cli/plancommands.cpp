#include "plancommands.h"

#include "clioperator.h"
#include "progress.h"

#include "planner/gangplanner.h"
#include "planner/plancheck.h"
#include "shop/gangplan.h"
#include "shop/installation.h"
#include "shop/session.h"
#include "shop/ticketintake.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cstdio>

namespace {

using namespace planner;

QString Money(double value) {
    QString text = QString::number(value, 'f', 2);
    if (text.endsWith(QLatin1String(".00")))
        text.chop(3);
    return text;
}

QString Percent(double fraction) {
    return QString::number(fraction * 100.0, 'f', 2) + QStringLiteral(" %");
}

int CellsUsed(const PlanPlate& plate) {
    int cells = 0;
    for (const PlanEntry& entry : plate.entries)
        cells += entry.cells;
    return cells;
}

QString EntryWhat(const PlanProblem& problem, const PlanEntry& entry) {
    const PlanOrder& order = problem.orders[entry.order];
    return entry.caseIndex < 0
               ? QStringLiteral("%1 case(s)").arg(order.pcases)
               : QStringLiteral("case %1 of %2").arg(entry.caseIndex + 1).arg(order.pcases);
}

void PrintText(const PlanProblem& problem, const Plan& plan, const Plan& naive) {
    const std::vector<int> overs = OversPerOrder(problem, plan);
    double sheetsCost = 0.0;
    for (const PlanPlate& plate : plan.plates)
        sheetsCost += problem.costs.sheetCost * plate.pressCount;
    PrintLine(QStringLiteral("Plan: %1 plate(s), cost %2 (plates %3 + sheets %4)")
                  .arg(plan.plates.size())
                  .arg(Money(plan.cost), Money(plan.cost - sheetsCost), Money(sheetsCost)));
    PrintLine(QStringLiteral("Lower bound: %1, gap %2 (%3, %4 s)")
                  .arg(Money(plan.bound), Percent(plan.Gap()),
                       plan.optimal            ? QStringLiteral("proven best")
                       : plan.timeLimitReached ? QStringLiteral("time limit reached")
                                               : QStringLiteral("search ended"))
                  .arg(plan.seconds, 0, 'f', 2));
    for (size_t n = 0; n < plan.plates.size(); ++n) {
        const PlanPlate& plate = plan.plates[n];
        const PlanPreset& preset = problem.presets[plate.preset];
        PrintLine(QStringLiteral("Plate %1: %2, %3 sheets, %4 of %5 cells")
                      .arg(n + 1)
                      .arg(preset.name)
                      .arg(plate.pressCount)
                      .arg(CellsUsed(plate))
                      .arg(preset.cells));
        for (const PlanEntry& entry : plate.entries) {
            const PlanOrder& order = problem.orders[entry.order];
            PrintLine(QStringLiteral("  %1: %2 sheets, %3 x %4 copies, %5 cells, overs %6")
                          .arg(order.ordernum)
                          .arg(order.sheets)
                          .arg(EntryWhat(problem, entry))
                          .arg(entry.copies)
                          .arg(entry.cells)
                          .arg(overs[entry.order]));
        }
    }
    for (const Plan::Refusal& refusal : plan.unplanned)
        PrintLine(QStringLiteral("Not planned: %1: %2")
                      .arg(problem.orders[refusal.order].ordernum, refusal.reason));
    const double saving = naive.cost - plan.cost;
    PrintLine(QStringLiteral(
                  "Naive plan (one plate per order): %1 plate(s), cost %2; the plan saves %3 (%4)")
                  .arg(naive.plates.size())
                  .arg(Money(naive.cost), Money(saving),
                       Percent(naive.cost > 0 ? saving / naive.cost : 0.0)));
}

QJsonObject PlanJson(const PlanProblem& problem, const Plan& plan) {
    const std::vector<int> overs = OversPerOrder(problem, plan);
    QJsonArray plates;
    for (const PlanPlate& plate : plan.plates) {
        QJsonArray entries;
        for (const PlanEntry& entry : plate.entries) {
            const PlanOrder& order = problem.orders[entry.order];
            QJsonObject e{{QStringLiteral("ordernum"), order.ordernum},
                          {QStringLiteral("ticket"), order.ticketPath},
                          {QStringLiteral("sheets"), order.sheets},
                          {QStringLiteral("cases"), order.pcases},
                          {QStringLiteral("copies"), entry.copies},
                          {QStringLiteral("cells"), entry.cells},
                          {QStringLiteral("overs"), overs[entry.order]}};
            if (entry.caseIndex >= 0)
                e.insert(QStringLiteral("case"), entry.caseIndex + 1);
            entries.append(e);
        }
        plates.append(QJsonObject{{QStringLiteral("preset"), problem.presets[plate.preset].name},
                                  {QStringLiteral("pressCount"), plate.pressCount},
                                  {QStringLiteral("cellsUsed"), CellsUsed(plate)},
                                  {QStringLiteral("cells"), problem.presets[plate.preset].cells},
                                  {QStringLiteral("orders"), entries}});
    }
    QJsonArray unplanned;
    for (const Plan::Refusal& refusal : plan.unplanned)
        unplanned.append(
            QJsonObject{{QStringLiteral("ordernum"), problem.orders[refusal.order].ordernum},
                        {QStringLiteral("reason"), refusal.reason}});
    return {{QStringLiteral("plates"), plates},
            {QStringLiteral("plateCount"), static_cast<int>(plan.plates.size())},
            {QStringLiteral("cost"), plan.cost},
            {QStringLiteral("bound"), plan.bound},
            {QStringLiteral("gap"), plan.Gap()},
            {QStringLiteral("optimal"), plan.optimal},
            {QStringLiteral("timeLimitReached"), plan.timeLimitReached},
            {QStringLiteral("seconds"), plan.seconds},
            {QStringLiteral("unplanned"), unplanned}};
}

bool TakeNumber(CommandLine& args, const QString& name, double& value, QString& error) {
    QString text;
    if (!args.TakeOption(name, text)) {
        error = args.Error();
        return false;
    }
    if (text.isEmpty())
        return true;
    bool ok = false;
    const double number = QLocale::c().toDouble(text, &ok);
    if (!ok || !(number >= 0)) {
        error = QStringLiteral("%1 wants a number of 0 or more, not \"%2\"").arg(name, text);
        return false;
    }
    value = number;
    return true;
}

// Creates the plan's plates and places their orders through the shop
// session, as "plate new" and "plate place" do; prints each plate file.
int Apply(const PlanProblem& problem, const Plan& plan, const QString& account,
          const QString& password, QString plateType, const QDate& date) {
    Installation shop;
    if (const Result<void> loaded = shop.Load(true); !loaded)
        return Fail(loaded.error());
    if (plateType.isEmpty()) {
        if (CMTItem* first = shop.site.FirstPanCode())
            shop.site.GetPanPrefix(first, plateType);
    }
    // Checked before the login, which leaves a record.
    Result<gangplan::PreparedPlan> prepared =
        gangplan::PrepareApply(shop, problem, plan, plateType, date);
    if (!prepared)
        return Fail(prepared.error());
    ShopSession session;
    if (const Result<void> login = session.Login(shop.preference, account, password); !login)
        return Fail(login.error());
    // A session starts here: drops of this operator cut short before are finished first.
    CliOperator told(CliOperator::Answer::None);
    ticketintake::RecoverInterruptedDrops(shop.Context(&told, nullptr), session.AccountName());
    // The plan knows the sheet counts do not match the plates: yes to those questions.
    CliOperator op(CliOperator::Answer::Yes);
    CliProgress progress;
    const Result<QStringList> plates =
        gangplan::Apply(shop, session, prepared.value(), &op, &progress);
    if (!plates)
        return Fail(plates.error());
    for (const QString& path : plates.value())
        PrintLine(path);
    return 0;
}

int RunPlan(CommandLine& args) {
    QStringList presetNames;
    for (;;) {
        QString name;
        if (!args.TakeOption(QStringLiteral("--preset"), name))
            return Fail(args.Error(), 2);
        if (name.isEmpty())
            break;
        presetNames << name;
    }
    PlanCosts costs;
    PlanOptions options;
    QString error, account, password, plateType, dateText;
    if (!TakeNumber(args, QStringLiteral("--plate-cost"), costs.plateCost, error) ||
        !TakeNumber(args, QStringLiteral("--sheet-cost"), costs.sheetCost, error) ||
        !TakeNumber(args, QStringLiteral("--time-limit"), options.timeLimit, error))
        return Fail(error, 2);
    options.split = args.TakeFlag(QStringLiteral("--split"));
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    const bool apply = args.TakeFlag(QStringLiteral("--apply"));
    if (!args.TakeOption(QStringLiteral("--account"), account) ||
        !args.TakeOption(QStringLiteral("--type"), plateType) ||
        !args.TakeOption(QStringLiteral("--date"), dateText))
        return Fail(args.Error(), 2);
    if (presetNames.isEmpty())
        return Fail(QStringLiteral("plan needs at least one --preset"), 2);
    if (apply && account.isEmpty())
        return Fail(QStringLiteral("--apply needs --account"), 2);
    // Asked for only when it is used: a plan without --apply logs in nowhere.
    if (apply && !args.TakePassword(password))
        return Fail(args.Error(), 2);
    QStringList sources;
    if (!args.Positionals(sources, 1, 100000))
        return Fail(args.Error(), 2);
    const QDate date =
        dateText.isEmpty() ? QDate::currentDate() : QDate::fromString(dateText, Qt::ISODate);
    if (!date.isValid())
        return Fail(QStringLiteral("--date wants YYYY-MM-DD, not \"%1\"").arg(dateText), 2);

    Result<gangplan::Gathered> gathered = gangplan::Gather(presetNames, sources, costs);
    if (!gathered)
        return Fail(gathered.error());
    for (const QString& note : gathered->notes)
        PrintWarning(note);
    const PlanProblem& problem = gathered->problem;

    const Plan plan = SolvePlan(problem, options);
    const PlanCheck check = CheckPlan(problem, plan, options.split);
    if (!check.Sound())
        return Fail(QStringLiteral("the plan fails its check: %1")
                        .arg(check.faults.join(QStringLiteral("; "))));
    const Plan naive = NaivePlan(problem);
    if (json) {
        QJsonObject out = PlanJson(problem, plan);
        out.insert(QStringLiteral("naive"), QJsonObject{{QStringLiteral("plateCount"),
                                                         static_cast<int>(naive.plates.size())},
                                                        {QStringLiteral("cost"), naive.cost}});
        std::fputs(QJsonDocument(out).toJson(QJsonDocument::Indented).constData(), stdout);
        std::fflush(stdout);
    } else {
        PrintText(problem, plan, naive);
    }
    if (!apply)
        return 0;
    return Apply(problem, plan, account, password, plateType, date);
}

} // namespace

std::vector<Command> PlanCommands() {
    return {
        {"plan",
         "FOLDER|TICKET... --preset NAME [--preset NAME...] [--plate-cost X] [--sheet-cost Y] "
         "[--split] "
         "[--time-limit S] [--json] [--apply --account A [--password-file FILE] [--type PAN] "
         "[--date "
         "YYYY-MM-DD]]",
         "plan which orders go on which plates at which press count, at the least cost, with its "
         "gap to a "
         "proven bound; --apply creates the plates and places the orders",
         RunPlan, true},
    };
}
