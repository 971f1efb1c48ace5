#pragma once

#include "records/logfont.h"

#include <QStringList>

// The fonts the label editor offers and how its size field maps to a font
// record. Sizes are points at the screen's resolution, as labels are drawn.
namespace labelfonts {

inline constexpr int kSmallestPoints = 7;
inline constexpr int kLargestPoints = 72;

// The installed families in name order: no vertical faces (names with "@"),
// no duplicates, none longer than the record's face field can hold.
QStringList InstalledFaces();

// A face as the editor offers it: width 0, no turn, weight 400, no italic,
// underline or strike-out, default precisions and quality, pitch and
// family 32; the Hangul character set (129) for a face that writes Korean,
// else the default one (1), so that Windows workstations find a Hangul font.
LogFont EntryFont(const QString& face);

// An object's font given another face: the entry's face, character set and
// family; the object's height, turn, weight and style stay.
LogFont WithFace(const LogFont& font, const LogFont& entry);

// The font's size in whole points; the height of a size in points.
int PointsOf(const LogFont& font);
std::int32_t HeightOf(int points);

} // namespace labelfonts
