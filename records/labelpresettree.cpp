#include "labelpresettree.h"

#include "fontrecord.h"

namespace {

constexpr MarkupKeyType T = MarkupKeyType::Text;
constexpr MarkupKeyType I = MarkupKeyType::Integer;
constexpr MarkupKeyType D = MarkupKeyType::Double;

const MarkupKeyTable kLabelKeys{
    {"WIDE", D},   {"HIGH", D},   {"JTAG", T}, {"TEXT", T}, {"FRAME", I}, {"INVERT", I},
    {"HALIGN", I}, {"VALIGN", I}, {"X", D},    {"Y", D},    {"W", D},     {"H", D},
};

const MarkupKey kAnyText{"", MarkupKeyType::Text};

} // namespace

const MarkupKey* CLabelPresetItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    if (const MarkupKey* key = kLabelKeys.Find(name))
        return key;
    return fontrecord::FindFieldKey(name);
}

const MarkupKey* CLabelDefItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return &kAnyText;
}
