#pragma once

#include <QByteArray>
#include <QByteArrayView>

class CMarkupTree;

// One element of a markup tree. Its name is a byte string compared byte for
// byte. Items are owned by the tree they are linked into; links are kept by
// the tree and read here.
class CMTItem {
public:
    explicit CMTItem(QByteArrayView name) : m_name(name.toByteArray()) {}
    CMTItem(const CMTItem&) = delete;
    CMTItem& operator=(const CMTItem&) = delete;
    virtual ~CMTItem() = default;

    // Appends the value text to a file being written. Returns 1 when written,
    // 0 when the name is not a key the item knows, -1 when the value is empty.
    // The plain item writes nothing and returns 0.
    virtual int WriteValue(QByteArray& out) const;
    // Takes the trimmed value bytes of the element. Returns 1 when stored, 0
    // when the name is not a known key, -1 when the decoded text is empty.
    // The plain item stores nothing and returns 0.
    virtual int ReadValue(const char* bytes, qsizetype length);

    const QByteArray& Name() const { return m_name; }
    CMTItem* Parent() const { return m_parent; }
    CMTItem* FirstChild() const { return m_firstChild; }
    CMTItem* LastChild() const { return m_lastChild; }
    CMTItem* PrevSibling() const { return m_prev; }
    CMTItem* NextSibling() const { return m_next; }

private:
    friend class CMarkupTree;

    QByteArray m_name;
    CMTItem* m_parent = nullptr;
    CMTItem* m_firstChild = nullptr;
    CMTItem* m_lastChild = nullptr;
    CMTItem* m_prev = nullptr;
    CMTItem* m_next = nullptr;
    qsizetype m_ownedIndex = -1; // place in the tree's owned-item list
};
