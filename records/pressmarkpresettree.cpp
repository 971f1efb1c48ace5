#include "pressmarkpresettree.h"

namespace {

constexpr MarkupKeyType T = MarkupKeyType::Text;
constexpr MarkupKeyType D = MarkupKeyType::Double;

const MarkupKeyTable kPressMarkKeys{
    {"MARK_NAME", T}, {"MEDIA_FILE", T}, {"PREVIEW_FILE", T}, {"MEDIA_WIDE", D}, {"MEDIA_HIGH", D},
};

} // namespace

const MarkupKey* CPressMarkPresetItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return kPressMarkKeys.Find(name);
}
