#pragma once

#include "readonlyitem.h"

#include "markup/tzmptree.h"

// Items of job tickets: the order keys and the after-work steps. Tickets are
// written by other systems and never by this program.
class CJobItem : public CReadOnlyItem {
public:
    using CReadOnlyItem::CReadOnlyItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CJobTree : public CTzmpTree {
public:
    CJobItem* CreateItem(QByteArrayView name) override { return new CJobItem(name); }
};
