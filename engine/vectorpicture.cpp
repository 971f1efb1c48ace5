#include "vectorpicture.h"

#include "markup/durablefile.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

Result<void> WriteVectorPicture(const QString& path, QSize pixels, int dpi, const QString& title,
                                const QString& description,
                                const std::function<void(QPainter&)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(pixels);
    generator.setViewBox(QRect(QPoint(0, 0), pixels));
    generator.setResolution(dpi);
    generator.setTitle(title);
    generator.setDescription(description);
    QPainter painter;
    if (!painter.begin(&generator))
        return Failure(QStringLiteral("%1: the picture cannot be drawn").arg(path));
    paint(painter);
    painter.end();
    return durablefile::Write(path, buffer.data());
}
