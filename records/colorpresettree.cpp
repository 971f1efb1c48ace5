#include "colorpresettree.h"

namespace {

constexpr MarkupKeyType I = MarkupKeyType::Integer;

const MarkupKeyTable kColorKeys{
    {"COLOR_NAME", MarkupKeyType::Text},
    {"COLOR_SPEC", I},
    {"C", I},
    {"M", I},
    {"Y", I},
    {"K", I},
    {"R", I},
    {"G", I},
    {"B", I},
};

} // namespace

const MarkupKey* CColorPresetItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return kColorKeys.Find(name);
}
