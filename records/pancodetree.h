#pragma once

#include "markup/tzmptree.h"

// Items of plate code files.
class CPanCodeItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CPanCodeTree : public CTzmpTree {
public:
    CPanCodeItem* CreateItem(QByteArrayView name) override { return new CPanCodeItem(name); }
};
