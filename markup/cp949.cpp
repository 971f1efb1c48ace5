#include "cp949.h"

#include <array>
#include <memory>

namespace cp949 {
namespace {

#include "cp949_table.inc"

constexpr int kTrails = kTrailLast - kTrailFirst + 1;

// Reverse table over the Basic Multilingual Plane, built once on first use.
const std::array<quint16, 0x10000>& ReverseTable() {
    static const std::unique_ptr<std::array<quint16, 0x10000>> table = [] {
        auto reverse = std::make_unique<std::array<quint16, 0x10000>>();
        reverse->fill(0);
        for (int lead = kLeadFirst; lead <= kLeadLast; ++lead) {
            for (int trail = kTrailFirst; trail <= kTrailLast; ++trail) {
                const char16_t ch =
                    kCp949ToUnicode[(lead - kLeadFirst) * kTrails + (trail - kTrailFirst)];
                if (ch != 0)
                    (*reverse)[ch] = static_cast<quint16>((lead << 8) | trail);
            }
        }
        return reverse;
    }();
    return *table;
}

} // namespace

char16_t DecodePair(unsigned char lead, unsigned char trail) {
    if (lead < kLeadFirst || lead > kLeadLast || trail < kTrailFirst || trail > kTrailLast)
        return 0;
    return kCp949ToUnicode[(lead - kLeadFirst) * kTrails + (trail - kTrailFirst)];
}

quint16 EncodeChar(char16_t ch) {
    if (ch < 0x80)
        return 0;
    return ReverseTable()[ch];
}

QString ToUnicode(const char* bytes, qsizetype length) {
    QString text;
    text.resize(length); // never longer than the byte count
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype written = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            out[written++] = byte;
            continue;
        }
        if (i + 1 >= length) {
            out[written++] = kReplacementCharacter;
            break;
        }
        const char16_t ch = DecodePair(byte, static_cast<unsigned char>(bytes[++i]));
        out[written++] = ch != 0 ? ch : kReplacementCharacter;
    }
    text.truncate(written);
    return text;
}

QByteArray FromUnicode(QStringView text) {
    QByteArray bytes;
    AppendFromUnicode(text, bytes);
    return bytes;
}

void AppendFromUnicode(QStringView text, QByteArray& bytes) {
    bytes.reserve(bytes.size() + text.size() * 2);
    const auto& reverse = ReverseTable();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < 0x80) {
            bytes.append(static_cast<char>(ch));
            continue;
        }
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i; // one replacement for the whole supplementary character
        const quint16 code = reverse[ch];
        if (code == 0) {
            bytes.append(kReplacementByte);
        } else {
            bytes.append(static_cast<char>(code >> 8));
            bytes.append(static_cast<char>(code & 0xFF));
        }
    }
}

int DoubleByteCodeCount() {
    return kDoubleByteCodes;
}

bool CanEncode(const QString& text) {
    return ToUnicode(FromUnicode(text)) == text;
}

} // namespace cp949
