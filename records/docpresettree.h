#pragma once

#include "markup/tzmptree.h"

// Items of document presets: the plate-property keys, the two fonts and the
// free lines.
class CDocPresetItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CDocPresetTree : public CTzmpTree {
public:
    CDocPresetItem* CreateItem(QByteArrayView name) override { return new CDocPresetItem(name); }
};

// Items of imposition documents: every preset key, plus the document
// information, the placed items' order and object keys, and the text boxes.
class CDocumentItem : public CDocPresetItem {
public:
    using CDocPresetItem::CDocPresetItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CDocumentTree : public CDocPresetTree {
public:
    CDocumentItem* CreateItem(QByteArrayView name) override { return new CDocumentItem(name); }
};
