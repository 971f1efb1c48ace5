// CTesselDoc: the arrangement operations on the selection.
#include "screenmapping.h"
#include "tesseldoc.h"

#include <algorithm>
#include <cmath>

namespace {

// An item's box in the chosen measure: with own cut lines, the box of items
// that have them grows by 1 mm on every side.
CZelBound Measure(const CZelItem& item, bool withOwnCut) {
    return item.Bounds(withOwnCut);
}

} // namespace

bool CTesselDoc::AlignSelection(Align kind) {
    if (m_selection.size() < 2)
        return false;
    const ChangeScope scope(*this, Edit::Align);
    const CZelItem& ref = *m_selection.front();
    const double layoutW = m_geometry.layoutWidth;
    const double layoutH = m_geometry.layoutHeight;
    bool changed = false;
    for (size_t i = 1; i < m_selection.size(); ++i) {
        CZelItem& item = Selected(m_selection[i]);
        const double w = item.EffectiveWidth();
        const double h = item.EffectiveHeight();
        double x = item.x;
        double y = item.y;
        switch (kind) {
        case Align::Left:
            x = ref.x;
            break;
        case Align::Right:
            x = (ref.x + ref.EffectiveWidth()) - w;
            break;
        case Align::HorizontalCentre:
            x = (ref.x + ref.EffectiveWidth() / 2) - w / 2;
            if (x < -layoutW)
                x = -layoutW;
            if (x + w > 2 * layoutW)
                x = 2 * layoutW - w;
            break;
        case Align::Top:
            y = ref.y;
            break;
        case Align::Bottom:
            y = (ref.y + ref.EffectiveHeight()) - h;
            break;
        case Align::VerticalCentre:
            y = (ref.y + ref.EffectiveHeight() / 2) - h / 2;
            if (y < -kPasteboardMargin)
                y = -kPasteboardMargin;
            if (y + h > layoutH + kPasteboardMargin)
                y = layoutH + kPasteboardMargin - h;
            break;
        }
        if (x != item.x || y != item.y) {
            TouchItem(item);
            item.x = x;
            item.y = y;
            TouchItem(item);
            changed = true;
        }
    }
    if (changed)
        MarkModified();
    return changed;
}

namespace {

// Spacing along one axis, written once for both: "along" is the axis the
// items are spaced on, "across" the one the band test runs on.
struct Axis {
    double (*pos)(const CZelBound&);
    double (*across)(const CZelBound&);
    double (*length)(const CZelBound&);
    double (*thickness)(const CZelBound&);
};

const Axis kHorizontal{
    [](const CZelBound& b) { return b.x; }, [](const CZelBound& b) { return b.y; },
    [](const CZelBound& b) { return b.width; }, [](const CZelBound& b) { return b.height; }};
const Axis kVertical{[](const CZelBound& b) { return b.y; }, [](const CZelBound& b) { return b.x; },
                     [](const CZelBound& b) { return b.height; },
                     [](const CZelBound& b) { return b.width; }};

} // namespace

namespace {

// Sorts along the axis, checks that the items stand in one row (or column),
// then places each after the last one placed while it fits before limit.
// place sets the item's coordinate on the axis.
template <typename Place>
bool Space(std::vector<const CZelItem*> items, const Axis& axis, double limit, double gap,
           bool withOwnCut, bool testOnly, Place place) {
    if (items.size() < 2)
        return false;
    std::stable_sort(items.begin(), items.end(), [&](const CZelItem* a, const CZelItem* b) {
        const CZelBound ba = Measure(*a, withOwnCut), bb = Measure(*b, withOwnCut);
        if (axis.pos(ba) != axis.pos(bb))
            return axis.pos(ba) < axis.pos(bb);
        return axis.across(ba) < axis.across(bb);
    });
    // Every item must reach into the middle half of the first one across the axis.
    const CZelBound first = Measure(*items.front(), withOwnCut);
    const double bandStart = axis.across(first) + axis.thickness(first) / 4;
    const double bandEnd = axis.across(first) + 3 * axis.thickness(first) / 4;
    for (const CZelItem* item : items) {
        const CZelBound b = Measure(*item, withOwnCut);
        const double start = axis.across(b);
        const double end = start + axis.thickness(b);
        if ((start < bandStart && end < bandStart) || start > bandEnd)
            return false;
    }
    if (testOnly)
        return true;
    bool changed = false;
    CZelBound previous = first;
    for (size_t i = 1; i < items.size(); ++i) {
        const CZelItem& item = *items[i];
        const CZelBound b = Measure(item, withOwnCut);
        // The gap counts too: a positive one must not push the item past the limit.
        const double start = gap + axis.pos(previous) + axis.length(previous);
        if (limit + PlateGeometry::kTolerance >= start + axis.length(b)) {
            place(item, start);
            previous = Measure(item, withOwnCut);
            changed = true;
        }
    }
    return changed;
}

} // namespace

