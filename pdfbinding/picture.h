#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPainter;

// A preview image file and the rotation (0, 90, 180, 270 clockwise) at which
// it is to be shown. Only the file's path and pixel size are kept: the image
// is decoded, and turned to its rotation, each time it is asked for, so that
// a plate of many items holds no decoded pictures (the view keeps its own
// scaled copies).
class CPicture {
public:
    // Checks that the file decodes and takes its size; on failure the
    // picture is left empty.
    bool Load(const QString& path, int rotation);
    void Clear();
    bool IsLoaded() const { return !m_path.isEmpty(); }
    const QString& Path() const { return m_path; }

    // Pixel size of the image as shown (turned by its rotation).
    int Width() const;
    int Height() const;
    int Rotation() const { return m_rotation; }
    // Takes any angle; it is brought to 0, 90, 180 or 270.
    void SetRotation(int rotation);

    // Draws the image centred in box. natural is its size at 100 %; when
    // the box is smaller in either direction the image is scaled down by the
    // smaller ratio, keeping its proportions.
    void Draw(QPainter& painter, const QRectF& box, const QSizeF& natural) const;
    // The image decoded and turned to its rotation; null when the file no
    // longer decodes.
    QImage Image() const;

    bool operator==(const CPicture&) const = default;

private:
    QString m_path;
    QSize m_size;       // upright pixel size
    int m_rotation = 0; // the rotation to show
};
