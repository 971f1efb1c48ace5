#pragma once

#include <string>

namespace pdfcompose {

constexpr double kPointsPerMm = 72.0 / 25.4;

inline double MmToPt(double mm) {
    return mm * kPointsPerMm;
}
inline double PtToMm(double pt) {
    return pt / kPointsPerMm;
}

// An affine map as PDF writes it: (x, y) -> (a x + c y + e, b x + d y + f).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    static Matrix Translate(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
    static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Turns the box [0, w] x [0, h] (y up) clockwise by quarter turns and moves
    // the result back to start at the origin.
    static Matrix QuarterTurns(int turns, double w, double h);

    // This map applied after `first`.
    Matrix After(const Matrix& first) const;
    void Apply(double x, double y, double& outX, double& outY) const;
};

// Normalises degrees to 0, 1, 2 or 3 clockwise quarter turns; false when the
// angle is not a multiple of 90.
bool QuarterTurnsOf(double degrees, int& turns);

// Numbers in content streams: fixed point, at most `decimals` places,
// trailing zeros dropped, never in the user's locale.
std::string FormatNumber(double value, int decimals = 4);

} // namespace pdfcompose
