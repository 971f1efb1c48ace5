#include "labelfonts.h"

#include "engine/screenmapping.h"
#include "engine/textlayout.h"

#include <QFontDatabase>

#include <cstdlib>

namespace labelfonts {

namespace {
constexpr std::uint8_t kHangulCharSet = 129;
constexpr std::uint8_t kDefaultCharSet = 1;
constexpr std::uint8_t kDefaultPitchAndFamily = 32;
constexpr std::int32_t kNormalWeight = 400;
} // namespace

QStringList InstalledFaces() {
    QStringList faces;
    for (const QString& family : QFontDatabase::families()) {
        if (family.contains(QLatin1Char('@')) || family.size() > LogFont::kFaceNameCapacity ||
            QFontDatabase::isPrivateFamily(family) || faces.contains(family, Qt::CaseInsensitive))
            continue;
        faces << family;
    }
    faces.sort(Qt::CaseInsensitive);
    return faces;
}

LogFont EntryFont(const QString& face) {
    LogFont font;
    font.lfFaceName = LogFont::FitFaceName(face);
    font.lfWeight = kNormalWeight;
    font.lfPitchAndFamily = kDefaultPitchAndFamily;
    font.lfCharSet = QFontDatabase::writingSystems(face).contains(QFontDatabase::Korean)
                         ? kHangulCharSet
                         : kDefaultCharSet;
    return font;
}

LogFont WithFace(const LogFont& font, const LogFont& entry) {
    LogFont changed = entry;
    changed.lfHeight = font.lfHeight;
    changed.lfEscapement = font.lfEscapement;
    changed.lfOrientation = font.lfOrientation;
    changed.lfWeight = font.lfWeight;
    changed.lfItalic = font.lfItalic;
    changed.lfUnderline = font.lfUnderline;
    changed.lfStrikeOut = font.lfStrikeOut;
    return changed;
}

int PointsOf(const LogFont& font) {
    return screenmapping::MulDiv(std::abs(font.lfHeight), 72, textlayout::ScreenDpiY());
}

std::int32_t HeightOf(int points) {
    return -screenmapping::MulDiv(points, textlayout::ScreenDpiY(), 72);
}

} // namespace labelfonts