bool CTesselDoc::SpaceSelection(bool horizontal, double gap, bool withOwnCut, bool testOnly) {
    const double limit =
        horizontal ? m_properties.margin[PlateProperties::Edge::Left] + m_geometry.usableArea.width
                   : m_properties.margin[PlateProperties::Edge::Top] + m_geometry.usableArea.height;
    double CZelItem::*coordinate = horizontal ? &CZelItem::x : &CZelItem::y;
    const ChangeScope scope(*this, Edit::Space);
    const bool changed =
        Space(m_selection, horizontal ? kHorizontal : kVertical, limit, gap, withOwnCut, testOnly,
              [this, coordinate](const CZelItem& placed, double value) {
                  CZelItem& item = Selected(&placed);
                  TouchItem(item);
                  item.*coordinate = value;
                  TouchItem(item);
              });
    if (changed && !testOnly)
        MarkModified();
    return changed;
}

bool CTesselDoc::SpaceHorizontally(double gap, bool withOwnCut, bool testOnly) {
    return SpaceSelection(true, gap, withOwnCut, testOnly);
}

bool CTesselDoc::SpaceVertically(double gap, bool withOwnCut, bool testOnly) {
    return SpaceSelection(false, gap, withOwnCut, testOnly);
}

bool CTesselDoc::SpaceAndAlign(bool horizontal, double gap, bool withOwnCut, int alignment) {
    const ChangeScope scope(*this, Edit::Space);
    bool changed = SpaceSelection(horizontal, gap, withOwnCut, false);
    if (alignment >= 0 && alignment <= 2)
        changed =
            AlignSelection(static_cast<Align>(horizontal ? 3 + alignment : alignment)) || changed;
    return changed;
}

bool CTesselDoc::MoveSelection(double dx, double dy) {
    if (m_selection.empty())
        return false;
    const double layoutW = m_geometry.layoutWidth;
    const double layoutH = m_geometry.layoutHeight;
    if (dx != 0) {
        double reference = dx < 0 ? m_selection.front()->x
                                  : m_selection.front()->x + m_selection.front()->EffectiveWidth();
        for (const CZelItem* item : m_selection)
            reference = dx < 0 ? std::min(reference, item->x)
                               : std::max(reference, item->x + item->EffectiveWidth());
        if (reference + dx < -layoutW || reference + dx > 2 * layoutW)
            dx = 0;
    }
    if (dy != 0) {
        double reference = dy < 0 ? m_selection.front()->y
                                  : m_selection.front()->y + m_selection.front()->EffectiveHeight();
        for (const CZelItem* item : m_selection)
            reference = dy < 0 ? std::min(reference, item->y)
                               : std::max(reference, item->y + item->EffectiveHeight());
        if (reference + dy < -kPasteboardMargin || reference + dy > layoutH + kPasteboardMargin)
            dy = 0;
    }
    if (dx == 0 && dy == 0)
        return false;
    const ChangeScope scope(*this, Edit::Move);
    for (const CZelItem* selected : m_selection) {
        CZelItem& item = Selected(selected);
        TouchItem(item);
        item.x += dx;
        item.y += dy;
        TouchItem(item);
    }
    MarkModified();
    return true;
}

bool CTesselDoc::ChangeStacking(Stacking kind, bool testOnly) {
    if (m_selection.empty() || m_selection.size() >= m_items.size())
        return false;
    if (testOnly)
        return true;
    const ChangeScope scope(*this, Edit::Stacking);
    bool changed = false;
    for (const CZelItem* selected : m_selection) {
        const int from = IndexOf(selected);
        int to = from;
        const int last = ItemCount() - 1;
        switch (kind) {
        case Stacking::BringToFront:
            // The topmost unselected item, unless the item itself comes first.
            for (int i = last; i >= 0; --i) {
                if (i == from)
                    break;
                if (!m_items[i]->selected) {
                    to = i;
                    break;
                }
            }
            break;
        case Stacking::BringForward:
            for (int i = from + 1; i <= last; ++i) {
                if (!m_items[i]->selected) {
                    to = i;
                    break;
                }
            }
            break;
        case Stacking::SendToBack:
            for (int i = 0; i <= last; ++i) {
                if (i == from)
                    break;
                if (!m_items[i]->selected) {
                    to = i;
                    break;
                }
            }
            break;
        case Stacking::SendBackward:
            for (int i = from - 1; i >= 0; --i) {
                if (!m_items[i]->selected) {
                    to = i;
                    break;
                }
            }
            break;
        }
        if (to == from)
            continue;
        // Moving to just above (after) U or just below (before) U: removing
        // the item first shifts U down by one when U stood above it.
        auto item = std::move(m_items[from]);
        m_items.erase(m_items.begin() + from);
        m_items.insert(m_items.begin() + to, std::move(item));
        TouchItem(*selected);
        changed = true;
    }
    if (changed)
        MarkModified();
    return changed;
}

bool CTesselDoc::RotateSelection(bool clockwise) {
    const ChangeScope scope(*this, Edit::Rotate);
    for (const CZelItem* item : m_selection)
        RotateItem(item, clockwise);
    return !m_selection.empty();
}

