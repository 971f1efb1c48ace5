#pragma once

#include "markuptree.h"
#include "tzmpitem.h"

// A markup tree of typed items with the accessors every record uses. All
// record trees derive from it and override CreateItem with their item class.
class CTzmpTree : public CMarkupTree {
public:
    static constexpr char kRootName[] = "TESSEL_DOCUMENT_MARKUPS";

    CTzmpItem* CreateItem(QByteArrayView name) override { return new CTzmpItem(name); }

    // The top-level "TESSEL_DOCUMENT_MARKUPS", or nullptr.
    CTzmpItem* GetRoot() const;
    // The root, made when missing, with the header every record file carries:
    // "DOCUMENT_TYPE" set to the kind's type name and "VERSION" to "1.0".
    CTzmpItem* SetHeader(const QString& documentType);
    bool HasChild(const CMTItem* parent, QByteArrayView name) const {
        return FindChild(parent, name) != nullptr;
    }
    // The first child of that name, created as the last (append) or first
    // child when missing. parent nullptr means the top level.
    CTzmpItem* GetOrAddChild(CMTItem* parent, QByteArrayView name, bool append = true);
    // For writing: the value of the named child, which is created when
    // missing; an empty value takes a non-empty default. Readers use
    // FindValue or ValueOr, which never change the tree.
    MarkupValue& Value(CMTItem* parent, QByteArrayView name, const MarkupValue& defaultValue = {});
    // The value of the named child, or nullptr when there is none; a null
    // parent (a missing section) has none.
    const MarkupValue* FindValue(const CMTItem* parent, QByteArrayView name) const;
    // The value of the named child; the default when the child is missing or
    // its value is empty, as Value would give it.
    MarkupValue ValueOr(const CMTItem* parent, QByteArrayView name,
                        const MarkupValue& defaultValue = {}) const;

    // Items of this tree are always its own typed items.
    static CTzmpItem* Typed(CMTItem* item) { return static_cast<CTzmpItem*>(item); }
    static const CTzmpItem* Typed(const CMTItem* item) {
        return static_cast<const CTzmpItem*>(item);
    }
};
