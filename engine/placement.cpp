// CTesselDoc: finding room for new items.
#include "tesseldoc.h"

#include "records/zeljob.h"

#include <algorithm>
#include <cmath>

namespace {

// The items' boxes sorted into buckets of grid cells, so that a candidate slot
// is tested only against the items that can reach it. Every point of the plane
// falls in one bucket (the outer ones reach to infinity) and an item is entered
// in every bucket its box touches, so an item overlapping a candidate always
// shares a bucket with it. Items that cannot be bucketed (a box that is not a
// number, or one spanning many buckets) are tested against every candidate.
class ItemBuckets {
public:
    ItemBuckets(const std::vector<std::unique_ptr<CZelItem>>& items, const CZelBound& firstCell,
                int columns, int rows)
        : m_left(firstCell.x), m_top(firstCell.y) {
        // A huge grid shares buckets between neighbouring cells.
        const int perX = (columns + kMaxBucketsPerAxis - 1) / kMaxBucketsPerAxis;
        const int perY = (rows + kMaxBucketsPerAxis - 1) / kMaxBucketsPerAxis;
        m_columns = std::max(1, (columns + perX - 1) / std::max(1, perX));
        m_rows = std::max(1, (rows + perY - 1) / std::max(1, perY));
        m_stepX = firstCell.width * perX;
        m_stepY = firstCell.height * perY;
        m_usable = std::isfinite(m_left) && std::isfinite(m_top) && std::isfinite(m_stepX) &&
                   std::isfinite(m_stepY) && m_stepX > 0 && m_stepY > 0;

        m_bounds.reserve(items.size());
        std::vector<Span> spans(items.size());
        m_start.assign(static_cast<size_t>(m_columns) * m_rows + 1, 0);
        for (size_t i = 0; i < items.size(); ++i) {
            m_bounds.push_back(items[i]->Bounds());
            Span& s = spans[i];
            if (!SpanOf(m_bounds.back(), s) ||
                (s.lastColumn - s.firstColumn + 1) * (s.lastRow - s.firstRow + 1) > kMaxSpan) {
                s.firstColumn = -1;
                m_unbucketed.push_back(static_cast<int>(i));
                continue;
            }
            ForEachBucket(s, [this](int bucket) { ++m_start[bucket + 1]; });
        }
        for (size_t b = 1; b < m_start.size(); ++b)
            m_start[b] += m_start[b - 1];
        m_entries.resize(m_start.back());
        std::vector<int> next(m_start.begin(), m_start.end() - 1);
        for (size_t i = 0; i < items.size(); ++i)
            if (spans[i].firstColumn >= 0)
                ForEachBucket(spans[i],
                              [&](int bucket) { m_entries[next[bucket]++] = static_cast<int>(i); });
    }

    // Whether no item overlaps the candidate, exactly as testing every item.
    bool IsFree(const CZelBound& candidate) const {
        for (int i : m_unbucketed)
            if (CTesselDoc::Overlaps(m_bounds[i], candidate))
                return false;
        Span s;
        if (!SpanOf(candidate, s)) {
            for (const CZelBound& bounds : m_bounds)
                if (CTesselDoc::Overlaps(bounds, candidate))
                    return false;
            return true;
        }
        for (int row = s.firstRow; row <= s.lastRow; ++row)
            for (int column = s.firstColumn; column <= s.lastColumn; ++column) {
                const int bucket = row * m_columns + column;
                for (int e = m_start[bucket]; e < m_start[bucket + 1]; ++e)
                    if (CTesselDoc::Overlaps(m_bounds[m_entries[e]], candidate))
                        return false;
            }
        return true;
    }

private:
    static constexpr int kMaxBucketsPerAxis = 256;
    // An item over more buckets than this is cheaper to test every time.
    static constexpr int kMaxSpan = 64;

    struct Span {
        int firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0;
    };

    // Clamping makes the outer buckets reach to infinity; the mapping never
    // decreases, so a point inside a box falls within the box's span.
    static int Bucket(double p, double origin, double step, int count) {
        const double q = std::floor((p - origin) / step);
        if (!(q > 0))
            return 0;
        return q >= count - 1 ? count - 1 : static_cast<int>(q);
    }

    // The buckets a box touches, taken from its corners either way round
    // (Overlaps compares edges, not signed sizes).
    bool SpanOf(const CZelBound& box, Span& s) const {
        const double x0 = box.x, x1 = box.Right(), y0 = box.y, y1 = box.Bottom();
        if (!m_usable || std::isnan(x0) || std::isnan(x1) || std::isnan(y0) || std::isnan(y1))
            return false;
        s.firstColumn = Bucket(std::min(x0, x1), m_left, m_stepX, m_columns);
        s.lastColumn = Bucket(std::max(x0, x1), m_left, m_stepX, m_columns);
        s.firstRow = Bucket(std::min(y0, y1), m_top, m_stepY, m_rows);
        s.lastRow = Bucket(std::max(y0, y1), m_top, m_stepY, m_rows);
        return true;
    }

    template <typename F> void ForEachBucket(const Span& s, F f) const {
        for (int row = s.firstRow; row <= s.lastRow; ++row)
            for (int column = s.firstColumn; column <= s.lastColumn; ++column)
                f(row * m_columns + column);
    }

    double m_left, m_top, m_stepX = 0, m_stepY = 0;
    int m_columns = 1, m_rows = 1;
    bool m_usable = false;
    std::vector<CZelBound> m_bounds; // the items' boxes, in item order
    std::vector<int> m_start;        // per bucket, where its entries begin
    std::vector<int> m_entries;      // item indexes, bucket after bucket
    std::vector<int> m_unbucketed;
};

} // namespace

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

bool CTesselDoc::FindFreeSlot(double w, double h, CZelBound& slot) const {
    const int direction = m_properties.arrangeDirection;
    const bool searchGrid = direction >= 0 && direction <= 7;
    const std::vector<CZelBound>& cells =
        direction >= 4 && direction <= 7 ? m_geometry.cellsByColumn : m_geometry.cellsByRow;
    const int count = static_cast<int>(cells.size());
    if (count == 0)
        return false;
    // Built for each search: items move, turn and go by many other operations.
    const ItemBuckets items(m_items, cells.front(), m_geometry.gridColumns, m_geometry.gridRows);
    for (int k = 0; k < count; ++k) {
        if (!searchGrid) {
            // Any other direction takes whole cells, in row order.
            if (items.IsFree(cells[k])) {
                slot = cells[k];
                return true;
            }
            continue;
        }
        const CZelBound& cell =
            cells[SlotIndex(direction, k, m_geometry.gridRows, m_geometry.gridColumns, count)];
        const CZelBound candidate{cell.x, cell.y, w, h};
        if (InsideUsableArea(candidate) && items.IsFree(candidate)) {
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
        const double gw = m_properties.gridWidth, gh = m_properties.gridHeight;
        const bool turn = SlotsNeeded(gw, gh, h, w) < SlotsNeeded(gw, gh, w, h);
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
