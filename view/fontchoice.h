#pragma once

#include "records/logfont.h"

#include <QFont>
#include <QStringList>

#include <optional>

class QWidget;

// The stored font record and the fonts the operator picks from. Stored
// sizes are pixel heights at 96 dpi, whatever the screen; every field the
// platform's font dialog does not show is kept as stored.
namespace fontchoice {

// Point sizes offered beside a face.
const QList<int>& PointSizes();

// The installed faces a record can name (longer names do not fit its
// field), sorted, with the stored face among them even when it is not
// installed, so that an untouched record keeps it.
QStringList Faces(const QString& storedFace = QString());

// The character set Windows workstations look for with a face: Hangul for
// faces that write Korean, the default set otherwise.
std::uint8_t CharSetOf(const QString& face);

// Points of the stored height, and a new height from points.
int PointSize(const LogFont& font);
void SetPointSize(LogFont& font, int points);
// Another face, with its character set; the rest of the record stays.
void SetFace(LogFont& font, const QString& face);

// The record as the font dialog shows it, and the dialog's choice written
// over a record, field by field: face, size, weight, italic, underline,
// strike-out and character set.
QFont ToQFont(const LogFont& font);
LogFont FromQFont(const QFont& chosen, const LogFont& base);

// "face, N pt" for a button or a label.
QString Describe(const LogFont& font);

// The platform's font dialog on current; the chosen font, or nothing when
// cancelled. A face whose name is longer than the stored field cannot be
// kept and is refused with a message.
std::optional<LogFont> Choose(QWidget* parent, const LogFont& current);

} // namespace fontchoice
