#include "numbertext.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace numbertext {
namespace {

// The ASCII prefix a number may occupy: leading blanks skipped, a "+"
// dropped (from_chars takes only "-"), then the longest run of characters
// that can belong to a decimal number.
std::string NumberPrefix(const QString& text) {
    int i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t') ||
                               text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r') ||
                               text[i] == QLatin1Char('\v') || text[i] == QLatin1Char('\f')))
        ++i;
    std::string prefix;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            prefix.push_back('-');
        ++i;
        // A second sign ("+-3") is no number, as strtod has it.
        if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            return {};
    }
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool part = (c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' ||
                          c == u'+' || c == u'-';
        if (!part)
            break;
        prefix.push_back(static_cast<char>(c));
    }
    return prefix;
}

} // namespace

std::optional<double> LeadingNumber(const QString& text) {
    const std::string prefix = NumberPrefix(text);
    double value = 0.0;
    // from_chars stops where the number ends and never consults the locale;
    // it does not read "inf" or "nan" out of the prefix, which holds none.
    const auto [end, error] = std::from_chars(prefix.data(), prefix.data() + prefix.size(), value,
                                              std::chars_format::general);
    if (end == prefix.data())
        return std::nullopt;
    if (error == std::errc::result_out_of_range || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> LeadingInteger(const QString& text) {
    const std::string prefix = NumberPrefix(text);
    long long value = 0;
    const auto [end, error] = std::from_chars(prefix.data(), prefix.data() + prefix.size(), value);
    if (end == prefix.data() || error != std::errc())
        return std::nullopt;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

QString Trimmed(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text.startsWith(QLatin1Char('-'))) {
        bool allZero = true;
        for (int i = 1; i < text.size() && allZero; ++i)
            allZero = text[i] == QLatin1Char('0') || text[i] == QLatin1Char('.');
        if (allZero)
            text.remove(0, 1);
    }
    return text;
}

QString MillimetreText(double value) {
    return Trimmed(value) + QStringLiteral(" mm");
}

} // namespace numbertext
