#include "serverpresettree.h"

namespace {

constexpr MarkupKeyType T = MarkupKeyType::Text;
constexpr MarkupKeyType I = MarkupKeyType::Integer;
constexpr MarkupKeyType D = MarkupKeyType::Double;

const MarkupKeyTable kServerPresetKeys{
    {"UI_COMPANY", T},
    {"UI_ADDERSS", T},
    {"UI_SIGNATURE", T},
    {"IS_HOST", T},
    {"IS_PORT", T},
    {"IS_PROCESS_PLATE_REG", T},
    {"IS_PROCESS_PLATE_DEL", T},
    {"CODE", I},
    {"WIDTH", D},
    {"HEIGHT", D},
    {"PAN", T},
};

} // namespace

const MarkupKey* CServerPresetItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return kServerPresetKeys.Find(name);
}
