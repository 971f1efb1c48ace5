#pragma once

#include "markup/tzmptree.h"

// Items of the preference file: the shared folders and the press options.
class CPrefItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CPreferenceTree : public CTzmpTree {
public:
    CPrefItem* CreateItem(QByteArrayView name) override { return new CPrefItem(name); }
};
