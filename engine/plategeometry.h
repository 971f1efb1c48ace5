#pragma once

#include "plateproperties.h"
#include "zelbound.h"

#include <vector>

// What the plate's settings imply: the layout and usable areas, the grid and
// the output sides. Recomputed whenever the settings change.
struct PlateGeometry {
    // Positions and bounds compare with this tolerance, so that a grid cell
    // whose edge computes a hair beyond its bound still counts.
    static constexpr double kTolerance = 1e-6;

    int workAndTurn = 0;
    int paperSide = 0; // 0 single-sided, 1 two sides (also work-and-turn with a split)
    int turnDirection = 0;

    double layoutWidth = 0.0;
    double layoutHeight = 0.0;
    double effectiveRightMargin = 0.0;
    double effectiveBottomMargin = 0.0;
    CZelBound usableArea;
    double centreX = 0.0; // the horizontal centre, a vertical split line
    double centreY = 0.0;

    std::vector<double> gridLinesX; // vertical grid lines
    std::vector<double> gridLinesY; // horizontal grid lines
    std::vector<CZelBound> cellsByRow;
    std::vector<CZelBound> cellsByColumn;
    int gridRows = 0;
    int gridColumns = 0;

    int sideCount = 0; // output plates, the label plate included
    int labelSide = 0; // index of the label plate

    bool HasGrid() const { return !cellsByRow.empty(); }
    bool operator==(const PlateGeometry&) const = default;
};

PlateGeometry ComputePlateGeometry(const PlateProperties& properties);
