#pragma once

#include "markup/tzmptree.h"

// Items of user account files.
class CUserItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CUserTree : public CTzmpTree {
public:
    CUserItem* CreateItem(QByteArrayView name) override { return new CUserItem(name); }
};
