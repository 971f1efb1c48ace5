#pragma once

#include "plan.h"
#include "planproblem.h"

#include <QStringList>

// An independent check of a plan, written apart from the optimiser so that
// a fault in one is caught by the other: every order is produced in full
// (each case gets at least its sheets), nothing is produced twice or for an
// order that cannot go on the plate's preset, no plate carries more cells
// than it has, whole orders stay whole unless splitting is allowed, and the
// cost is recomputed.
namespace planner {

struct PlanCheck {
    QStringList faults; // empty when the plan is sound
    double cost = 0.0;  // recomputed
    bool Sound() const { return faults.isEmpty(); }
};

PlanCheck CheckPlan(const PlanProblem& problem, const Plan& plan, bool splitAllowed);

// Sheets printed beyond each order (the least over its cases); -1 where an
// order is not on the plan.
std::vector<int> OversPerOrder(const PlanProblem& problem, const Plan& plan);

} // namespace planner
