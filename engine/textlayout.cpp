#include "textlayout.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <cstdlib>

namespace textlayout {

namespace {
constexpr int kDefaultDpi = 96;
constexpr int kDefaultPixelHeight = 13;

QScreen* Screen() {
    return CanMeasure() ? QGuiApplication::primaryScreen() : nullptr;
}

bool Quarter(int escapement) {
    const int e = ((escapement % 3600) + 3600) % 3600;
    return e == 900 || e == 2700;
}
} // namespace

bool CanMeasure() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

int ScreenDpiX() {
    QScreen* screen = Screen();
    return screen ? qRound(screen->logicalDotsPerInchX()) : kDefaultDpi;
}

int ScreenDpiY() {
    QScreen* screen = Screen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : kDefaultDpi;
}

QString FaceName(const LogFont& font) {
    return font.lfFaceName.isEmpty() ? QStringLiteral("NanumGothic") : font.lfFaceName;
}

QFont FontOf(const LogFont& font) {
    QFont f(FaceName(font));
    const int height = std::abs(font.lfHeight);
    f.setPixelSize(height > 0 ? height : kDefaultPixelHeight);
    if (font.lfWeight > 0)
        f.setWeight(static_cast<QFont::Weight>(qBound(1, static_cast<int>(font.lfWeight), 1000)));
    f.setItalic(font.lfItalic != 0);
    f.setUnderline(font.lfUnderline != 0);
    f.setStrikeOut(font.lfStrikeOut != 0);
    return f;
}

double PointSize(const LogFont& font) {
    const int height = std::abs(font.lfHeight);
    return (height > 0 ? height : kDefaultPixelHeight) * 72.0 / ScreenDpiY();
}

QStringList BreakLines(const QFont& font, const QString& text, double width, double height,
                       double* lineHeight) {
    const QFontMetricsF metrics(font);
    const double lh = metrics.height();
    if (lineHeight)
        *lineHeight = lh;
    QStringList lines;
    QString line;
    auto finish = [&]() {
        if ((lines.size() + 1) * lh > height + 1e-9)
            return false;
        lines << line;
        line.clear();
        return true;
    };
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\r'))
            continue;
        if (ch == QLatin1Char('\n')) {
            if (!finish())
                return lines;
            continue;
        }
        const QString longer = line + ch;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            if (!finish())
                return lines;
            line = QString(ch);
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty())
        finish();
    return lines;
}

void DrawText(QPainter& painter, const QRectF& box, const QString& text, int escapement, int halign,
              int valign) {
    if (text.isEmpty() || box.width() <= 0 || box.height() <= 0)
        return;
    // Lay out upright in the turned box, then turn it about the box's centre.
    const bool quarter = Quarter(escapement);
    const double w = quarter ? box.height() : box.width();
    const double h = quarter ? box.width() : box.height();
    double lh = 0;
    const QStringList lines = BreakLines(painter.font(), text, w, h, &lh);
    if (lines.isEmpty())
        return;
    const QFontMetricsF metrics(painter.font());
    const double block = lh * lines.size();
    const double top = valign == 2 ? h - block : valign == 1 ? (h - block) / 2 : 0;

    painter.save();
    painter.translate(box.center());
    // The escapement turns counter-clockwise; the painter turns clockwise.
    painter.rotate(-escapement / 10.0);
    painter.translate(-w / 2, -h / 2);
    for (int i = 0; i < lines.size(); ++i) {
        const double lineWidth = metrics.horizontalAdvance(lines[i]);
        if (lineWidth > w + 1e-9)
            continue; // a single character wider than the box
        const double x = halign == 2 ? w - lineWidth : halign == 1 ? (w - lineWidth) / 2 : 0;
        const double y = top + i * lh;
        painter.drawText(QPointF(x, y + metrics.ascent()), lines[i]);
    }
    painter.restore();
}

} // namespace textlayout
