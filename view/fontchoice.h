#pragma once

#include "records/logfont.h"

#include <QFont>

#include <optional>

class QWidget;

// Fonts as the operator chooses them and as the plate stores them.
namespace fontchoice {

// The stored record of a chosen font: face, pixel height at 96 dpi (stored
// sizes never depend on the screen), weight and styles; the fields a font
// dialog does not show are kept from base. The character set becomes 129
// (Hangul) for a face that writes Korean, so Windows workstations find a
// Hangul font, else 1.
LogFont LogFontOf(const QFont& font, const LogFont& base);

// "face, N pt" for a button or a label.
QString Describe(const LogFont& font);

// The platform's font dialog on current; the chosen font, or nothing when
// cancelled. A face whose name is longer than the stored field cannot be
// kept and is refused with a message.
std::optional<LogFont> Choose(QWidget* parent, const LogFont& current);

} // namespace fontchoice
