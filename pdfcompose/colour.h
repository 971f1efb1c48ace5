#pragma once

#include <string>

namespace pdfcompose {

// A stroke or fill colour of a call: none, RGB or CMYK, components 0 to 1.
struct Colour {
    enum Kind { None, Rgb, Cmyk } kind = None;
    double v[4] = {0, 0, 0, 0};

    // All components -1 (any negative) is none; throws Failure for a mix of
    // negative and given components or a component above 1.
    static Colour MakeRgb(double r, double g, double b);
    static Colour MakeCmyk(double c, double m, double y, double k);
    static Colour Registration() { return MakeCmyk(1, 1, 1, 1); }

    // Content stream operators setting this colour for strokes or fills.
    std::string Operator(bool stroke) const;
};

} // namespace pdfcompose
