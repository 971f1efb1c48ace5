#include "plategeometry.h"

namespace {
constexpr double kEps = PlateGeometry::kTolerance;
// A corrupt size in a file must not make millions of lines: no press sheet
// holds more than this many grid positions along one edge.
constexpr int kMaxGridPositions = 5000;
} // namespace

PlateGeometry ComputePlateGeometry(const PlateProperties& p) {
    PlateGeometry g;
    g.workAndTurn = p.paperSideSetting == 2 ? 1 : 0;
    g.turnDirection = p.turnDirection;
    g.paperSide = g.workAndTurn ? (p.turnDirection != 2 ? 1 : 0) : p.paperSideSetting;

    const bool halfWidth = g.workAndTurn && p.turnDirection == 0;
    const bool halfHeight = g.workAndTurn && p.turnDirection == 1;
    g.layoutWidth = halfWidth ? p.width / 2 : p.width;
    g.layoutHeight = halfHeight ? p.height / 2 : p.height;
    g.effectiveRightMargin = halfWidth ? 0.0 : p.margin[PlateProperties::Edge::Right];
    g.effectiveBottomMargin = halfHeight ? 0.0 : p.margin[PlateProperties::Edge::Bottom];

    const double left = p.margin[PlateProperties::Edge::Left];
    const double top = p.margin[PlateProperties::Edge::Top];
    g.usableArea = {left, top, g.layoutWidth - (left + g.effectiveRightMargin),
                    g.layoutHeight - (top + g.effectiveBottomMargin)};
    g.centreX = left + g.usableArea.width / 2;
    g.centreY = top + g.usableArea.height / 2;

    // Positions are computed as start + k × step, not by adding up steps,
    // so that rounding does not drift along a long row.
    if (p.gridWidth >= 1) {
        for (int k = 1; k <= kMaxGridPositions; ++k) {
            const double x = left + k * p.gridWidth;
            if (!(x < g.layoutWidth - g.effectiveRightMargin - kEps))
                break;
            g.gridLinesX.push_back(x);
        }
    }
    if (p.gridHeight >= 1) {
        for (int k = 1; k <= kMaxGridPositions; ++k) {
            const double y = top + k * p.gridHeight;
            if (!(y < g.layoutHeight - g.effectiveBottomMargin - kEps))
                break;
            g.gridLinesY.push_back(y);
        }
    }

    if (p.gridWidth >= 1 && p.gridHeight >= 1) {
        const double lastX = g.layoutWidth - (g.effectiveRightMargin + p.gridWidth) + kEps;
        const double lastY = g.layoutHeight - (p.gridHeight + g.effectiveBottomMargin) + kEps;
        std::vector<double> xs, ys;
        for (int k = 0; k < kMaxGridPositions && left + k * p.gridWidth <= lastX; ++k)
            xs.push_back(left + k * p.gridWidth);
        for (int k = 0; k < kMaxGridPositions && top + k * p.gridHeight <= lastY; ++k)
            ys.push_back(top + k * p.gridHeight);
        if (!xs.empty() && !ys.empty()) {
            for (double y : ys)
                for (double x : xs)
                    g.cellsByRow.push_back({x, y, p.gridWidth, p.gridHeight});
            for (double x : xs)
                for (double y : ys)
                    g.cellsByColumn.push_back({x, y, p.gridWidth, p.gridHeight});
            g.gridRows = static_cast<int>(ys.size());
            g.gridColumns = static_cast<int>(xs.size());
        }
    }

    g.sideCount = g.workAndTurn ? 2 : g.paperSide + 2;
    g.labelSide = g.workAndTurn ? 1 : g.paperSide + 1;
    return g;
}
