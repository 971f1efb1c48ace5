#include "rulerwnd.h"

#include <QPaintEvent>
#include <QPainter>

CRulerWnd::CRulerWnd(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation) {
    const bool horizontal = orientation == Qt::Horizontal;
    setObjectName(horizontal ? QStringLiteral("horizontalRuler") : QStringLiteral("verticalRuler"));
    setAccessibleName(horizontal ? QStringLiteral("가로 자") : QStringLiteral("세로 자"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CRulerWnd::SetExtent(int length, int scroll) {
    if (length == m_length && scroll == m_scroll)
        return;
    m_length = length;
    m_scroll = scroll;
    update();
}

QRect CRulerWnd::CursorStrip(int position) const {
    return m_orientation == Qt::Horizontal ? QRect(position, 0, 1, height())
                                           : QRect(0, position, width(), 1);
}

void CRulerWnd::SetCursor(int position) {
    if (position == m_cursor)
        return;
    // Two one-pixel strips: where the line was and where it is now.
    if (m_cursor >= 0)
        update(CursorStrip(m_cursor));
    m_cursor = position;
    if (m_cursor >= 0)
        update(CursorStrip(m_cursor));
}

void CRulerWnd::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), palette().color(QPalette::Window));
    const int end = m_length - m_scroll;
    const QRect band = m_orientation == Qt::Horizontal ? QRect(0, 0, std::max(0, end), height())
                                                       : QRect(0, 0, width(), std::max(0, end));
    p.fillRect(band.intersected(event->rect()), Qt::white);
    // The edge towards the plate.
    p.fillRect(m_orientation == Qt::Horizontal ? QRect(0, height() - 1, width(), 1)
                                               : QRect(width() - 1, 0, 1, height()),
               palette().color(QPalette::Mid));
    if (m_cursor >= 0 && m_cursor < end)
        p.fillRect(CursorStrip(m_cursor), Qt::black);
}
