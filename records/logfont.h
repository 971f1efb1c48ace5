#pragma once

#include <QString>

#include <cstdint>

// A text font description, field for field as the font records store it.
struct LogFont {
    // The stored face name field holds 31 characters and a terminator.
    static constexpr int kFaceNameCapacity = 31;

    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    QString lfFaceName;

    bool operator==(const LogFont&) const = default;

    // A longer stored name is cut to the field, as copying it into the field
    // would; the font then resolves like any other unknown face.
    static QString FitFaceName(const QString& name) { return name.left(kFaceNameCapacity); }
};
