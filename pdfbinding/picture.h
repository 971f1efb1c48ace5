#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

// A decoded preview image and the rotation (0, 90, 180, 270 clockwise) at
// which it is to be shown. A rotation that changes is not applied at once:
// the image is turned, in quarter turns, the next time it is drawn.
class CPicture {
public:
    // Decodes the file; on failure the picture is left empty.
    bool Load(const QString& path, int rotation);
    void Clear();
    bool IsLoaded() const { return !m_image.isNull(); }

    // Pixel size of the image as last drawn (turned by the applied rotation).
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    int Rotation() const { return m_rotation; }
    // Quarter turns still to apply at the next draw.
    int PendingTurns() const { return ((m_rotation - m_applied) / 90 % 4 + 4) % 4; }
    // Takes any angle; it is brought to 0, 90, 180 or 270.
    void SetRotation(int rotation);

    // Draws the image centred in box. natural is its size at 100 %; when
    // the box is smaller in either direction the image is scaled down by the
    // smaller ratio, keeping its proportions. Applies a pending rotation.
    void Draw(QPainter& painter, const QRectF& box, const QSizeF& natural);
    // The image turned to its rotation (applies a pending rotation).
    const QImage& Image();

    bool operator==(const CPicture&) const = default;

private:
    void ApplyRotation();

    QImage m_image;
    int m_rotation = 0; // the rotation to show
    int m_applied = 0;  // the rotation m_image has
};
