#pragma once

#include "engine/zelbound.h"
#include "markup/result.h"

#include <QByteArray>
#include <QString>

#include <vector>

class CTesselDoc;

// How a printed sheet of a plate is cut apart on a guillotine cutter. Every
// cut runs edge to edge through one piece; the margins come off first, then
// the strips, then the items; where neighbouring items leave a gap the plan
// cuts twice and the strip between is waste. Lengths are millimetres in
// plate coordinates (from the sheet's left and top edges).
//
// The cutter's model: a piece lies with its left edge (cuts at a fixed x) or
// its top edge (cuts at a fixed y) against the back gauge, so the back gauge
// stands at the cut's distance from that edge. A stack is turned when a piece
// is cut across the other way than the cut that made it.
struct CutPlan {
    enum class Axis { X, Y }; // X: a cut at a fixed x (a vertical knife line on the plate)

    // One printed copy of an item, as it is cut out.
    struct Item {
        QString ordernum;
        QString product;
        CZelBound trim;      // where the finished piece lies on the sheet
        bool turned = false; // the mirrored copy of a work-and-turn plate
    };

    struct Cut {
        int step = 0;  // 1-based, in cutting order
        int piece = 0; // number of the piece cut (the sheet is piece 1)
        CZelBound pieceBound;
        Axis axis = Axis::X;
        double position = 0.0;  // the knife's x or y on the plate
        double backGauge = 0.0; // the knife's distance from the piece's reference edge
        bool turn = false;      // the stack is turned a quarter before this cut
    };

    CZelBound sheet;
    std::vector<Item> items;
    std::vector<Cut> cuts;
    std::vector<CZelBound> waste; // pieces holding no item
    int turns = 0;
    // Cuts of the plan that cuts every distinct item edge through the whole
    // sheet (one direction, then the other through every strip), for comparison.
    int naiveCuts = 0;
};

// Computes the plan of a plate: the items inside the layout area, by their
// turned boxes or their own cut lines, with the mirrored copies of a turned
// work-and-turn plate. Fails, naming the orders, when an item has no finished
// size, runs over the sheet's edge, or when items overlap or interlock so that
// no edge-to-edge cut can part them.
Result<CutPlan> MakeCutPlan(const CTesselDoc& doc);

// The items' finished rectangles as the plan takes them from the plate.
std::vector<CutPlan::Item> CutPlanItems(const CTesselDoc& doc);

// The plan from a sheet and its items: the fewest cuts among plans that
// take off a piece's margins or all of its strips at one go, then the fewest
// turns.
Result<CutPlan> PlanCuts(const CZelBound& sheet, std::vector<CutPlan::Item> items);

namespace cutplan {
// "x" or "y".
QString AxisName(CutPlan::Axis axis);
// The plan as JSON: sheet, cuts in order, items, waste, counts.
QByteArray ToJson(const CutPlan& plan);
// The cut program: one line per cut with step, piece, turn and back gauge.
QByteArray ToCsv(const CutPlan& plan);
// The plan as text for people.
QString ToText(const CutPlan& plan);
} // namespace cutplan
