#include "plancommands.h"

#include "installation.h"
#include "plateservices.h"
#include "progress.h"

#include "planner/gangplanner.h"
#include "planner/plancheck.h"
#include "records/zeljob.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSet>

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

// An order the plan carries whole on one plate, as placing it does.
QString WhyNotApplicable(const PlanProblem& problem, const Plan& plan) {
    std::vector<int> plateOf(problem.orders.size(), -1);
    for (size_t n = 0; n < plan.plates.size(); ++n) {
        const PlanPlate& plate = plan.plates[n];
        QSet<int> cases;
        for (const PlanEntry& entry : plate.entries) {
            const PlanOrder& order = problem.orders[entry.order];
            if (plateOf[entry.order] >= 0 && plateOf[entry.order] != static_cast<int>(n))
                return QStringLiteral(
                           "order %1 is split over plates; its ticket can be on one plate only")
                    .arg(order.ordernum);
            plateOf[entry.order] = static_cast<int>(n);
            if (entry.copies != CopiesFor(order.sheets, plate.pressCount))
                return QStringLiteral(
                           "order %1 has %2 copies per case on plate %3, placing gives %4")
                    .arg(order.ordernum)
                    .arg(entry.copies)
                    .arg(n + 1)
                    .arg(CopiesFor(order.sheets, plate.pressCount));
        }
    }
    return {};
}

// Creates the plan's plates and places their orders, as "plate new" and
// "plate place" do; prints each plate file.
int Apply(const PlanProblem& problem, const Plan& plan, const QString& account,
          const QString& password, QString plateType, const QDate& date) {
    const QString refusal = WhyNotApplicable(problem, plan);
    if (!refusal.isEmpty())
        return Fail(QStringLiteral("the plan cannot be applied: %1").arg(refusal));
    Installation shop;
    QString error;
    if (!shop.Load(true, &error))
        return Fail(error);
    if (plateType.isEmpty()) {
        if (CMTItem* first = shop.site.FirstPanCode())
            shop.site.GetPanPrefix(first, plateType);
    }
    if (!plateservices::CheckPlateType(shop, plateType, &error))
        return Fail(error);
    CliLogin login;
    if (!login.Login(shop.preference, account, password, &error))
        return Fail(error);
    // The plan knows the sheet counts do not match the plates: yes to those questions.
    CliOperator op(CliOperator::Answer::Yes);
    CliProgress progress;
    for (size_t n = 0; n < plan.plates.size(); ++n) {
        const PlanPlate& plate = plan.plates[n];
        QString path;
        if (!plateservices::CreatePlate(shop, login, problem.presets[plate.preset].name, plateType,
                                        date, plate.pressCount, path, &error))
            return Fail(QStringLiteral("plate %1: %2").arg(n + 1).arg(error));
        CTesselDoc doc;
        doc.SetContext(shop.Context(&op, &progress));
        if (!doc.Open(path, &error))
            return Fail(QStringLiteral("%1: %2").arg(path, error));
        QStringList tickets;
        for (const PlanEntry& entry : plate.entries)
            tickets << problem.orders[entry.order].ticketPath;
        std::vector<std::unique_ptr<CZelJob>> jobs;
        const CZelBound& area = doc.Geometry().usableArea;
        const CTesselDoc::DropResult result =
            plateservices::TakeOrders(doc, tickets, area.x, area.y, false, jobs);
        if (!doc.Save(doc.Path(), &error)) {
            plateservices::ReturnTaken(doc, jobs);
            return Fail(QStringLiteral("%1: %2").arg(path, error));
        }
        QStringList missing;
        for (const PlanEntry& entry : plate.entries)
            if (doc.CountOrderItems(problem.orders[entry.order].ordernum) == 0)
                missing << problem.orders[entry.order].ordernum;
        PrintLine(path);
        if (result != CTesselDoc::DropResult::Placed || !missing.isEmpty())
            return Fail(QStringLiteral("%1: not placed as planned: %2")
                            .arg(path, missing.join(QStringLiteral(", "))));
    }
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
    QStringList sources;
    if (!args.TakeOption(QStringLiteral("--account"), account) ||
        !args.TakeOption(QStringLiteral("--password"), password) ||
        !args.TakeOption(QStringLiteral("--type"), plateType) ||
        !args.TakeOption(QStringLiteral("--date"), dateText) ||
        !args.Positionals(sources, 1, 100000))
        return Fail(args.Error(), 2);
    if (presetNames.isEmpty())
        return Fail(QStringLiteral("plan needs at least one --preset"), 2);
    if (apply && account.isEmpty())
        return Fail(QStringLiteral("--apply needs --account and --password"), 2);
    const QDate date =
        dateText.isEmpty() ? QDate::currentDate() : QDate::fromString(dateText, Qt::ISODate);
    if (!date.isValid())
        return Fail(QStringLiteral("--date wants YYYY-MM-DD, not \"%1\"").arg(dateText), 2);

    PlanProblem problem;
    problem.costs = costs;
    for (const QString& name : presetNames) {
        PlateProperties properties;
        if (!plateservices::ReadPresetProperties(name, properties, &error))
            return Fail(error);
        problem.presets.push_back(MakePreset(name, properties));
        if (!problem.presets.back().unusable.isEmpty())
            PrintWarning(QStringLiteral("preset %1 %2").arg(name, problem.presets.back().unusable));
    }
    const QStringList tickets = plateservices::TicketsOf(sources, error);
    if (tickets.isEmpty())
        return Fail(error.isEmpty() ? QStringLiteral("no tickets to plan") : error);
    QSet<QString> seen;
    for (const QString& ticket : tickets) {
        const CZelJob job(ticket);
        if (!job.IsValid()) {
            PrintWarning(QStringLiteral("%1: not a readable ticket; left out").arg(ticket));
            continue;
        }
        // Plates know their orders by number: two tickets of one number cannot both go.
        const QString ordernum = job.Text("Ordernum");
        if (ordernum.isEmpty() || seen.contains(ordernum)) {
            PrintWarning(
                QStringLiteral("%1: %2; left out")
                    .arg(ticket,
                         ordernum.isEmpty()
                             ? QStringLiteral("no order number")
                             : QStringLiteral("order number %1 already planned").arg(ordernum)));
            continue;
        }
        seen.insert(ordernum);
        problem.orders.push_back(MakeOrder(job, problem.presets));
    }

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
         "[--time-limit S] [--json] [--apply --account A --password P [--type PAN] [--date "
         "YYYY-MM-DD]]",
         "plan which orders go on which plates at which press count, at the least cost, with its "
         "gap to a "
         "proven bound; --apply creates the plates and places the orders",
         RunPlan, true},
    };
}
