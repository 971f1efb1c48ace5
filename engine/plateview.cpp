#include "plateview.h"

#include "tesseldoc.h"

#include <algorithm>
#include <cmath>

namespace plateview {

int StepZoom(int zoom, int step) {
    if (step == 0)
        return 1000;
    if (step > 0) {
        if (zoom >= kMaxZoom)
            return zoom;
        for (int level : kZoomLevels)
            if (level > zoom)
                return level;
        return zoom;
    }
    if (zoom <= kMinZoom)
        return zoom;
    int below = zoom;
    for (int level : kZoomLevels)
        if (level < zoom)
            below = level;
    return below;
}

bool CanZoomIn(int zoom) {
    return zoom < kMaxZoom;
}
bool CanZoomOut(int zoom) {
    return zoom > kMinZoom;
}

QString ZoomText(int zoom) {
    return QString::number(zoom / 10.0, 'f', 1) + QLatin1Char('%');
}

int ZoomFromPercent(double percent, int current) {
    if (!std::isfinite(percent))
        return current;
    const double zoom = std::round(percent * 10.0);
    return static_cast<int>(std::clamp(zoom, double(kMinZoom), double(kMaxZoom)));
}

int ScrollAfterZoom(int position, int oldRange, int newRange) {
    if (oldRange <= 0 || newRange <= 0)
        return 0;
    const double scaled = static_cast<double>(position) / oldRange * newRange;
    return static_cast<int>(std::clamp(std::round(scaled), 0.0, double(newRange)));
}

int GeometrySide(ViewSide side, const PlateGeometry& geometry) {
    switch (side) {
    case ViewSide::A:
        return 0;
    case ViewSide::B:
        // Work-and-turn prints its back from the same side file.
        return geometry.labelSide >= 2 ? 1 : -1;
    case ViewSide::Label:
        return geometry.labelSide;
    }
    return -1;
}

ViewSide FitViewSide(ViewSide side, const PlateGeometry& geometry) {
    return GeometrySide(side, geometry) < 0 ? ViewSide::A : side;
}

const CZelItem* TopmostItemAt(const CTesselDoc& doc, int page, double x, double y) {
    if (page != kItemPage)
        return nullptr;
    for (int i = doc.ItemCount() - 1; i >= 0; --i) {
        const CZelItem* item = doc.ItemAt(i);
        const CZelBound box = item->Bounds();
        if (x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height)
            return item;
    }
    return nullptr;
}

bool ClickSelect(CTesselDoc& doc, int page, double x, double y, bool shift) {
    const CZelItem* hit = TopmostItemAt(doc, page, x, y);
    if (hit && hit->selected)
        return false;
    bool changed = false;
    if (!shift && doc.SelectedCount() > 0) {
        doc.DeselectAll();
        changed = true;
    }
    if (hit) {
        doc.SelectItem(hit);
        changed = true;
    }
    return changed;
}

bool SelectInRect(CTesselDoc& doc, int page, const CZelBound& rect, bool add) {
    const double left = std::min(rect.x, rect.x + rect.width);
    const double top = std::min(rect.y, rect.y + rect.height);
    const double right = std::max(rect.x, rect.x + rect.width);
    const double bottom = std::max(rect.y, rect.y + rect.height);
    bool changed = false;
    if (!add && doc.SelectedCount() > 0) {
        doc.DeselectAll();
        changed = true;
    }
    for (int i = 0; page == kItemPage && i < doc.ItemCount(); ++i) {
        const CZelItem* item = doc.ItemAt(i);
        if (item->selected)
            continue;
        const CZelBound box = item->Bounds();
        // Touching counts: a band that only grazes an item takes it.
        if (box.x <= right && box.x + box.width >= left && box.y <= bottom &&
            box.y + box.height >= top) {
            doc.SelectItem(item);
            changed = true;
        }
    }
    return changed;
}

PropertyChange ChangeProperties(CTesselDoc& doc, const PlateProperties& properties) {
    PropertyChange change;
    if (properties == doc.Properties())
        return change;
    const PlateGeometry before = doc.Geometry();
    doc.SetProperties(properties);
    doc.SetModified(true);
    change.changed = true;
    change.geometryChanged = !(doc.Geometry() == before);
    return change;
}

PropertyChange SetArrangeDirection(CTesselDoc& doc, int direction) {
    PlateProperties properties = doc.Properties();
    properties.arrangeDirection = direction;
    return ChangeProperties(doc, properties);
}

} // namespace plateview
