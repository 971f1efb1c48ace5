#include "pancodetree.h"

namespace {

const MarkupKeyTable kPanCodeKeys{
    {"PAN", MarkupKeyType::Text},
    {"PAN_ACCOUNT", MarkupKeyType::Text},
    {"PAN_USER", MarkupKeyType::Text},
    {"PAN_STATE", MarkupKeyType::Integer},
};

} // namespace

const MarkupKey* CPanCodeItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return kPanCodeKeys.Find(name);
}
