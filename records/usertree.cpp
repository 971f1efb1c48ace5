#include "usertree.h"

namespace {

constexpr MarkupKeyType T = MarkupKeyType::Text;

const MarkupKeyTable kUserKeys{
    {"REAL_NAME", T}, {"PASS_WORD", T}, {"INITIAL", T}, {"LOGIN", T}, {"LOGOUT", T},
};

} // namespace

const MarkupKey* CUserItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return kUserKeys.Find(name);
}
