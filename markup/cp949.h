#pragma once

#include <QByteArray>
#include <QString>

// Code page 949 (EUC-KR with the unified Hangul extension), the program's own
// table: 128 single bytes plus 17,237 double-byte codes, independent of the
// system locale.
//
// Bytes of 0x80 and above always start a two-byte character. A pair that is
// no code, or a lead byte at the very end, decodes to U+FFFD; a character
// without a code (U+FFFD included, and every character outside the Basic
// Multilingual Plane) encodes as "?". Both directions therefore replace what
// they cannot carry instead of stopping.
namespace cp949 {

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';
inline constexpr char kReplacementByte = '?';

// The character of a double-byte code, or 0 when the pair is no code.
char16_t DecodePair(unsigned char lead, unsigned char trail);

// The double-byte code of a character (lead in the high byte), or 0 when the
// character has none. Characters below 0x80 are single bytes and return 0.
quint16 EncodeChar(char16_t ch);

QString ToUnicode(const char* bytes, qsizetype length);
inline QString ToUnicode(const QByteArray& bytes) {
    return ToUnicode(bytes.constData(), bytes.size());
}
QByteArray FromUnicode(QStringView text);
// Whether every character of text has a code, so that writing it loses nothing.
bool CanEncode(const QString& text);
// Appends the encoding of text to out, without an intermediate buffer.
void AppendFromUnicode(QStringView text, QByteArray& out);

// Number of double-byte codes in the table.
int DoubleByteCodeCount();

} // namespace cp949
