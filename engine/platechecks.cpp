#include "platechecks.h"

#include "plategeometry.h"

namespace platechecks {

QString ValidateLayout(const PlateProperties& p) {
    for (double margin : p.margin)
        if (!(margin >= 0.0))
            return QStringLiteral("판형의 여백이 잘못되었습니다.");
    if (!(p.gridWidth >= 0.0) || !(p.gridHeight >= 0.0))
        return QStringLiteral("판형의 그리드 간격이 잘못되었습니다.");
    for (double margin : p.cutMargin)
        if (!(margin >= 0.0))
            return QStringLiteral("판형의 재단선 여백이 잘못되었습니다.");
    // Against the area items are laid out on, so that the usable area can
    // never come out empty or negative.
    const PlateGeometry geometry = ComputePlateGeometry(p);
    if (!(geometry.usableArea.width > 0.0))
        return QStringLiteral("판형의 여백이 전체 폭 보다 큽니다.");
    if (!(geometry.usableArea.height > 0.0))
        return QStringLiteral("판형의 여백이 전체 높이 보다 큽니다.");
    return {};
}

bool TurnMethodEditable(int paperSideSetting) {
    return paperSideSetting == 1;
}

QString ValidateOwnCut(const std::array<double, 4>& margins, const std::array<int, 8>& marks,
                       double gridWidth, double gridHeight) {
    bool anyMark = false;
    for (int mark : marks)
        anyMark = anyMark || mark != 0;
    if (!anyMark)
        return {};
    for (double margin : margins)
        if (!(margin >= 0.0))
            return QStringLiteral("재단선 여백은 0 mm 보다 작을 수 없습니다.");
    // margins are left, top, right, bottom
    const double sideLimit = 0.25 * gridWidth;
    const double endLimit = 0.25 * gridHeight;
    if (margins[0] > sideLimit || margins[2] > sideLimit)
        return QStringLiteral("재단선 좌/우측 여백은 %1 mm 보다 클 수 없습니다.")
            .arg(QString::number(sideLimit, 'f', 6));
    if (margins[1] > endLimit || margins[3] > endLimit)
        return QStringLiteral("재단선 상/하단 여백은 %1 mm 보다 클 수 없습니다.")
            .arg(QString::number(endLimit, 'f', 6));
    return {};
}

bool IsValidLine(const FreeLine& line, double plateWidth, double plateHeight) {
    const bool horizontal = line.dir != 0;
    const double along = horizontal ? plateWidth : plateHeight;
    const double across = horizontal ? plateHeight : plateWidth;
    return line.weight > 0.0 && line.offset >= 0.0 && line.offset < across && line.start >= 0.0 &&
           line.start < along && line.end <= along && line.end > line.start;
}

bool IsValidTextBox(const TextBox& box, double plateWidth, double plateHeight) {
    if (!(box.width > 0.0) || !(box.height > 0.0) || !(box.x >= 0.0) || !(box.y >= 0.0))
        return false;
    // A quarter-turned box stands on the plate with its sides exchanged.
    const bool quarter = box.rotate % 180 != 0;
    const double w = quarter ? box.height : box.width;
    const double h = quarter ? box.width : box.height;
    return box.x + w <= plateWidth && box.y + h <= plateHeight;
}

bool IsDuplicateTextBox(const TextBox& box, const std::vector<TextBox>& boxes) {
    for (const TextBox& other : boxes) {
        TextBox named = box;
        named.name = other.name;
        if (named == other)
            return true;
    }
    return false;
}

ColourEntries ColourComboEntries(const QStringList& presetNames, const QString& stored,
                                 const QString& fallback) {
    ColourEntries entries{presetNames, -1};
    if (!stored.isEmpty()) {
        entries.index = static_cast<int>(presetNames.indexOf(stored));
        if (entries.index < 0) {
            entries.names.append(stored);
            entries.index = static_cast<int>(entries.names.size()) - 1;
        }
        return entries;
    }
    entries.index = static_cast<int>(presetNames.indexOf(fallback));
    if (entries.index < 0 && !presetNames.isEmpty())
        entries.index = 0;
    return entries;
}

} // namespace platechecks
