#pragma once

#include "markup/tzmptree.h"

// Items of the colour preset table.
class CColorPresetItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CColorPresetTree : public CTzmpTree {
public:
    CColorPresetItem* CreateItem(QByteArrayView name) override {
        return new CColorPresetItem(name);
    }
};
