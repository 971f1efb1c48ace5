#include "fontchoice.h"

#include "engine/textlayout.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>

#include <cmath>

namespace fontchoice {

namespace {

// Stored heights are pixels at 96 dpi, whatever this screen's resolution.
constexpr double kStoredDpi = 96.0;
constexpr std::uint8_t kHangulCharset = 129;
constexpr std::uint8_t kDefaultCharset = 1;

} // namespace

LogFont LogFontOf(const QFont& font, const LogFont& base) {
    LogFont f = base;
    f.lfFaceName = font.family();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 72.0 / textlayout::ScreenDpiY();
    if (points > 0)
        f.lfHeight = -static_cast<std::int32_t>(std::lround(points * kStoredDpi / 72.0));
    f.lfWeight = font.weight();
    f.lfItalic = font.italic() ? 1 : 0;
    f.lfUnderline = font.underline() ? 1 : 0;
    f.lfStrikeOut = font.strikeOut() ? 1 : 0;
    f.lfCharSet = QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::Korean)
                      ? kHangulCharset
                      : kDefaultCharset;
    return f;
}

QString Describe(const LogFont& font) {
    return QStringLiteral("%1, %2 pt")
        .arg(textlayout::FaceName(font))
        .arg(std::lround(std::abs(font.lfHeight) * 72.0 / kStoredDpi));
}

std::optional<LogFont> Choose(QWidget* parent, const LogFont& current) {
    QFont initial = textlayout::FontOf(current);
    initial.setPointSizeF(std::abs(current.lfHeight) > 0
                              ? std::abs(current.lfHeight) * 72.0 / kStoredDpi
                              : initial.pointSizeF());
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent, QStringLiteral("글꼴 선택"));
    if (!ok)
        return std::nullopt;
    if (chosen.family().size() > LogFont::kFaceNameCapacity) {
        QMessageBox::warning(parent, QStringLiteral("글꼴 선택"),
                             QStringLiteral("글꼴 이름이 너무 깁니다: %1").arg(chosen.family()));
        return std::nullopt;
    }
    return LogFontOf(chosen, current);
}

} // namespace fontchoice
