#include "labelpresettree.h"

namespace {

constexpr MarkupKeyType T = MarkupKeyType::Text;
constexpr MarkupKeyType I = MarkupKeyType::Integer;
constexpr MarkupKeyType D = MarkupKeyType::Double;

const MarkupKeyTable kLabelKeys{
    {"WIDE", D},
    {"HIGH", D},
    {"JTAG", T},
    {"TEXT", T},
    {"FRAME", I},
    {"INVERT", I},
    {"HALIGN", I},
    {"VALIGN", I},
    {"X", D},
    {"Y", D},
    {"W", D},
    {"H", D},
    {"lfHeight", I},
    {"lfWidth", I},
    {"lfEscapement", I},
    {"lfOrientation", I},
    {"lfWeight", I},
    {"lfItalic", I},
    {"lfUnderline", I},
    {"lfStrikeOut", I},
    {"lfCharSet", I},
    {"lfOutPrecision", I},
    {"lfClipPrecision", I},
    {"lfQuality", I},
    {"lfPitchAndFamily", I},
    {"lfFaceName", T},
};

const MarkupKey kAnyText{"", MarkupKeyType::Text};

} // namespace

const MarkupKey* CLabelPresetItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return kLabelKeys.Find(name);
}

const MarkupKey* CLabelDefItem::FindKey(QByteArrayView name) const {
    if (const MarkupKey* key = CTzmpItem::FindKey(name))
        return key;
    return &kAnyText;
}
