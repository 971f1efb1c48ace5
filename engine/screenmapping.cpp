#include "screenmapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace screenmapping {

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    // Round half away from zero: add half the divisor in the product's direction.
    const std::int64_t absC = c < 0 ? -static_cast<std::int64_t>(c) : c;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t absProduct = product < 0 ? -product : product;
    const std::int64_t quotient = (absProduct + absC / 2) / absC;
    const std::int64_t result = negative ? -quotient : quotient;
    if (result > std::numeric_limits<std::int32_t>::max() ||
        result < std::numeric_limits<std::int32_t>::min())
        return -1;
    return static_cast<std::int32_t>(result);
}

std::int32_t TruncateToInt32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t MmToPixels(double mm, int dpi, double zoom) {
    const std::int32_t n = MulDiv(TruncateToInt32(mm * 100.0), dpi, 2540);
    if (zoom == 1.0)
        return n;
    return MulDiv(n, TruncateToInt32(zoom * 1000.0), 1000);
}

double PixelsToMm(double pixels, int dpi, double zoom) {
    return pixels / dpi * 2540.0 / 100.0 * (1.0 / zoom);
}

std::int32_t MmToPixelsAtZoom(double mm, int dpi, int zoomThousandths) {
    const std::int32_t n = MulDiv(TruncateToInt32(mm * 100.0), dpi, 2540);
    return zoomThousandths == 1000 ? n : MulDiv(n, zoomThousandths, 1000);
}

double PixelsToMmAtZoom(double pixels, int dpi, int zoomThousandths) {
    return pixels / dpi * 2540.0 / 100.0 * (1000.0 / zoomThousandths);
}

namespace {
constexpr double kPasteboardMargin = 25.0; // mm above the first page and below the last
}

ViewExtent ViewExtentPixels(double layoutWidth, double layoutHeight, int dpiX, int dpiY,
                            double zoom, int pageCount) {
    // Pages after the first add whole page heights in pixels, as their
    // origins do, so the last page's bottom is always inside.
    const std::int64_t more = static_cast<std::int64_t>(std::max(pageCount, 1) - 1) *
                              MmToPixels(layoutHeight, dpiY, zoom);
    const std::int64_t height = MmToPixels(layoutHeight + 2 * kPasteboardMargin, dpiY, zoom) + more;
    return {MmToPixels(3 * layoutWidth, dpiX, zoom),
            static_cast<std::int32_t>(std::min<std::int64_t>(height, INT32_MAX))};
}

ViewPoint PageOriginPixels(int page, double layoutWidth, double layoutHeight, int dpiX, int dpiY,
                           double zoom) {
    const std::int64_t y =
        MmToPixels(kPasteboardMargin, dpiY, zoom) +
        static_cast<std::int64_t>(std::max(page, 0)) * MmToPixels(layoutHeight, dpiY, zoom);
    return {MmToPixels(layoutWidth, dpiX, zoom),
            static_cast<std::int32_t>(std::min<std::int64_t>(y, INT32_MAX))};
}

PlatePoint ViewPointToPlate(double px, double py, int dpiX, int dpiY, double zoom,
                            double layoutWidth, double layoutHeight, int pageCount) {
    PlatePoint point;
    point.x = PixelsToMm(px, dpiX, zoom) - layoutWidth;
    point.y = PixelsToMm(py, dpiY, zoom) - kPasteboardMargin;
    if (layoutHeight > 0 && point.y > 0) {
        // The pasteboard below the last page belongs to that page, so that a
        // point there reads below the plate rather than on a page that is not there.
        const double page = std::trunc(point.y / layoutHeight);
        point.page =
            static_cast<int>(std::min(page, static_cast<double>(std::max(pageCount, 1) - 1)));
        point.y -= point.page * layoutHeight;
    }
    return point;
}

} // namespace screenmapping
