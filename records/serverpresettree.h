#pragma once

#include "readonlyitem.h"

#include "markup/tzmptree.h"

// Items of the site preset: the shop's information, its server and its
// code lists. The file is shared and read only.
class CServerPresetItem : public CReadOnlyItem {
public:
    using CReadOnlyItem::CReadOnlyItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CServerPresetTree : public CTzmpTree {
public:
    CServerPresetItem* CreateItem(QByteArrayView name) override {
        return new CServerPresetItem(name);
    }
};
