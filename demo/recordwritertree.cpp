#include "recordwritertree.h"

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
