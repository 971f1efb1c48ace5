#pragma once

#include "markup/tzmptree.h"

// Items of label files: the label size, its objects and their fonts.
class CLabelPresetItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
};

class CLabelPresetTree : public CTzmpTree {
public:
    static constexpr char kDocumentType[] = "Tessel Label Preset";
    CLabelPresetItem* CreateItem(QByteArrayView name) override {
        return new CLabelPresetItem(name);
    }
};

// Items of the label definitions file: every element name is a field tag and
// every value is text. The program only reads this file.
class CLabelDefItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override;
    int WriteValue(QByteArray&) const override { return 0; }
    bool WritesValues() const override { return false; }
};

class CLabelDefTree : public CTzmpTree {
public:
    static constexpr char kDocumentType[] = "Tessel Label Definations";
    CLabelDefItem* CreateItem(QByteArrayView name) override { return new CLabelDefItem(name); }
};
