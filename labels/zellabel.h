#pragma once

#include "records/logfont.h"

#include <QString>

#include <memory>
#include <vector>

// One positioned object of a label: a field of the order, a fixed text, a
// frame or a picture.
class CZelLabObject {
public:
    static constexpr char kFrameBoxTag[] = "MF_FrameBox";

    QString tag;  // JTAG: what the object shows
    QString text; // its own text: a title or a fixed text
    double x = 0.0, y = 0.0, w = 0.0, h = 0.0; // mm from the label's top-left
    int frame = 0;
    int invert = 0;
    int halign = 0; // 0 left, 1 centre, 2 right
    int valign = 0; // 0 top, 1 centre, 2 bottom
    LogFont font;

    bool IsFrameBox() const { return tag == QLatin1String(kFrameBoxTag); }
};

// A label: a small layout printed on the label plate for each item.
class CZelLabel {
public:
    static constexpr double kMinimumSize = 5.0;

    QString name;
    std::vector<std::unique_ptr<CZelLabObject>> objects; // drawing order
    int selectedIndex = -1;
    bool modified = false;

    double Width() const { return m_width; }
    double Height() const { return m_height; }
    // Refused (false) when either side is below 5 mm.
    bool SetSize(double width, double height);
    // The size in device pixels at zoom 1.
    int PixelWidth(int dpi) const;
    int PixelHeight(int dpi) const;

    // Reads a label file: its size, then one object per ITEM in file order.
    bool Load(const QString& path, QString* error = nullptr);
    bool Save(const QString& path, QString* error = nullptr);

private:
    double m_width = 0.0;
    double m_height = 0.0;
};
