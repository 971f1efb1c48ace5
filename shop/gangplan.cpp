#include "gangplan.h"

#include "installation.h"
#include "newplate.h"
#include "session.h"
#include "ticketintake.h"

#include "engine/tesseldoc.h"
#include "records/zeljob.h"

#include <QFileInfo>
#include <QSet>

namespace gangplan {

using namespace planner;

Result<Gathered> Gather(const QStringList& presetNames, const QStringList& sources,
                        const PlanCosts& costs) {
    Gathered out;
    out.problem.costs = costs;
    for (const QString& name : presetNames) {
        const Result<PlateProperties> properties = PresetPlateProperties(name);
        if (!properties)
            return Failure(properties.error());
        out.problem.presets.push_back(MakePreset(name, properties.value()));
        if (!out.problem.presets.back().unusable.isEmpty())
            out.notes
                << QStringLiteral("preset %1 %2").arg(name, out.problem.presets.back().unusable);
    }
    const Result<QStringList> tickets = ticketintake::TicketsIn(sources);
    if (!tickets)
        return Failure(tickets.error());
    QSet<QString> seen;
    for (const QString& ticket : tickets.value()) {
        const CZelJob job(ticket);
        if (!job.IsValid()) {
            out.notes << QStringLiteral("%1: not a readable ticket; left out").arg(ticket);
            continue;
        }
        // Plates know their orders by number: two tickets of one number cannot both go.
        const QString ordernum = job.Text("Ordernum");
        if (ordernum.isEmpty() || seen.contains(ordernum)) {
            out.notes << QStringLiteral("%1: %2; left out")
                             .arg(ticket, ordernum.isEmpty()
                                              ? QStringLiteral("no order number")
                                              : QStringLiteral("order number %1 already planned")
                                                    .arg(ordernum));
            continue;
        }
        seen.insert(ordernum);
        out.problem.orders.push_back(MakeOrder(job, out.problem.presets));
    }
    if (out.problem.orders.empty())
        return Failure(QStringLiteral("no tickets to plan"));
    return out;
}

QString WhyNotApplicable(const PlanProblem& problem, const Plan& plan) {
    std::vector<int> plateOf(problem.orders.size(), -1);
    for (size_t n = 0; n < plan.plates.size(); ++n) {
        const PlanPlate& plate = plan.plates[n];
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

Result<PreparedPlan> PrepareApply(Installation& shop, const PlanProblem& problem, const Plan& plan,
                                  const QString& plateType, const QDate& date) {
    const QString refusal = WhyNotApplicable(problem, plan);
    if (!refusal.isEmpty())
        return Failure(QStringLiteral("the plan cannot be applied: %1").arg(refusal));
    PreparedPlan prepared;
    for (size_t n = 0; n < plan.plates.size(); ++n) {
        const PlanPlate& plate = plan.plates[n];
        Result<PreparedPlate> made =
            PrepareNewPlate(shop, {problem.presets[plate.preset].name, plateType, date});
        if (!made)
            return Failure(QStringLiteral("plate %1: %2").arg(n + 1).arg(made.error()));
        PreparedPlan::Plate out{std::move(made.value()), {}};
        // The plate runs this many sheets; its quantity says the same.
        PlateProperties& properties = out.plate.creation.properties;
        properties.pressCount = plate.pressCount;
        properties.quantity =
            properties.pressUnit ? plate.pressCount / 500.0 : static_cast<double>(plate.pressCount);
        const QString invalid = platecreation::Validate(properties);
        if (!invalid.isEmpty())
            return Failure(QStringLiteral("plate %1: %2").arg(n + 1).arg(invalid));
        for (const PlanEntry& entry : plate.entries)
            out.tickets << problem.orders[entry.order].ticketPath;
        prepared.plates.push_back(std::move(out));
    }
    return prepared;
}

Result<QStringList> Apply(Installation& shop, const ShopSession& session, PreparedPlan& prepared,
                          OperatorInterface* op, ProgressSink* progress) {
    QStringList made;
    auto stop = [&](const QString& reason) {
        return Failure(made.isEmpty() ? reason
                                      : QStringLiteral("%1 (plates made: %2)")
                                            .arg(reason, made.join(QStringLiteral(", "))));
    };
    if (!session.Account())
        return Failure(QStringLiteral("nobody is logged in"));
    for (size_t n = 0; n < prepared.plates.size(); ++n) {
        PreparedPlan::Plate& plate = prepared.plates[n];
        const Result<QString> path = CreatePlate(shop, *session.Account(), plate.plate);
        if (!path)
            return stop(QStringLiteral("plate %1: %2").arg(n + 1).arg(path.error()));
        CTesselDoc doc;
        doc.SetContext(shop.Context(op, progress));
        if (const Result<void> opened = doc.Open(path.value()); !opened)
            return stop(QStringLiteral("%1: %2").arg(path.value(), opened.error()));
        const CZelBound& area = doc.Geometry().usableArea;
        const Result<ticketintake::Outcome> outcome =
            ticketintake::TakeAndPlace(doc, plate.tickets, area.x, area.y, false);
        if (!outcome)
            return stop(QStringLiteral("%1: %2").arg(path.value(), outcome.error()));
        made << path.value();
        if (!outcome->saveError.isEmpty())
            return stop(QStringLiteral("%1: %2").arg(path.value(), outcome->saveError));
        QStringList missing;
        for (const ticketintake::OrderOutcome& order : outcome->orders) {
            const QString name = order.ordernum.isEmpty() ? order.ticket : order.ordernum;
            switch (order.fate) {
            case ticketintake::Fate::Placed:
                break;
            case ticketintake::Fate::Refused:
                missing << QStringLiteral("%1 not taken: %2").arg(name, order.reason);
                break;
            case ticketintake::Fate::Returned:
                missing << QStringLiteral("%1 returned: %2").arg(name, order.reason);
                break;
            case ticketintake::Fate::Stranded:
                missing << QStringLiteral("%1 NOT RETURNED, left in %2: %3")
                               .arg(name, QFileInfo(order.ticket).absolutePath(), order.reason);
                break;
            }
        }
        if (outcome->drop != CTesselDoc::DropResult::Placed || !missing.isEmpty())
            return stop(QStringLiteral("%1: not placed as planned: %2")
                            .arg(path.value(), missing.isEmpty()
                                                   ? QStringLiteral("the drop was refused")
                                                   : missing.join(QStringLiteral("; "))));
    }
    return made;
}

} // namespace gangplan
