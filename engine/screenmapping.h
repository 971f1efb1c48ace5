#pragma once

#include <cstdint>

// Millimetres and device pixels, with the rounding the plate view has always
// used: lengths in hundredths of a millimetre, the zoom in thousandths.
namespace screenmapping {

// (a × b) / c with a 64-bit intermediate, rounded to nearest with halves away
// from zero; -1 when c is 0 or the result leaves the 32-bit range.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// Truncation of a double to 32 bits; out of range (or NaN) gives INT32_MIN,
// as the processor's conversion does.
std::int32_t TruncateToInt32(double value);

// Device pixels of a length at dpi pixels per inch and zoom factor.
std::int32_t MmToPixels(double mm, int dpi, double zoom);
// Millimetres of a pixel distance at dpi and zoom.
double PixelsToMm(double pixels, int dpi, double zoom);

// The same with the zoom in thousandths, as the view holds it.
std::int32_t MmToPixelsAtZoom(double mm, int dpi, int zoomThousandths);
double PixelsToMmAtZoom(double pixels, int dpi, int zoomThousandths);

// The plate view's scroll size in pixels: one layout width of pasteboard
// left and right of the plate, 25 mm above the first page and below the
// last; pages stand one below the other, each as high as the first.
struct ViewExtent {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
ViewExtent ViewExtentPixels(double layoutWidth, double layoutHeight, int dpiX, int dpiY,
                            double zoom, int pageCount = 1);

// A page's top-left corner in view pixels: one layout width in, 25 mm down,
// then one page height in pixels per page above it.
struct ViewPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
ViewPoint PageOriginPixels(int page, double layoutWidth, double layoutHeight, int dpiX, int dpiY,
                           double zoom);

// A view point (pixels from the view's origin) on the plate: millimetres
// from the top-left of the page under it, and that page (the last one for
// a point below every page, 0 for one above).
struct PlatePoint {
    double x = 0.0;
    double y = 0.0;
    int page = 0;
};
PlatePoint ViewPointToPlate(double px, double py, int dpiX, int dpiY, double zoom,
                            double layoutWidth, double layoutHeight, int pageCount);

} // namespace screenmapping
