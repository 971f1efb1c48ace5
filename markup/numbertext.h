#pragma once

#include <QString>

#include <optional>

// Numbers as the operator types and reads them, the same whatever the
// user's locale.
namespace numbertext {

// The number a field's text starts with, read as the C locale reads it:
// leading blanks, an optional sign, digits with an optional "." and an
// optional exponent; what follows is ignored ("12.5mm" is 12.5). Empty when
// the text starts with no number, or with NaN or infinity, so that the
// field can refuse it and show its last value again.
std::optional<double> LeadingNumber(const QString& text);

// The leading integer of a field, for counts: as above with no fraction or
// exponent, and empty outside the int range.
std::optional<int> LeadingInteger(const QString& text);

// value with the given decimals, trailing zeros and then a trailing point
// removed. The minus sign goes whenever every printed digit is 0, so a tiny
// negative never reads "-0".
QString Trimmed(double value, int decimals = 3);

// Trimmed(value) followed by " mm".
QString MillimetreText(double value);

} // namespace numbertext
