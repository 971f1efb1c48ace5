#include "presscolour.h"

#include "pdfbinding/pdfserver.h"
#include "records/zelcolorpresets.h"

PressColour PressColour::Of(const CZelColorItem& item) {
    // The library takes components from 0 to 1: percentages for CMYK, bytes for RGB.
    if (item.colorModel != 0)
        return {Rgb, {item.r / 255.0, item.g / 255.0, item.b / 255.0, -1}};
    return {Cmyk, {item.c / 100.0, item.m / 100.0, item.y / 100.0, item.k / 100.0}};
}

PressColour PressColour::Find(const CZelColorPresets* colors, const QString& name) {
    const CZelColorItem* item = colors ? colors->FindColor(name) : nullptr;
    return item ? Of(*item) : PressColour{};
}

namespace presscolour {

namespace {
bool Same(const PressColour& stroke, const PressColour& fill, PressColour::Kind& kind) {
    if (stroke.IsNone() && fill.IsNone())
        return false;
    kind = stroke.IsNone() ? fill.kind : stroke.kind;
    return fill.IsNone() || stroke.IsNone() || fill.kind == stroke.kind;
}
} // namespace

bool Rect(CPDFServer& pdf, double x, double y, double w, double h, double lineWidth,
          const PressColour& stroke, const PressColour& fill) {
    PressColour::Kind kind = PressColour::None;
    if (!Same(stroke, fill, kind)) {
        if (kind == PressColour::None)
            return true; // nothing to paint
        return Rect(pdf, x, y, w, h, lineWidth, {}, fill) &&
               Rect(pdf, x, y, w, h, lineWidth, stroke, {});
    }
    const double* s = stroke.v;
    const double* f = fill.v;
    if (kind == PressColour::Rgb)
        return pdf.ComposeRGBRect(x, y, w, h, lineWidth, s[0], s[1], s[2], f[0], f[1], f[2]) != 0;
    return pdf.ComposeCMYKRect(x, y, w, h, lineWidth, s[0], s[1], s[2], s[3], f[0], f[1], f[2],
                               f[3]) != 0;
}

bool Line(CPDFServer& pdf, double x1, double y1, double x2, double y2, double lineWidth,
          const PressColour& colour) {
    const double* c = colour.v;
    switch (colour.kind) {
    case PressColour::None:
        return true;
    case PressColour::Rgb:
        return pdf.ComposeRGBLine(x1, y1, x2, y2, lineWidth, c[0], c[1], c[2]) != 0;
    case PressColour::Cmyk:
        break;
    }
    return pdf.ComposeCMYKLine(x1, y1, x2, y2, lineWidth, c[0], c[1], c[2], c[3]) != 0;
}

} // namespace presscolour
