#include "geometry.h"

#include <charconv>
#include <cmath>

namespace pdfcompose {

Matrix Matrix::QuarterTurns(int turns, double w, double h) {
    switch (turns & 3) {
    case 1: // (x, y) -> (y, w - x)
        return {0, -1, 1, 0, 0, w};
    case 2:
        return {-1, 0, 0, -1, w, h};
    case 3: // (x, y) -> (h - y, x)
        return {0, 1, -1, 0, h, 0};
    default:
        return {};
    }
}

Matrix Matrix::After(const Matrix& m) const {
    // Apply m, then this.
    return {a * m.a + c * m.b, b * m.a + d * m.b,     a * m.c + c * m.d,
            b * m.c + d * m.d, a * m.e + c * m.f + e, b * m.e + d * m.f + f};
}

void Matrix::Apply(double x, double y, double& outX, double& outY) const {
    outX = a * x + c * y + e;
    outY = b * x + d * y + f;
}

bool QuarterTurnsOf(double degrees, int& turns) {
    if (!std::isfinite(degrees))
        return false;
    const double quarters = degrees / 90.0;
    const double rounded = std::round(quarters);
    if (std::fabs(quarters - rounded) > 1e-9 || std::fabs(rounded) > 1e6)
        return false;
    turns = static_cast<int>(static_cast<long>(rounded) % 4);
    if (turns < 0)
        turns += 4;
    return true;
}

std::string FormatNumber(double value, int decimals) {
    if (!std::isfinite(value))
        value = 0;
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    if (text == "-0")
        text = "0";
    return text;
}

} // namespace pdfcompose
