#include "joblisticons.h"

#include <QPainter>
#include <QPainterPath>

namespace joblisticons {
namespace {

void DrawTicket(QPainter& p, const QRect& box) {
    // A sheet with its top-right corner folded.
    const int fold = 4;
    QPainterPath sheet;
    sheet.moveTo(box.left(), box.top());
    sheet.lineTo(box.right() - fold, box.top());
    sheet.lineTo(box.right(), box.top() + fold);
    sheet.lineTo(box.right(), box.bottom());
    sheet.lineTo(box.left(), box.bottom());
    sheet.closeSubpath();
    p.setPen(QColor(90, 100, 120));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawLine(box.right() - fold, box.top(), box.right() - fold, box.top() + fold);
    p.drawLine(box.right() - fold, box.top() + fold, box.right(), box.top() + fold);
    p.setPen(QColor(150, 160, 180));
    for (int y = box.top() + 6; y < box.bottom() - 1; y += 3)
        p.drawLine(box.left() + 2, y, box.right() - 2, y);
}

QPixmap TicketPixmap(bool memo) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    DrawTicket(p, QRect(2, 1, 11, 14));
    if (memo) {
        // A yellow note pinned over the lower right.
        p.setPen(QColor(176, 128, 0));
        p.setBrush(QColor(255, 214, 64));
        p.drawRect(QRect(7, 7, 8, 8));
        p.drawLine(9, 10, 13, 10);
        p.drawLine(9, 12, 12, 12);
    }
    return pixmap;
}

} // namespace

const QIcon& Order(bool memo) {
    static const QIcon plain(TicketPixmap(false));
    static const QIcon withMemo(TicketPixmap(true));
    return memo ? withMemo : plain;
}

QPixmap Drag(int orders) {
    const QString count = QString::number(orders);
    QFont font;
    font.setBold(true);
    font.setPixelSize(11);
    const int textWidth = QFontMetrics(font).horizontalAdvance(count);
    QPixmap pixmap(24 + textWidth + 6, 22);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (orders > 1)
        DrawTicket(p, QRect(6, 1, 11, 14));
    DrawTicket(p, QRect(3, 4, 11, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 220));
    p.drawRoundedRect(QRect(18, 6, textWidth + 8, 15), 4, 4);
    p.setPen(Qt::white);
    p.setFont(font);
    p.drawText(QRect(18, 6, textWidth + 8, 15), Qt::AlignCenter, count);
    return pixmap;
}

} // namespace joblisticons
