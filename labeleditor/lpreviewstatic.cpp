#include "lpreviewstatic.h"

#include "labelpainting.h"

#include "engine/textlayout.h"
#include "labels/zellabel.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

CLPreviewStatic::CLPreviewStatic(QWidget* parent) : QWidget(parent) {
    setMinimumSize(120, 80);
}

QPixmap CLPreviewStatic::Picture(const CZelLabel& label) {
    const int dpi = textlayout::ScreenDpiX();
    QPixmap picture(std::max(1, label.PixelWidth(dpi)), std::max(1, label.PixelHeight(dpi)));
    picture.fill(Qt::white);
    QPainter painter(&picture);
    labelpainting::PaintObjects(painter, label, dpi);
    return picture;
}

void CLPreviewStatic::SetPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void CLPreviewStatic::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().button());
    if (m_picture.isNull())
        return;
    // A label larger than the control is shown from its corner, unscaled:
    // the operator sees its true size.
    const bool fits = m_picture.width() <= width() && m_picture.height() <= height();
    const QPoint at =
        fits ? QPoint((width() - m_picture.width()) / 2, (height() - m_picture.height()) / 2)
             : QPoint(0, 0);
    painter.drawPixmap(at, m_picture);
}
