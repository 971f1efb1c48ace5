#pragma once

#include "records/logfont.h"

#include <QString>

// A free line drawn on the plate: horizontal (dir non-zero) from start to end
// at offset, or vertical; lengths in mm, the colour by preset name.
struct FreeLine {
    int dir = 0;
    double start = 0.0;
    double end = 0.0;
    double offset = 0.0;
    double weight = 0.0;
    QString colorName;

    bool operator==(const FreeLine&) const = default;
};

// A text box on the plate, with its picture and one-page PDF named by name
// in the plate's work folder.
struct TextBox {
    QString name;
    double x = 0.0, y = 0.0, width = 0.0, height = 0.0;
    QString frameColor, contentColor, textColor;
    LogFont font;
    int rotate = 0;
    QString text;

    bool operator==(const TextBox&) const = default;
};
