#pragma once

#include <QString>

#include <cstdint>
#include <variant>

// The value of one markup element: empty, or text, a 32-bit integer, a double
// or a single byte. Assignment keeps the given kind; the element's key type
// only matters when the value is written to or read from a file.
class MarkupValue {
public:
    enum class Kind { Empty, Text, Integer, Double, Byte };

    MarkupValue() = default;
    MarkupValue(const QString& text) : m_value(text) {}
    MarkupValue(const char16_t* text) : m_value(QString::fromUtf16(text)) {}
    MarkupValue(std::int32_t number) : m_value(number) {}
    MarkupValue(double number) : m_value(number) {}
    MarkupValue(std::uint8_t byte) : m_value(byte) {}

    MarkupValue& operator=(const QString& text) {
        m_value = text;
        return *this;
    }
    MarkupValue& operator=(const char16_t* text) {
        m_value = QString::fromUtf16(text);
        return *this;
    }
    MarkupValue& operator=(std::int32_t number) {
        m_value = number;
        return *this;
    }
    MarkupValue& operator=(double number) {
        m_value = number;
        return *this;
    }
    MarkupValue& operator=(std::uint8_t byte) {
        m_value = byte;
        return *this;
    }
    // A bool would otherwise pick the byte overload silently.
    MarkupValue& operator=(bool) = delete;

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }
    void clear() { m_value = std::monostate{}; }

    // Conversions on access. Empty reads as 0 or as empty text. Text is parsed
    // as a decimal number; text that is no number reads as 0 and sets *ok to
    // false. A double read as an integer rounds to the nearest, halves to even,
    // and saturates at the 32-bit range.
    QString toString() const;
    std::int32_t toInt(bool* ok = nullptr) const;
    double toDouble(bool* ok = nullptr) const;
    std::uint8_t toByte(bool* ok = nullptr) const;

    bool operator==(const MarkupValue& other) const = default;

private:
    std::variant<std::monostate, QString, std::int32_t, double, std::uint8_t> m_value;
};

// Double to int32 with halves to even, saturated.
std::int32_t RoundHalfEvenToInt32(double value);
// Up to 15 significant digits, independent of the locale.
QString DoubleToText(double value);
