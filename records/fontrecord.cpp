#include "fontrecord.h"

#include "markup/markupkey.h"
#include "markup/tzmptree.h"

#include <vector>

namespace fontrecord {
namespace {

QByteArray Key(const char* prefix, const char* field) {
    return QByteArray(prefix) + field;
}

// The same field list serves reading and writing.
template <typename Font, typename IntOp, typename ByteOp>
void ForEachField(Font& font, IntOp intField, ByteOp byteField) {
    intField("lfHeight", font.lfHeight);
    intField("lfWidth", font.lfWidth);
    intField("lfEscapement", font.lfEscapement);
    intField("lfOrientation", font.lfOrientation);
    intField("lfWeight", font.lfWeight);
    byteField("lfItalic", font.lfItalic);
    byteField("lfUnderline", font.lfUnderline);
    byteField("lfStrikeOut", font.lfStrikeOut);
    byteField("lfCharSet", font.lfCharSet);
    byteField("lfOutPrecision", font.lfOutPrecision);
    byteField("lfClipPrecision", font.lfClipPrecision);
    byteField("lfQuality", font.lfQuality);
    byteField("lfPitchAndFamily", font.lfPitchAndFamily);
}

const char* const kFaceName = "lfFaceName";

const MarkupKeyTable& FieldKeys() {
    static const MarkupKeyTable table = [] {
        std::vector<MarkupKey> keys;
        LogFont font;
        ForEachField(
            font,
            [&](const char* field, std::int32_t&) {
                keys.push_back({field, MarkupKeyType::Integer});
            },
            [&](const char* field, std::uint8_t&) {
                keys.push_back({field, MarkupKeyType::Integer});
            });
        keys.push_back({kFaceName, MarkupKeyType::Text});
        return MarkupKeyTable(keys);
    }();
    return table;
}

} // namespace

const MarkupKey* FindFieldKey(QByteArrayView name, QByteArrayView prefix) {
    if (!name.startsWith(prefix))
        return nullptr;
    return FieldKeys().Find(name.sliced(prefix.size()));
}

void Read(const CTzmpTree& tree, const CMTItem* element, const char* prefix, LogFont& font) {
    ForEachField(
        font,
        [&](const char* field, std::int32_t& v) {
            v = tree.ValueOr(element, Key(prefix, field)).toInt();
        },
        [&](const char* field, std::uint8_t& v) {
            v = tree.ValueOr(element, Key(prefix, field)).toByte();
        });
    font.lfFaceName =
        LogFont::FitFaceName(tree.ValueOr(element, Key(prefix, kFaceName)).toString());
}

void Write(CTzmpTree& tree, CMTItem* element, const char* prefix, const LogFont& font) {
    ForEachField(
        font,
        [&](const char* field, const std::int32_t& v) {
            tree.Value(element, Key(prefix, field)) = v;
        },
        [&](const char* field, const std::uint8_t& v) {
            tree.Value(element, Key(prefix, field)) = v;
        });
    tree.Value(element, Key(prefix, kFaceName)) = LogFont::FitFaceName(font.lfFaceName);
}

} // namespace fontrecord
