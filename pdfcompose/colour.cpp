#include "colour.h"

#include "failure.h"
#include "geometry.h"

#include <cmath>

namespace pdfcompose {
namespace {

Colour Make(Colour::Kind kind, const double* values, int count) {
    int negative = 0;
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i]))
            throw Failure("a colour component is not a number");
        if (values[i] < 0)
            ++negative;
        else if (values[i] > 1)
            throw Failure("a colour component is above 1 (components run from 0 to 1)");
    }
    Colour colour;
    if (negative == count)
        return colour;
    if (negative > 0)
        throw Failure("a colour has some components -1 (none) and others given");
    colour.kind = kind;
    for (int i = 0; i < count; ++i)
        colour.v[i] = values[i];
    return colour;
}

} // namespace

Colour Colour::MakeRgb(double r, double g, double b) {
    const double values[3] = {r, g, b};
    return Make(Rgb, values, 3);
}

Colour Colour::MakeCmyk(double c, double m, double y, double k) {
    const double values[4] = {c, m, y, k};
    return Make(Cmyk, values, 4);
}

std::string Colour::Operator(bool stroke) const {
    if (kind == None)
        return std::string();
    std::string text;
    const int count = kind == Rgb ? 3 : 4;
    for (int i = 0; i < count; ++i)
        text += FormatNumber(v[i]) + " ";
    if (kind == Rgb)
        return text + (stroke ? "RG\n" : "rg\n");
    return text + (stroke ? "K\n" : "k\n");
}

} // namespace pdfcompose
