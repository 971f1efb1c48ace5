#include "fontchoice.h"

#include "engine/screenmapping.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>

#include <cmath>
#include <cstdlib>

namespace fontchoice {

namespace {
constexpr int kStoredDpi = 96;
constexpr std::uint8_t kHangulCharSet = 129;
constexpr std::uint8_t kDefaultCharSet = 1;
constexpr int kDefaultPoints = 10;
} // namespace

const QList<int>& PointSizes() {
    static const QList<int> sizes{8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    return sizes;
}

QStringList Faces(const QString& storedFace) {
    QStringList faces;
    for (const QString& family : QFontDatabase::families())
        if (family.size() <= LogFont::kFaceNameCapacity && !QFontDatabase::isPrivateFamily(family))
            faces << family;
    if (!storedFace.isEmpty() && !faces.contains(storedFace))
        faces << storedFace;
    faces.sort(Qt::CaseInsensitive);
    faces.removeDuplicates();
    return faces;
}

std::uint8_t CharSetOf(const QString& face) {
    return QFontDatabase::writingSystems(face).contains(QFontDatabase::Korean) ? kHangulCharSet
                                                                               : kDefaultCharSet;
}

int PointSize(const LogFont& font) {
    const int height = std::abs(font.lfHeight);
    return height > 0 ? screenmapping::MulDiv(height, 72, kStoredDpi) : kDefaultPoints;
}

void SetPointSize(LogFont& font, int points) {
    font.lfHeight = -screenmapping::MulDiv(points, kStoredDpi, 72);
}

void SetFace(LogFont& font, const QString& face) {
    font.lfFaceName = LogFont::FitFaceName(face);
    font.lfCharSet = CharSetOf(font.lfFaceName);
}

QFont ToQFont(const LogFont& font) {
    QFont f(font.lfFaceName);
    f.setPointSize(PointSize(font));
    if (font.lfWeight > 0)
        f.setWeight(static_cast<QFont::Weight>(std::clamp(int(font.lfWeight), 1, 1000)));
    f.setItalic(font.lfItalic != 0);
    f.setUnderline(font.lfUnderline != 0);
    f.setStrikeOut(font.lfStrikeOut != 0);
    return f;
}

LogFont FromQFont(const QFont& chosen, const LogFont& base) {
    LogFont font = base;
    // A face whose name the record cannot hold is not offered; the record keeps its own.
    if (chosen.family().size() <= LogFont::kFaceNameCapacity)
        SetFace(font, chosen.family());
    const int points =
        chosen.pointSizeF() > 0 ? int(std::lround(chosen.pointSizeF())) : PointSize(base);
    SetPointSize(font, std::max(points, 1));
    font.lfWeight = chosen.weight();
    font.lfItalic = chosen.italic() ? 1 : 0;
    font.lfUnderline = chosen.underline() ? 1 : 0;
    font.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    return font;
}

QString Describe(const LogFont& font) {
    return QStringLiteral("%1, %2 pt").arg(font.lfFaceName).arg(PointSize(font));
}

std::optional<LogFont> Choose(QWidget* parent, const LogFont& current) {
    bool ok = false;
    const QFont chosen =
        QFontDialog::getFont(&ok, ToQFont(current), parent, QStringLiteral("글꼴 선택"));
    if (!ok)
        return std::nullopt;
    if (chosen.family().size() > LogFont::kFaceNameCapacity) {
        QMessageBox::warning(parent, QStringLiteral("글꼴 선택"),
                             QStringLiteral("글꼴 이름이 너무 깁니다: %1").arg(chosen.family()));
        return std::nullopt;
    }
    return FromQFont(chosen, current);
}

} // namespace fontchoice
