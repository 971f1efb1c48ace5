#include "tzmptree.h"

CTzmpItem* CTzmpTree::GetRoot() const {
    return Typed(FindChild(nullptr, kRootName));
}

CTzmpItem* CTzmpTree::SetHeader(const QString& documentType) {
    CTzmpItem* root = GetOrAddChild(nullptr, kRootName);
    Value(root, "DOCUMENT_TYPE") = documentType;
    Value(root, "VERSION") = QStringLiteral("1.0");
    return root;
}

CTzmpItem* CTzmpTree::GetOrAddChild(CMTItem* parent, QByteArrayView name, bool append) {
    if (CMTItem* child = FindChild(parent, name))
        return Typed(child);
    CTzmpItem* child = CreateItem(name);
    InsertItem(child, parent, append ? Position::Last : Position::First);
    return child;
}

const MarkupValue* CTzmpTree::FindValue(const CMTItem* parent, QByteArrayView name) const {
    // A missing section holds no keys (FindChild would search the top level).
    if (!parent)
        return nullptr;
    const CTzmpItem* child = Typed(FindChild(parent, name));
    return child ? &child->Value() : nullptr;
}

MarkupValue CTzmpTree::ValueOr(const CMTItem* parent, QByteArrayView name,
                               const MarkupValue& defaultValue) const {
    const MarkupValue* value = FindValue(parent, name);
    return value && !value->isEmpty() ? *value : defaultValue;
}

MarkupValue& CTzmpTree::Value(CMTItem* parent, QByteArrayView name,
                              const MarkupValue& defaultValue) {
    MarkupValue& value = GetOrAddChild(parent, name)->Value();
    if (value.isEmpty() && !defaultValue.isEmpty())
        value = defaultValue;
    return value;
}
