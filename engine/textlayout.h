#pragma once

#include "records/logfont.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

// Text laid out in a box as labels and text boxes show it: broken by
// characters at the box's width, turned by the font's escapement, placed by
// a horizontal (0 left, 1 centre, 2 right) and a vertical (0 top, 1 centre,
// 2 bottom) alignment. A line that does not fit wholly in the box is not
// drawn. Needs a QGuiApplication.
namespace textlayout {

// The screen's logical resolution (96 without a screen).
int ScreenDpiX();
int ScreenDpiY();
// Whether fonts can be measured here (a QGuiApplication runs).
bool CanMeasure();

// The font a logical font record describes, at its pixel height.
QFont FontOf(const LogFont& font);
// The record's size in points at the screen's resolution: -lfHeight x 72 / dpi.
double PointSize(const LogFont& font);
// The face the composition library is asked for; a record without one gets
// the shop's Korean-capable face.
QString FaceName(const LogFont& font);

// The lines of text that fit in width x height with the font, broken by characters.
QStringList BreakLines(const QFont& font, const QString& text, double width, double height,
                       double* lineHeight = nullptr);
// Draws text in box with the painter's pen and font.
void DrawText(QPainter& painter, const QRectF& box, const QString& text, int escapement, int halign,
              int valign);

} // namespace textlayout
