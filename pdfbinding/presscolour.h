#pragma once

#include <QString>

class CPDFServer;
class CZelColorPresets;
struct CZelColorItem;

// A colour as the composition library takes it: CMYK or RGB components from
// 0 to 1, or none (no stroke, no fill).
struct PressColour {
    enum Kind { None, Cmyk, Rgb };
    Kind kind = None;
    double v[4] = {-1, -1, -1, -1}; // C, M, Y, K or R, G, B

    bool IsNone() const { return kind == None; }
    static PressColour Registration() { return {Cmyk, {1, 1, 1, 1}}; }
    static PressColour CmykOf(double c, double m, double y, double k) {
        return {Cmyk, {c, m, y, k}};
    }
    // A preset colour: CMYK percentages, or RGB 0..255 when the preset says so.
    static PressColour Of(const CZelColorItem& item);
    // The named preset; none when the table is missing or has no such name.
    static PressColour Find(const CZelColorPresets* colors, const QString& name);
};

// Drawing through the library with preset colours. A stroke and a fill of
// different kinds are drawn as two rectangles, the fill first. Each returns
// the library's success.
namespace presscolour {
bool Rect(CPDFServer& pdf, double x, double y, double w, double h, double lineWidth,
          const PressColour& stroke, const PressColour& fill);
bool Line(CPDFServer& pdf, double x1, double y1, double x2, double y2, double lineWidth,
          const PressColour& colour);
} // namespace presscolour
