#pragma once

#include "markup/tzmpitem.h"

// Items of record files the program only reads (job tickets, the site
// preset, press marks): saving such a tree writes the elements without
// their values.
class CReadOnlyItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    int WriteValue(QByteArray&) const override { return 0; }
    bool WritesValues() const override { return false; }
};
