#include "tesseldoc.h"

#include <algorithm>

namespace {
constexpr double kEps = PlateGeometry::kTolerance;
}

CTesselDoc::CTesselDoc() {
    m_geometry = ComputePlateGeometry(m_properties);
}

CTesselDoc::~CTesselDoc() = default;

CTesselDoc::ChangeScope::ChangeScope(CTesselDoc& doc, Edit edit) : m_doc(doc) {
    if (m_doc.m_changeDepth++ == 0 && m_doc.m_groupDepth == 0)
        m_doc.BeginUnit();
    if (m_doc.m_unitEdit == Edit::None)
        m_doc.m_unitEdit = edit;
}

CTesselDoc::ChangeScope::~ChangeScope() {
    if (--m_doc.m_changeDepth > 0)
        return;
    // The history learns of the step before the observers do, so that they
    // see the step to undo.
    if (m_doc.m_groupDepth == 0)
        m_doc.RecordUnit();
    if (m_doc.m_pending.IsEmpty())
        return;
    const PlateChange change = std::exchange(m_doc.m_pending, {});
    // An observer may add or remove observers while being told.
    const std::vector<PlateObserver*> observers = m_doc.m_observers;
    for (PlateObserver* observer : observers)
        observer->PlateChanged(change);
}

void CTesselDoc::AddObserver(PlateObserver* observer) {
    if (observer &&
        std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CTesselDoc::RemoveObserver(PlateObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

void CTesselDoc::TouchRect(const CZelBound& rect, unsigned kinds) {
    m_pending.kinds |= kinds;
    NoteData(kinds);
    if (!m_pending.wholePlate)
        m_pending.rects.push_back(rect);
}

void CTesselDoc::TouchWholePlate(unsigned kinds) {
    m_pending.kinds |= kinds;
    NoteData(kinds);
    if (kinds & PlateChange::Items)
        m_allItemsDirty = true;
    m_pending.wholePlate = true;
    m_pending.rects.clear();
}

CZelItem* CTesselDoc::Owned(const CZelItem* item) const {
    const int index = IndexOf(item);
    return index < 0 ? nullptr : m_items[index].get();
}

void CTesselDoc::SetProperties(const PlateProperties& properties) {
    if (properties == m_properties)
        return;
    const ChangeScope scope(*this, Edit::Properties);
    // The plate's settings are stored: a change not saved would be lost at close.
    MarkModified();
    m_properties = properties;
    m_geometry = ComputePlateGeometry(m_properties);
    TouchWholePlate(PlateChange::Properties);
}

void CTesselDoc::SetLines(std::vector<FreeLine> lines) {
    if (lines == m_lines)
        return;
    const ChangeScope scope(*this, Edit::Lines);
    m_lines = std::move(lines);
    MarkModified();
    TouchWholePlate(PlateChange::Furniture);
}

void CTesselDoc::SetTextBoxes(std::vector<TextBox> boxes) {
    if (boxes == m_textBoxes)
        return;
    const ChangeScope scope(*this, Edit::TextBoxes);
    m_textBoxes = std::move(boxes);
    MarkModified();
    TouchWholePlate(PlateChange::Furniture);
}

int CTesselDoc::IndexOf(const CZelItem* item) const {
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [item](const auto& p) { return p.get() == item; });
    return found == m_items.end() ? -1 : static_cast<int>(found - m_items.begin());
}

int CTesselDoc::AddItem(std::unique_ptr<CZelItem> item, bool atHead, bool select) {
    const ChangeScope scope(*this);
    CZelItem* raw = item.get();
    item->selected = false;
    const bool newOrder = !FindByOrdernum(item->ordernum);
    if (atHead)
        m_items.insert(m_items.begin(), std::move(item));
    else
        m_items.push_back(std::move(item));
    if (select)
        SelectItem(raw);
    TouchItem(*raw, newOrder ? PlateChange::Items | PlateChange::Orders : PlateChange::Items);
    MarkModified();
    return ItemCount();
}

void CTesselDoc::RemoveItem(const CZelItem* item) {
    const int index = IndexOf(item);
    if (index < 0)
        return;
    const ChangeScope scope(*this);
    DeselectItem(item);
    TouchItem(*item);
    const QString ordernum = item->ordernum;
    m_items.erase(m_items.begin() + index);
    if (!FindByOrdernum(ordernum))
        Touch(PlateChange::Orders);
    MarkModified();
}

int CTesselDoc::RemoveOrder(const QString& ordernum) {
    const ChangeScope scope(*this);
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
    const ChangeScope scope(*this);
    if (!m_selection.empty())
        Touch(PlateChange::Selection);
    m_selection.clear();
    for (const auto& item : m_items)
        TouchItem(*item, PlateChange::Items | PlateChange::Orders);
    m_items.clear();
    MarkModified();
}

bool CTesselDoc::ChangeItem(const CZelItem* item, const std::function<void(CZelItem&)>& edit) {
    CZelItem* owned = Owned(item);
    if (!owned)
        return false;
    const ChangeScope scope(*this, Edit::Item);
    const bool selected = owned->selected;
    const QString ordernum = owned->ordernum;
    TouchItem(*owned);
    edit(*owned);
    // The selection is the plate's to keep.
    owned->selected = selected;
    TouchItem(*owned, owned->ordernum == ordernum ? PlateChange::Items
                                                  : PlateChange::Items | PlateChange::Orders);
    MarkModified();
    return true;
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

const CZelItem* CTesselDoc::FindByOrdernum(const QString& ordernum) const {
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

int CTesselDoc::SelectItem(const CZelItem* item) {
    CZelItem* owned = item && !item->selected ? Owned(item) : nullptr;
    if (owned) {
        const ChangeScope scope(*this);
        owned->selected = true;
        m_selection.push_back(owned);
        TouchItem(*owned, PlateChange::Selection);
    }
    return SelectedCount();
}

int CTesselDoc::SelectAll() {
    const ChangeScope scope(*this);
    for (const auto& item : m_items)
        SelectItem(item.get());
    return SelectedCount();
}

int CTesselDoc::DeselectItem(const CZelItem* item) {
    const auto found = std::find(m_selection.begin(), m_selection.end(), item);
    if (found != m_selection.end()) {
        const ChangeScope scope(*this);
        m_selection.erase(found);
        Selected(item).selected = false;
        TouchItem(*item, PlateChange::Selection);
    }
    return SelectedCount();
}

int CTesselDoc::DeselectAll() {
    const ChangeScope scope(*this);
    for (const CZelItem* item : m_selection) {
        Selected(item).selected = false;
        TouchItem(*item, PlateChange::Selection);
    }
    m_selection.clear();
    return 0;
}

void CTesselDoc::RotateItem(const CZelItem* item, bool clockwise) {
    CZelItem* owned = Owned(item);
    if (!owned)
        return;
    const ChangeScope scope(*this, Edit::Rotate);
    TouchItem(*owned);
    owned->rotate = (owned->rotate + (clockwise ? 90 : 270)) % 360;
    owned->TurnPictures();
    TouchItem(*owned);
    MarkModified();
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
