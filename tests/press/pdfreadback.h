#pragma once

// What a composed page draws, read back from the file with qpdf, in the
// composition library's terms: millimetres from the page's top-left corner.
// Compiled on its own (qpdf's headers), so it speaks only standard C++.

#include <string>
#include <vector>

namespace pdfreadback {

struct Shape {
    enum Kind { Form, Rect, Line } kind = Form;
    // Footprint (forms, rectangles) or end points (lines: x, y to x2, y2).
    double x = 0, y = 0, w = 0, h = 0;
    double x2 = 0, y2 = 0;
    int rotation = 0;            // forms: quarter turns clockwise, in degrees
    double formW = 0, formH = 0; // forms: the placed page's own size
    double lineWidth = 0;
    std::vector<double> fill, stroke; // colour components as written (none: empty)
    bool filled = false, stroked = false;
    std::string name; // forms: the XObject's resource name
};

struct Page {
    double width = 0, height = 0; // mm
    std::vector<Shape> shapes;    // in drawing order
};

// Every page of a file; empty with a reason when it cannot be read.
std::vector<Page> Read(const std::string& path, std::string* error = nullptr);

} // namespace pdfreadback