CTesselDoc::OwnCutSettings CTesselDoc::DefaultOwnCutSettings() const {
    OwnCutSettings settings;
    settings.margins = {m_properties.cutMargin[PlateProperties::Edge::Left],
                        m_properties.cutMargin[PlateProperties::Edge::Top],
                        m_properties.cutMargin[PlateProperties::Edge::Right],
                        m_properties.cutMargin[PlateProperties::Edge::Bottom]};
    return settings;
}

bool CTesselDoc::AllSelectedHaveOwnCut() const {
    return std::all_of(m_selection.begin(), m_selection.end(),
                       [](const CZelItem* item) { return item->ownCut != 0; });
}

bool CTesselDoc::ToggleOwnCut(const OwnCutSettings& settings) {
    if (m_selection.empty())
        return false;
    const ChangeScope scope(*this, Edit::OwnCut);
    const bool switchOff = AllSelectedHaveOwnCut();
    const bool anyMark =
        std::any_of(settings.marks.begin(), settings.marks.end(), [](int on) { return on != 0; });
    for (const CZelItem* selected : m_selection) {
        CZelItem& item = Selected(selected);
        TouchItem(item);
        // Every mark off only switches the lines off: the item keeps the
        // margins and marks it had, for the next time they are switched on.
        if (switchOff || !anyMark) {
            item.ownCut = 0;
        } else {
            item.crop = settings.margins;
            item.cropMarks = settings.marks;
            item.ownCut = 1;
        }
        TouchItem(item);
    }
    MarkModified();
    return true;
}

bool CTesselDoc::AllSelectedHaveFrame() const {
    return std::all_of(m_selection.begin(), m_selection.end(),
                       [](const CZelItem* item) { return item->ownFrame != 0; });
}

bool CTesselDoc::ToggleFrames(const QString& colorName) {
    if (m_selection.empty())
        return false;
    const ChangeScope scope(*this, Edit::Frame);
    const bool switchOff = AllSelectedHaveFrame();
    for (const CZelItem* selected : m_selection) {
        CZelItem& item = Selected(selected);
        if (switchOff) {
            item.ownFrame = 0;
        } else if (!item.ownFrame) {
            item.ownFrame = 1;
            item.ownFrameColor = colorName;
        } else {
            continue;
        }
        TouchItem(item);
    }
    MarkModified();
    return true;
}

CTesselDoc::SnapResult CTesselDoc::SnapPosition(const CZelBound& box, int dpiX, int dpiY,
                                                double zoom) const {
    constexpr int kNearPixels = 6;
    auto snapAxis = [&](double start, double length, double layout, double nearMargin,
                        double farMargin, const std::vector<double>& lines, int dpi) {
        auto near = [&](double a, double b) {
            return screenmapping::MmToPixels(std::fabs(a - b), dpi, zoom) < kNearPixels;
        };
        const double end = start + length;
        if (near(start, 0))
            return 0.0;
        if (near(end, layout))
            return layout - length;
        if (near(start, nearMargin))
            return nearMargin;
        if (near(end, layout - farMargin))
            return layout - (farMargin + length);
        for (double line : lines) {
            if (near(start, line))
                return line;
            if (near(end, line))
                return line - length;
        }
        return start;
    };
    SnapResult result;
    result.x = snapAxis(box.x, box.width, m_geometry.layoutWidth,
                        m_properties.margin[PlateProperties::Edge::Left],
                        m_geometry.effectiveRightMargin, m_geometry.gridLinesX, dpiX);
    result.y = snapAxis(box.y, box.height, m_geometry.layoutHeight,
                        m_properties.margin[PlateProperties::Edge::Top],
                        m_geometry.effectiveBottomMargin, m_geometry.gridLinesY, dpiY);
    result.changed = result.x != box.x || result.y != box.y;
    return result;
}

CZelBound CTesselDoc::SelectionBounds(bool withOwnCut) const {
    if (m_selection.empty())
        return {};
    if (m_selection.size() == 1)
        return m_selection.front()->Bounds(withOwnCut);
    // The box encloses every selected item: a box that ended at the last
    // item in X or Y order would miss a taller or wider item before it.
    CZelBound box = m_selection.front()->Bounds(withOwnCut);
    double right = box.Right();
    double bottom = box.Bottom();
    for (const CZelItem* item : m_selection) {
        const CZelBound b = item->Bounds(withOwnCut);
        box.x = std::min(box.x, b.x);
        box.y = std::min(box.y, b.y);
        right = std::max(right, b.Right());
        bottom = std::max(bottom, b.Bottom());
    }
    box.width = right - box.x;
    box.height = bottom - box.y;
    return box;
}

bool CTesselDoc::SelectionPageSize(double& width, double& height) const {
    width = height = -1;
    if (m_selection.size() != 1)
        return false;
    const CZelItem& item = *m_selection.front();
    width = item.pages[0].PageWidth();
    height = item.pages[0].PageHeight();
    if (item.rotate == 90 || item.rotate == 270)
        std::swap(width, height);
    return true;
}
