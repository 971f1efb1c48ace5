#include "picture.h"

#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace {

int Normalised(int rotation) {
    const int quarter = ((rotation / 90) % 4 + 4) % 4;
    return quarter * 90;
}

} // namespace

bool CPicture::Load(const QString& path, int rotation) {
    Clear();
    QImageReader reader(path);
    reader.setAutoTransform(false); // the rotation comes from the plate, not from EXIF
    QImage image = reader.read();
    if (image.isNull())
        return false;
    m_image = std::move(image);
    m_applied = 0;
    m_rotation = Normalised(rotation);
    return true;
}

void CPicture::Clear() {
    m_image = QImage();
    m_rotation = m_applied = 0;
}

void CPicture::SetRotation(int rotation) {
    m_rotation = Normalised(rotation);
}

void CPicture::ApplyRotation() {
    const int turns = PendingTurns();
    if (turns && !m_image.isNull())
        m_image = m_image.transformed(QTransform().rotate(90.0 * turns));
    m_applied = m_rotation;
}

const QImage& CPicture::Image() {
    ApplyRotation();
    return m_image;
}

void CPicture::Draw(QPainter& painter, const QRectF& box, const QSizeF& natural) {
    if (m_image.isNull() || natural.isEmpty() || box.isEmpty())
        return;
    ApplyRotation();
    const double scale =
        std::min({1.0, box.width() / natural.width(), box.height() / natural.height()});
    QSizeF size = natural * scale;
    QRectF target(QPointF(box.x() + (box.width() - size.width()) / 2,
                          box.y() + (box.height() - size.height()) / 2),
                  size);
    painter.drawImage(target, m_image);
}
