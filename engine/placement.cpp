// CTesselDoc: finding room for new items.
#include "tesseldoc.h"

#include <algorithm>
#include <cmath>

int CTesselDoc::SlotIndex(int direction, int k, int rows, int columns, int cells) {
    const int R = rows, C = columns, N = cells;
    switch (direction) {
    case 0:
    case 4:
        return k;
    case 1:
        return C * (k / C + 1) - (k % C) - 1;
    case 2:
        return (k % C) + C * (R - k / C - 1);
    case 3:
    case 7:
        return N - k - 1;
    case 5:
        return (k % R) + R * (C - k / R - 1);
    case 6:
        return R * (k / R + 1) - (k % R) - 1;
    }
    return k;
}

int CTesselDoc::CellsCovered(double w, double h, double gridWidth, double gridHeight) {
    const double across = w <= gridWidth ? 1.0 : std::ceil(w / gridWidth);
    const double down = h <= gridHeight ? 1.0 : std::ceil(h / gridHeight);
    return static_cast<int>(across * down);
}

bool CTesselDoc::FindFreeSlot(double w, double h, CZelBound& slot) const {
    const int direction = m_properties.arrangeDirection;
    const bool searchGrid = direction >= 0 && direction <= 7;
    const std::vector<CZelBound>& cells =
        direction >= 4 && direction <= 7 ? m_geometry.cellsByColumn : m_geometry.cellsByRow;
    const int count = static_cast<int>(cells.size());
    auto isFree = [this](const CZelBound& candidate) {
        for (const auto& item : m_items)
            if (Overlaps(item->Bounds(), candidate))
                return false;
        return true;
    };
    for (int k = 0; k < count; ++k) {
        if (!searchGrid) {
            // Any other direction takes whole cells, in row order.
            if (isFree(cells[k])) {
                slot = cells[k];
                return true;
            }
            continue;
        }
        const CZelBound& cell =
            cells[SlotIndex(direction, k, m_geometry.gridRows, m_geometry.gridColumns, count)];
        const CZelBound candidate{cell.x, cell.y, w, h};
        if (isFree(candidate) && InsideUsableArea(candidate)) {
            slot = candidate;
            return true;
        }
    }
    return false;
}

bool CTesselDoc::FindSequentialSpot(double w, double h, CZelBound& spot) const {
    // Items follow the last one in rows (or columns). A new row starts below
    // the tallest item of the row, and a spot is taken only when it lies wholly
    // inside the usable area and overlaps no item, whatever their sizes.
    const CZelBound& area = m_geometry.usableArea;
    auto isFree = [&](const CZelBound& candidate) {
        if (!InsideUsableArea(candidate))
            return false;
        for (const auto& item : m_items)
            if (Overlaps(item->Bounds(), candidate))
                return false;
        return true;
    };
    if (m_items.empty()) {
        spot = {area.x, area.y, w, h};
        return isFree(spot);
    }
    const CZelBound ref = m_items.back()->Bounds();
    const bool rows = m_properties.arrangeDirection < 4;
    const double eps = PlateGeometry::kTolerance;
    // The far edge of the reference's row (its items share its top) or column
    // (its items share its left edge).
    double rowEnd = rows ? ref.Bottom() : ref.Right();
    for (const auto& item : m_items) {
        const CZelBound b = item->Bounds();
        if (rows && std::abs(b.y - ref.y) < eps)
            rowEnd = std::max(rowEnd, b.Bottom());
        else if (!rows && std::abs(b.x - ref.x) < eps)
            rowEnd = std::max(rowEnd, b.Right());
    }
    const CZelBound along =
        rows ? CZelBound{ref.Right(), ref.y, w, h} : CZelBound{ref.x, ref.Bottom(), w, h};
    const CZelBound next = rows ? CZelBound{area.x, rowEnd, w, h} : CZelBound{rowEnd, area.y, w, h};
    for (const CZelBound& candidate : {along, next}) {
        if (isFree(candidate)) {
            spot = candidate;
            return true;
        }
    }
    return false;
}

bool CTesselDoc::AddItemAtSlot(std::unique_ptr<CZelItem> item, double dropX, double dropY) {
    if (m_properties.arrangeDirection == kFreePlacement) {
        if (m_selection.empty()) {
            item->x = dropX;
            item->y = dropY;
        } else {
            item->x = m_selection.back()->x + 5;
            item->y = m_selection.back()->y + 5;
        }
    } else if (m_geometry.HasGrid()) {
        const double w = item->EffectiveWidth();
        const double h = item->EffectiveHeight();
        const bool turn = CellsCovered(h, w, m_properties.gridWidth, m_properties.gridHeight) <
                          CellsCovered(w, h, m_properties.gridWidth, m_properties.gridHeight);
        CZelBound slot;
        if (!(turn ? FindFreeSlot(h, w, slot) : FindFreeSlot(w, h, slot)))
            return false;
        if (turn)
            item->rotate = (item->rotate + 90) % 360;
        item->x = slot.x;
        item->y = slot.y;
    } else {
        CZelBound spot;
        if (!FindSequentialSpot(item->EffectiveWidth(), item->EffectiveHeight(), spot))
            return false;
        item->x = spot.x;
        item->y = spot.y;
    }
    AddItem(std::move(item), false, true);
    return true;
}
