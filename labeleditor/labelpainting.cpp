#include "labelpainting.h"

#include "labels/labelrender.h"

#include <QPainter>

namespace labelpainting {

void PaintObjects(QPainter& painter, const CZelLabel& label, int dpi) {
    const double pxPerMm = dpi / 25.4;
    // Without an item nothing is read from the shop: no preset folder needed.
    CLabelRender(QString(), nullptr).Paint(painter, label, nullptr, pxPerMm);
    painter.save();
    painter.setPen(QPen(QColor(191, 191, 191), 1));
    painter.setBrush(Qt::NoBrush);
    for (const auto& object : label.objects) {
        if (object->frame || object->IsFrameBox())
            continue; // drawn in black already
        const QRectF box(object->x * pxPerMm, object->y * pxPerMm, object->w * pxPerMm,
                         object->h * pxPerMm);
        painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    painter.restore();
}

} // namespace labelpainting
