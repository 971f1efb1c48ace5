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

QImage Decoded(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(false); // the rotation comes from the plate, not from EXIF
    return reader.read();
}

} // namespace

bool CPicture::Load(const QString& path, int rotation) {
    Clear();
    // Decoded once to know that it decodes; only its size is kept.
    const QImage image = Decoded(path);
    if (image.isNull())
        return false;
    m_path = path;
    m_size = image.size();
    m_rotation = Normalised(rotation);
    return true;
}

void CPicture::Clear() {
    m_path.clear();
    m_size = QSize();
    m_rotation = 0;
}

void CPicture::SetRotation(int rotation) {
    m_rotation = Normalised(rotation);
}

int CPicture::Width() const {
    return m_rotation % 180 ? m_size.height() : m_size.width();
}

int CPicture::Height() const {
    return m_rotation % 180 ? m_size.width() : m_size.height();
}

QImage CPicture::Image() const {
    if (m_path.isEmpty())
        return {};
    QImage image = Decoded(m_path);
    if (!image.isNull() && m_rotation)
        image = image.transformed(QTransform().rotate(m_rotation));
    return image;
}

void CPicture::Draw(QPainter& painter, const QRectF& box, const QSizeF& natural) const {
    if (m_path.isEmpty() || natural.isEmpty() || box.isEmpty())
        return;
    const QImage image = Image();
    if (image.isNull())
        return;
    const double scale =
        std::min({1.0, box.width() / natural.width(), box.height() / natural.height()});
    QSizeF size = natural * scale;
    QRectF target(QPointF(box.x() + (box.width() - size.width()) / 2,
                          box.y() + (box.height() - size.height()) / 2),
                  size);
    painter.drawImage(target, image);
}
