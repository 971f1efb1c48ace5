#include "tzmpitem.h"

#include "cp949.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

const MarkupKeyTable kCommonKeys{
    {"TESSEL_DOCUMENT_MARKUPS", MarkupKeyType::Text},
    {"DOCUMENT_TYPE", MarkupKeyType::Text},
    {"VERSION", MarkupKeyType::Text},
    {"NAME", MarkupKeyType::Text},
};

constexpr char16_t kEscaped[] = {u'<', u'>', u'"', u'\'', u'/'};

QString EscapeCode(char16_t ch) {
    return QStringLiteral("$$%1").arg(static_cast<int>(ch), 2, 16, QLatin1Char('0'));
}

bool IsCSpace(char16_t ch) {
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

// The ASCII run a C number parser would look at, after white space.
QByteArray NumberPrefix(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && IsCSpace(text[i].unicode()))
        ++i;
    QByteArray bytes;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch >= 0x80 || IsCSpace(ch))
            break;
        bytes.append(static_cast<char>(ch));
    }
    return bytes;
}

} // namespace

QString EscapeMarkupText(QString text) {
    const bool plain = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return std::find(std::begin(kEscaped), std::end(kEscaped), c.unicode()) !=
               std::end(kEscaped);
    });
    if (plain)
        return text;
    for (char16_t ch : kEscaped)
        text.replace(QChar(ch), EscapeCode(ch));
    return text;
}

QString UnescapeMarkupText(QString text) {
    if (!text.contains(QLatin1String("$$")))
        return text;
    for (char16_t ch : kEscaped) {
        const QString code = EscapeCode(ch);
        while (text.contains(code))
            text.replace(code, QString(QChar(ch)));
    }
    return text;
}

std::int32_t ParseLeadingInt(QStringView text) {
    const QByteArray bytes = NumberPrefix(text);
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    long long value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > 1LL + std::numeric_limits<std::int32_t>::max())
            value = 1LL + std::numeric_limits<std::int32_t>::max();
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

double ParseLeadingDouble(QStringView text) {
    const QByteArray bytes = NumberPrefix(text);
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p < end && (*p == '+' || *p == '-'))
        return 0.0; // a second sign is no number
    double value = 0.0;
    if (std::from_chars(p, end, value, std::chars_format::general).ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

const MarkupKey* CTzmpItem::FindKey(QByteArrayView name) const {
    return kCommonKeys.Find(name);
}

int CTzmpItem::WriteValue(QByteArray& out) const {
    if (m_value.isEmpty())
        return -1;
    const MarkupKey* key = Key();
    if (!key)
        return 0;
    switch (key->type) {
    case MarkupKeyType::Text: {
        const QString text = m_value.toString();
        if (text.isEmpty())
            return 1;
        out.append('"');
        cp949::AppendFromUnicode(EscapeMarkupText(text), out);
        out.append('"');
        return 1;
    }
    case MarkupKeyType::Integer:
        out.append(QByteArray::number(m_value.toInt()));
        return 1;
    case MarkupKeyType::Double: {
        char buffer[400];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, m_value.toDouble(),
                                          std::chars_format::fixed, key->decimals);
        out.append(buffer, result.ptr - buffer);
        return 1;
    }
    }
    return 0;
}

int CTzmpItem::ReadValue(const char* bytes, qsizetype length) {
    QString text = cp949::ToUnicode(bytes, length);
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u'"')
        ++first;
    while (last > first && text[last - 1] == u'"')
        --last;
    text = UnescapeMarkupText(text.mid(first, last - first));
    if (text.isEmpty())
        return -1;
    const MarkupKey* key = Key();
    if (!key)
        return 0;
    switch (key->type) {
    case MarkupKeyType::Text:
        m_value = text;
        break;
    case MarkupKeyType::Integer:
        m_value = ParseLeadingInt(text);
        break;
    case MarkupKeyType::Double:
        m_value = ParseLeadingDouble(text);
        break;
    }
    return 1;
}
