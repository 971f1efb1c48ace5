#pragma once

#include "plan.h"
#include "planproblem.h"

#include <vector>

// The gang planner: chooses the plates (preset, press count, orders) that
// produce every order at the least cost, plates × plate cost + Σ press
// count × sheet cost.
//
// It solves a mixed-integer programme with CBC over plate kinds (a preset at
// a candidate press count): how many plates of each kind, and on which kind
// each order goes. A first-fit-decreasing plan is its starting solution; the
// orders of each kind are then packed onto its plates, and every plate is
// laid out with the engine's own placement, so that what the plan promises
// is what placing the orders will do. The bound holds over the candidate
// press counts.
namespace planner {

struct PlanOptions {
    bool split = false;      // an order's cases may go on different plates
    double timeLimit = 10.0; // seconds for the optimiser
    // The shop's usual run lengths, candidates besides those drawn from the
    // orders' sheet counts; the presets' own press counts are always among them.
    std::vector<int> runLengths{500, 1000, 2000, 3000, 4000, 5000, 10000};
    int maxPressCounts = 24; // candidate press counts per preset
};

// The candidate press counts of a preset, ascending.
std::vector<int> CandidatePressCounts(const PlanProblem& problem, int preset,
                                      const PlanOptions& options);

// The optimiser's plan.
Plan SolvePlan(const PlanProblem& problem, const PlanOptions& options);

// First fit decreasing at one press count for all plates (the best over the
// candidates): orders by sheets, largest first, each onto the first plate
// with room. The optimiser's starting solution, and a yardstick.
Plan GreedyPlan(const PlanProblem& problem, const PlanOptions& options);

// One plate per order, each at the order's own sheet count: what the
// operator gets without planning.
Plan NaivePlan(const PlanProblem& problem);

} // namespace planner
