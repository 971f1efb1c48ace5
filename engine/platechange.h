#pragma once

#include "zelbound.h"

#include <vector>

// What one operation on a plate changed, as its observers learn it. An
// operation reports once, when it is complete, and only when it changed
// something; an operation made of others (a drop, a delete with its tickets)
// reports once for all of them.
struct PlateChange {
    enum Kind : unsigned {
        Items = 1u << 0,      // placed, removed, moved, turned, restacked, framed, previews
        Selection = 1u << 1,  // which items are selected, or their order of selection
        Properties = 1u << 2, // the plate's settings, and with them its geometry
        Furniture = 1u << 3,  // free lines and text boxes
        Orders = 1u << 4,     // which orders the plate holds, or its job container
        // Only the steps undo and redo would take changed (a group of edits
        // closed); any other change may change them too.
        History = 1u << 5,
    };

    unsigned kinds = 0;
    // Everything may look different: repaint the whole plate.
    bool wholePlate = false;
    // Plate millimetres, page relative, with own cut lines counted: for each
    // changed item its rectangle before the change, then after it. Covers the
    // change unless wholePlate is set.
    std::vector<CZelBound> rects;

    bool Has(Kind kind) const { return (kinds & kind) != 0; }
    bool IsEmpty() const { return kinds == 0 && !wholePlate && rects.empty(); }
};

// Told of every change of a plate it watches. Called on the thread that
// changed the plate, after the change is complete, so the plate may be read
// from it; an observer must not remove another observer while being told.
class PlateObserver {
public:
    virtual ~PlateObserver() = default;
    virtual void PlateChanged(const PlateChange& change) = 0;
};
