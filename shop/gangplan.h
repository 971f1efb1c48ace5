#pragma once

#include "markup/result.h"
#include "newplate.h"
#include "planner/plan.h"
#include "planner/planproblem.h"
#include "records/zeldocumentpreset.h" // the prepared plates own their presets

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

class Installation;
class OperatorInterface;
class ProgressSink;
class ShopSession;

// Gang planning in the shop: the orders of job folders and the shop's
// document presets as the planner counts them, and the plates a plan
// chooses, made and filled through the same creation and intake as any
// other plate.
namespace gangplan {

// The tickets named (ticket files, or every ticket of a folder) and the
// presets named, read into a problem. Tickets the planner cannot take
// (unreadable, no order number, a number already taken) are left out, each
// with a note.
struct Gathered {
    planner::PlanProblem problem;
    QStringList notes;
};
Result<Gathered> Gather(const QStringList& presetNames, const QStringList& sources,
                        const planner::PlanCosts& costs);

// Why placing the orders would not give the plan's plates: an order split
// over plates (its ticket goes to one plate only), or copies per case other
// than placing makes at the plate's press count. Empty when it would.
QString WhyNotApplicable(const planner::PlanProblem& problem, const planner::Plan& plan);

// The plan's plates checked against the shop before anyone logs in: the
// plate type found, every preset read whole, each plate at its press count.
struct PreparedPlan {
    struct Plate {
        PreparedPlate plate;
        QStringList tickets; // of the orders it takes, in the plan's order
    };
    std::vector<Plate> plates;
};
Result<PreparedPlan> PrepareApply(Installation& shop, const planner::PlanProblem& problem,
                                  const planner::Plan& plan, const QString& plateType,
                                  const QDate& date);

// Creates each plate for the logged-in account and takes its orders onto it
// at the usable area's corner; op answers the engine's questions (the plan
// has chosen press counts other than the orders' sheets, so the caller
// usually answers yes). The plate files, in the plan's order. It stops at
// the first plate that cannot be made or does not take its orders as
// planned; the reason names the plates made so far, which keep what they
// took.
Result<QStringList> Apply(Installation& shop, const ShopSession& session, PreparedPlan& prepared,
                          OperatorInterface* op, ProgressSink* progress);

} // namespace gangplan
