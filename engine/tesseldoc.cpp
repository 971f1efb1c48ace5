#include "tesseldoc.h"

#include <algorithm>

namespace {
constexpr double kEps = PlateGeometry::kTolerance;
}

CTesselDoc::CTesselDoc() {
    m_geometry = ComputePlateGeometry(m_properties);
}

CTesselDoc::~CTesselDoc() = default;

void CTesselDoc::SetProperties(const PlateProperties& properties) {
    m_properties = properties;
    m_geometry = ComputePlateGeometry(m_properties);
}

int CTesselDoc::IndexOf(const CZelItem* item) const {
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [item](const auto& p) { return p.get() == item; });
    return found == m_items.end() ? -1 : static_cast<int>(found - m_items.begin());
}

int CTesselDoc::AddItem(std::unique_ptr<CZelItem> item, bool atHead, bool select) {
    CZelItem* raw = item.get();
    item->selected = false;
    if (atHead)
        m_items.insert(m_items.begin(), std::move(item));
    else
        m_items.push_back(std::move(item));
    if (select)
        SelectItem(raw);
    m_dirty.push_back(raw->Bounds(true));
    m_modified = true;
    return ItemCount();
}

void CTesselDoc::RemoveItem(CZelItem* item) {
    const int index = IndexOf(item);
    if (index < 0)
        return;
    DeselectItem(item);
    m_dirty.push_back(item->Bounds(true));
    m_items.erase(m_items.begin() + index);
    m_modified = true;
}

int CTesselDoc::RemoveOrder(const QString& ordernum) {
    int removed = 0;
    for (int i = ItemCount() - 1; i >= 0; --i) {
        if (m_items[i]->ordernum == ordernum) {
            RemoveItem(m_items[i].get());
            ++removed;
        }
    }
    return removed;
}

void CTesselDoc::Clear() {
    m_selection.clear();
    for (const auto& item : m_items)
        m_dirty.push_back(item->Bounds(true));
    m_items.clear();
    m_modified = true;
}

QStringList CTesselDoc::MissingArtwork() const {
    QStringList ordernums;
    for (const auto& item : m_items)
        if (item->artworkMissing && !ordernums.contains(item->ordernum))
            ordernums << item->ordernum;
    return ordernums;
}

QStringList CTesselDoc::MissingArtworkReasons() const {
    QStringList reasons;
    for (const QString& ordernum : MissingArtwork()) {
        const CZelItem* item = nullptr;
        for (const auto& candidate : m_items)
            if (candidate->artworkMissing && candidate->ordernum == ordernum) {
                item = candidate.get();
                break;
            }
        reasons << (item->artworkProblem.isEmpty()
                        ? ordernum
                        : QStringLiteral("%1: %2").arg(ordernum, item->artworkProblem));
    }
    return reasons;
}

CZelItem* CTesselDoc::FindByOrdernum(const QString& ordernum) const {
    for (const auto& item : m_items)
        if (item->ordernum == ordernum)
            return item.get();
    return nullptr;
}

int CTesselDoc::CountOrderItems(const QString& ordernum, int mediaInd) const {
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(), [&](const auto& item) {
        return item->ordernum == ordernum && (mediaInd < 0 || item->mediaInd == mediaInd);
    }));
}

int CTesselDoc::SelectItem(CZelItem* item) {
    if (item && !item->selected && IndexOf(item) >= 0) {
        item->selected = true;
        m_selection.push_back(item);
        MarkDirty(*item);
    }
    return SelectedCount();
}

int CTesselDoc::SelectAll() {
    for (const auto& item : m_items)
        SelectItem(item.get());
    return SelectedCount();
}

int CTesselDoc::DeselectItem(CZelItem* item) {
    const auto found = std::find(m_selection.begin(), m_selection.end(), item);
    if (found != m_selection.end()) {
        m_selection.erase(found);
        item->selected = false;
        MarkDirty(*item);
    }
    return SelectedCount();
}

int CTesselDoc::DeselectAll() {
    for (CZelItem* item : m_selection) {
        item->selected = false;
        MarkDirty(*item);
    }
    m_selection.clear();
    return 0;
}

void CTesselDoc::RotateItem(CZelItem* item, bool clockwise) {
    m_dirty.push_back(item->Bounds(true));
    item->rotate = (item->rotate + (clockwise ? 90 : 270)) % 360;
    item->TurnPictures();
    m_dirty.push_back(item->Bounds(true));
    m_modified = true;
}

bool CTesselDoc::Overlaps(const CZelBound& a, const CZelBound& b) {
    return a.x < b.Right() - kEps && b.x < a.Right() - kEps && a.y < b.Bottom() - kEps &&
           b.y < a.Bottom() - kEps;
}

bool CTesselDoc::InsideUsableArea(const CZelBound& rect) const {
    const CZelBound& area = m_geometry.usableArea;
    return rect.x >= area.x - kEps && rect.y >= area.y - kEps &&
           rect.Right() <= area.Right() + kEps && rect.Bottom() <= area.Bottom() + kEps;
}

bool CTesselDoc::InsideLayoutArea(const CZelItem& item) const {
    const CZelBound box = item.Bounds();
    return box.x < m_geometry.layoutWidth && box.y < m_geometry.layoutHeight && box.Right() > 0 &&
           box.Bottom() > 0;
}

std::vector<CZelBound> CTesselDoc::TakeDirtyRects() {
    return std::exchange(m_dirty, {});
}

void CTesselDoc::MarkDirty(const CZelItem& item) {
    m_dirty.push_back(item.Bounds(true));
}
