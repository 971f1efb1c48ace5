#pragma once

#include "readonlyitem.h"

#include "markup/tzmptree.h"

// Items of the colour bar and registration mark tables, which the program
// only reads.
class CPressMarkPresetItem : public CReadOnlyItem {
public:
    using CReadOnlyItem::CReadOnlyItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CPressMarkPresetTree : public CTzmpTree {
public:
    CPressMarkPresetItem* CreateItem(QByteArrayView name) override {
        return new CPressMarkPresetItem(name);
    }
};
