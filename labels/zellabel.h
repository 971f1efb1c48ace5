#pragma once

#include "markup/result.h"
#include "records/logfont.h"

#include <QString>

#include <memory>
#include <vector>

// One positioned object of a label: a field of the order, a fixed text, a
// frame or a picture.
class CZelLabObject {
public:
    static constexpr char kFrameBoxTag[] = "MF_FrameBox";

    QString tag;                               // JTAG: what the object shows
    QString text;                              // its own text: a title or a fixed text
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
    // No label plate cell is a metre wide; a larger stored size is corrupt.
    static constexpr double kMaximumSize = 1000.0;
    // A label the editor starts afresh: a business card cell.
    static constexpr double kDefaultWidth = 90.0;
    static constexpr double kDefaultHeight = 50.0;
    static bool IsValidSize(double width, double height);

    QString name;
    std::vector<std::unique_ptr<CZelLabObject>> objects; // drawing order
    int selectedIndex = -1;
    bool modified = false;

    double Width() const { return m_width; }
    double Height() const { return m_height; }
    // Refused (false) when either side is below 5 mm or above 1,000 mm.
    bool SetSize(double width, double height);
    // The size in device pixels at zoom 1.
    int PixelWidth(int dpi) const;
    int PixelHeight(int dpi) const;

    // Reads a label file: its size, then one object per ITEM in file order. A
    // file whose size is missing or out of range is unreadable, and this
    // label is left as it was.
    Result<void> Load(const QString& path);
    // Refused while the size is out of range, so no unreadable file is made.
    Result<void> Save(const QString& path);

private:
    double m_width = kDefaultWidth;
    double m_height = kDefaultHeight;
};
