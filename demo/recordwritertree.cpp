#include "recordwritertree.h"

CTzmpItem* CRecordWriterTree::AddHeader(const char* documentType) {
    CTzmpItem* root = GetOrAddChild(nullptr, kRootName);
    Value(root, "DOCUMENT_TYPE") = QString::fromUtf8(documentType);
    Value(root, "VERSION") = QStringLiteral("1.0");
    return root;
}

CTzmpItem* CRecordWriterTree::Append(CTzmpItem* parent, QByteArrayView name) {
    CTzmpItem* item = CreateItem(name);
    InsertItem(item, parent, Position::Last);
    return item;
}

CTzmpItem* CRecordWriterTree::Append(CTzmpItem* parent, QByteArrayView name,
                                     const MarkupValue& value) {
    CTzmpItem* item = Append(parent, name);
    item->Value() = value;
    return item;
}
