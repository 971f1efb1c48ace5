#pragma once

#include "markup/tzmptree.h"

#include <memory>

// Writes record kinds whose own item class never writes values (job
// tickets, the site preset, press-mark tables, label definitions). Each item
// takes its key types from the reader's item class, so a written file reads
// back with exactly the types the program expects.
class CRecordWriterItem : public CTzmpItem {
public:
    CRecordWriterItem(QByteArrayView name, const CTzmpItem& keys) : CTzmpItem(name), m_keys(keys) {}
    const MarkupKey* FindKey(QByteArrayView name) const override { return m_keys.FindKey(name); }

private:
    const CTzmpItem& m_keys;
};

// A tree of writer items. The reader's tree class supplies the key table:
// CRecordWriterTree::For<CJobTree>() writes tickets.
class CRecordWriterTree : public CTzmpTree {
public:
    // Takes an item of the reader's class, used only for its keys.
    explicit CRecordWriterTree(std::unique_ptr<CTzmpItem> keys) : m_keys(std::move(keys)) {}

    template <typename ReaderTree> static std::unique_ptr<CRecordWriterTree> For() {
        ReaderTree reader;
        return std::make_unique<CRecordWriterTree>(
            std::unique_ptr<CTzmpItem>(reader.CreateItem(QByteArrayView())));
    }

    CTzmpItem* CreateItem(QByteArrayView name) override {
        return new CRecordWriterItem(name, *m_keys);
    }

    // A new last child of parent.
    CTzmpItem* Append(CTzmpItem* parent, QByteArrayView name);
    // A new last child holding a value.
    CTzmpItem* Append(CTzmpItem* parent, QByteArrayView name, const MarkupValue& value);

private:
    std::unique_ptr<CTzmpItem> m_keys;
};
