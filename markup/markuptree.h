#pragma once

#include "markups.h"
#include "mtitem.h"

#include <QString>

#include <vector>

// Why the last load or parse ended where it did. A complete parse has an
// empty reason; otherwise offset is the byte offset of the offending token
// in the file and reason says what was wrong and what was kept.
struct MarkupParseReport {
    bool complete = true;
    qsizetype offset = 0;
    QString reason;
};

// An in-memory markup tree with its reader and writer. The tree owns every
// item linked into it and deletes an item when it is removed, when the tree
// is cleared or reloaded, and when the tree is destroyed; pointers to items
// are valid until then.
class CMarkupTree : public CMarkups {
public:
    enum class Position { First, Last, After };
    static constexpr int kMaxDepth = 1024;

    CMarkupTree() = default;
    ~CMarkupTree() override;

    // Reads the whole file and builds the tree. Returns the number of items
    // afterwards, or -1 when the file cannot be read (the tree is then left
    // as it was). Sets the loaded flag when the result is above 0.
    int LoadFile(const QString& path);
    // Builds the tree from a buffer, replacing the previous content; returns
    // the number of items.
    int Parse(const char* data, qsizetype length);
    // Writes the tree atomically (a temporary file renamed over the target).
    // Returns the number of bytes written, or -1 when the tree has no item
    // (nothing is created or changed then) or the file cannot be written.
    qint64 SaveFile(const QString& path) const;
    // The bytes SaveFile writes.
    QByteArray Serialize() const;

    bool IsLoaded() const { return m_loaded; }
    int ItemCount() const { return m_count; }
    const MarkupParseReport& LastParseReport() const { return m_report; }
    // Why the last LoadFile or SaveFile failed; empty after success.
    const QString& LastFileError() const { return m_fileError; }

    // Links an item the caller created (through CreateItem) into the tree and
    // takes ownership. parent nullptr means the top level; After needs a
    // sibling under the same parent.
    void InsertItem(CMTItem* item, CMTItem* parent, Position position, CMTItem* after = nullptr);
    // Removes the item with its whole subtree and deletes them.
    void RemoveItem(CMTItem* item);
    void Clear();

    CMTItem* FirstChild(const CMTItem* parent) const;
    CMTItem* NextSibling(const CMTItem* item) const { return item ? item->m_next : nullptr; }
    CMTItem* ChildAt(const CMTItem* parent, int index) const;
    // First child of parent (the top level when nullptr) with exactly this name.
    CMTItem* FindChild(const CMTItem* parent, QByteArrayView name) const;

    // Makes an item of the tree's item class; record trees override it so
    // that reading and adding keys both create their own items.
    virtual CMTItem* CreateItem(QByteArrayView name);

protected:
    int OnParseEvent(int kind) override;
    // An item named by the tag text without its first and last byte.
    virtual CMTItem* CreateItemFromTag(const char* tag, qsizetype length);
    virtual int OnStorageInit();
    virtual void OnStorageClear();
    virtual void OnAttach(CMTItem* item);
    virtual void OnDetach(CMTItem* item);

private:
    void Unlink(CMTItem* item);
    void StopParse(const QString& reason);

    // The open elements while a parse runs; empty otherwise, so that a tree
    // costs nothing for it between parses.
    std::vector<CMTItem*> m_stack;
    int m_count = 0;
    CMTItem* m_firstTop = nullptr;
    CMTItem* m_lastTop = nullptr;
    bool m_loaded = false;
    std::vector<CMTItem*> m_owned;
    MarkupParseReport m_report;
    mutable QString m_fileError;
};
