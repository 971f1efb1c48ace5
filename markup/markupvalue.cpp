#include "markupvalue.h"

#include <cmath>
#include <limits>

std::int32_t RoundHalfEvenToInt32(double value) {
    if (std::isnan(value))
        return 0;
    // nearbyint follows the default rounding mode, which rounds halves to even.
    const double rounded = std::nearbyint(value);
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

QString DoubleToText(double value) {
    // QString::number is locale independent; "g" with 15 digits drops trailing zeros.
    return QString::number(value, 'g', 15);
}

QString MarkupValue::toString() const {
    switch (kind()) {
    case Kind::Empty:
        return {};
    case Kind::Text:
        return std::get<QString>(m_value);
    case Kind::Integer:
        return QString::number(std::get<std::int32_t>(m_value));
    case Kind::Double:
        return DoubleToText(std::get<double>(m_value));
    case Kind::Byte:
        return QString::number(std::get<std::uint8_t>(m_value));
    }
    return {};
}

double MarkupValue::toDouble(bool* ok) const {
    if (ok)
        *ok = true;
    switch (kind()) {
    case Kind::Empty:
        return 0.0;
    case Kind::Text: {
        const QString& text = std::get<QString>(m_value);
        bool parsed = false;
        const double number = text.trimmed().toDouble(&parsed); // C locale
        if (!parsed) {
            if (ok)
                *ok = text.isEmpty();
            return 0.0;
        }
        return number;
    }
    case Kind::Integer:
        return std::get<std::int32_t>(m_value);
    case Kind::Double:
        return std::get<double>(m_value);
    case Kind::Byte:
        return std::get<std::uint8_t>(m_value);
    }
    return 0.0;
}

std::int32_t MarkupValue::toInt(bool* ok) const {
    if (ok)
        *ok = true;
    switch (kind()) {
    case Kind::Empty:
        return 0;
    case Kind::Text: {
        const QString text = std::get<QString>(m_value).trimmed();
        bool parsed = false;
        const int number = text.toInt(&parsed);
        if (parsed)
            return number;
        return RoundHalfEvenToInt32(toDouble(ok));
    }
    case Kind::Integer:
        return std::get<std::int32_t>(m_value);
    case Kind::Double:
        return RoundHalfEvenToInt32(std::get<double>(m_value));
    case Kind::Byte:
        return std::get<std::uint8_t>(m_value);
    }
    return 0;
}

std::uint8_t MarkupValue::toByte(bool* ok) const {
    if (kind() == Kind::Byte) {
        if (ok)
            *ok = true;
        return std::get<std::uint8_t>(m_value);
    }
    // Like a C cast to BYTE: the low eight bits of the integer.
    return static_cast<std::uint8_t>(toInt(ok) & 0xFF);
}
