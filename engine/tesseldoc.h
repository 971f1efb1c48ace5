#pragma once

#include "plategeometry.h"
#include "plateproperties.h"
#include "zelitem.h"

#include <memory>
#include <vector>

// The open plate: its settings with the geometry they imply, the placed items
// in stacking order (head drawn first) and the selection in the order it was
// made (the first entry is the reference of alignment). Every change sets the
// modified flag and records the rectangles it touched, so that the view
// repaints only those.
class CTesselDoc {
public:
    CTesselDoc();
    CTesselDoc(const CTesselDoc&) = delete;
    CTesselDoc& operator=(const CTesselDoc&) = delete;
    virtual ~CTesselDoc();

    const PlateProperties& Properties() const { return m_properties; }
    // Replaces the settings and recomputes the geometry.
    void SetProperties(const PlateProperties& properties);
    const PlateGeometry& Geometry() const { return m_geometry; }

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // Items
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    CZelItem* ItemAt(int index) const { return m_items.at(index).get(); }
    int IndexOf(const CZelItem* item) const; // -1 when not on the plate
    // Appends (or puts at the head), optionally selecting; returns the item count.
    int AddItem(std::unique_ptr<CZelItem> item, bool atHead = false, bool select = false);
    void RemoveItem(CZelItem* item);
    int RemoveOrder(const QString& ordernum);
    void Clear();
    CZelItem* FindByOrdernum(const QString& ordernum) const;
    // Items of an order, or of one of its cases when mediaInd is 0 or more.
    int CountOrderItems(const QString& ordernum, int mediaInd = -1) const;

    // Selection; each returns the selected count.
    int SelectedCount() const { return static_cast<int>(m_selection.size()); }
    const std::vector<CZelItem*>& Selection() const { return m_selection; }
    int SelectItem(CZelItem* item);
    int SelectAll();
    int DeselectItem(CZelItem* item);
    int DeselectAll();

    // A quarter turn clockwise or counter-clockwise.
    void RotateItem(CZelItem* item, bool clockwise);

    // Geometry tests. Touching edges do not overlap.
    static bool Overlaps(const CZelBound& a, const CZelBound& b);
    bool InsideUsableArea(const CZelBound& rect) const;
    // For output: the item's top-left lies inside the layout area and its
    // bottom-right beyond the origin.
    bool InsideLayoutArea(const CZelItem& item) const;

    // Rectangles (millimetres, page-relative) changed since the last take:
    // for each change the item's old rectangle, then its new one.
    std::vector<CZelBound> TakeDirtyRects();
    void MarkDirty(const CZelItem& item);

protected:
    PlateProperties m_properties;
    PlateGeometry m_geometry;
    std::vector<std::unique_ptr<CZelItem>> m_items;
    std::vector<CZelItem*> m_selection;
    std::vector<CZelBound> m_dirty;
    bool m_modified = false;
};
