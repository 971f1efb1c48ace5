#include "pdfreadback.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace pdfreadback {

namespace {

constexpr double kMm = 25.4 / 72.0;
using Matrix = std::array<double, 6>;

Matrix Multiply(const Matrix& a, const Matrix& b) { // a then b
    return {a[0] * b[0] + a[1] * b[2],        a[0] * b[1] + a[1] * b[3],
            a[2] * b[0] + a[3] * b[2],        a[2] * b[1] + a[3] * b[3],
            a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]};
}

void Apply(const Matrix& m, double x, double y, double& ox, double& oy) {
    ox = m[0] * x + m[2] * y + m[4];
    oy = m[1] * x + m[3] * y + m[5];
}

struct State {
    Matrix ctm{1, 0, 0, 1, 0, 0};
    double lineWidth = 1;
    std::vector<double> fill{0}, stroke{0};
};

} // namespace

std::vector<Page> Read(const std::string& path, std::string* error) {
    std::vector<Page> pages;
    try {
        QPDF pdf;
        pdf.processFile(path.c_str());
        for (QPDFPageObjectHelper& helper : QPDFPageDocumentHelper(pdf).getAllPages()) {
            QPDFObjectHandle page = helper.getObjectHandle();
            QPDFObjectHandle box = page.getKey("/MediaBox");
            Page out;
            const double pageH =
                box.getArrayItem(3).getNumericValue() - box.getArrayItem(1).getNumericValue();
            out.width =
                (box.getArrayItem(2).getNumericValue() - box.getArrayItem(0).getNumericValue()) *
                kMm;
            out.height = pageH * kMm;
            std::string content;
            for (QPDFObjectHandle& stream : page.getPageContents()) {
                auto data = stream.getStreamData();
                content.append(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
                content += '\n';
            }
            QPDFObjectHandle xobjects = page.getKey("/Resources").getKey("/XObject");
            std::istringstream words(content);
            std::vector<std::string> stack;
            std::vector<State> saved;
            State state;
            double rect[4] = {0, 0, 0, 0};
            bool haveRect = false;
            std::vector<std::pair<double, double>> path;
            auto number = [&](int fromTop) {
                return std::strtod(stack[stack.size() - fromTop].c_str(), nullptr);
            };
            auto colour = [&](int n) {
                std::vector<double> c;
                for (int i = n; i >= 1; --i)
                    c.push_back(number(i));
                return c;
            };
            std::string word;
            bool inText = false;
            while (words >> word) {
                if (inText) {
                    if (word == "ET")
                        inText = false;
                    continue;
                }
                const bool operand =
                    word.find_first_not_of("0123456789.-") == std::string::npos || word[0] == '/';
                if (operand) {
                    stack.push_back(word);
                    continue;
                }
                if (word == "BT") {
                    inText = true;
                } else if (word == "q") {
                    saved.push_back(state);
                } else if (word == "Q" && !saved.empty()) {
                    state = saved.back();
                    saved.pop_back();
                } else if (word == "cm" && stack.size() >= 6) {
                    Matrix m{number(6), number(5), number(4), number(3), number(2), number(1)};
                    state.ctm = Multiply(m, state.ctm);
                } else if (word == "w" && !stack.empty()) {
                    state.lineWidth = number(1);
                } else if (word == "k" && stack.size() >= 4) {
                    state.fill = colour(4);
                } else if (word == "K" && stack.size() >= 4) {
                    state.stroke = colour(4);
                } else if (word == "rg" && stack.size() >= 3) {
                    state.fill = colour(3);
                } else if (word == "RG" && stack.size() >= 3) {
                    state.stroke = colour(3);
                } else if (word == "re" && stack.size() >= 4) {
                    rect[0] = number(4), rect[1] = number(3), rect[2] = number(2),
                    rect[3] = number(1);
                    haveRect = true;
                } else if (word == "m" && stack.size() >= 2) {
                    path = {{number(2), number(1)}};
                } else if (word == "l" && stack.size() >= 2) {
                    path.push_back({number(2), number(1)});
                } else if (word == "f" || word == "S" || word == "B") {
                    Shape s;
                    s.lineWidth = state.lineWidth * kMm;
                    s.filled = word != "S";
                    s.stroked = word != "f";
                    if (s.filled)
                        s.fill = state.fill;
                    if (s.stroked)
                        s.stroke = state.stroke;
                    if (haveRect) {
                        s.kind = Shape::Rect;
                        s.x = rect[0] * kMm;
                        s.y = (pageH - rect[1] - rect[3]) * kMm;
                        s.w = rect[2] * kMm;
                        s.h = rect[3] * kMm;
                        out.shapes.push_back(s);
                    } else if (path.size() == 2) {
                        s.kind = Shape::Line;
                        s.x = path[0].first * kMm, s.y = (pageH - path[0].second) * kMm;
                        s.x2 = path[1].first * kMm, s.y2 = (pageH - path[1].second) * kMm;
                        out.shapes.push_back(s);
                    }
                    haveRect = false;
                    path.clear();
                } else if (word == "n") {
                    haveRect = false;
                    path.clear();
                } else if (word == "Do" && !stack.empty()) {
                    QPDFObjectHandle form = xobjects.getKey(stack.back());
                    QPDFObjectHandle bbox = form.getDict().getKey("/BBox");
                    double b[4];
                    for (int i = 0; i < 4; ++i)
                        b[i] = bbox.getArrayItem(i).getNumericValue();
                    Matrix fm{1, 0, 0, 1, 0, 0};
                    QPDFObjectHandle matrix = form.getDict().getKey("/Matrix");
                    if (matrix.isArray())
                        for (int i = 0; i < 6; ++i)
                            fm[i] = matrix.getArrayItem(i).getNumericValue();
                    const Matrix m = Multiply(fm, state.ctm);
                    double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
                    for (auto [cx, cy] :
                         {std::pair{b[0], b[1]}, {b[2], b[1]}, {b[0], b[3]}, {b[2], b[3]}}) {
                        double ox, oy;
                        Apply(m, cx, cy, ox, oy);
                        minX = std::min(minX, ox), maxX = std::max(maxX, ox);
                        minY = std::min(minY, oy), maxY = std::max(maxY, oy);
                    }
                    Shape s;
                    s.kind = Shape::Form;
                    s.name = stack.back();
                    s.x = minX * kMm, s.y = (pageH - maxY) * kMm;
                    s.w = (maxX - minX) * kMm, s.h = (maxY - minY) * kMm;
                    // The form's own x axis after the transform gives the turn.
                    const double ax = m[0], ay = m[1];
                    const int deg = static_cast<int>(std::lround(std::atan2(-ay, ax) * 180 / M_PI));
                    s.rotation = ((deg % 360) + 360) % 360;
                    // Displayed size: the box scaled, before the quarter turns.
                    const double sx = std::hypot(m[0], m[1]), sy = std::hypot(m[2], m[3]);
                    s.formW = (b[2] - b[0]) * sx * kMm;
                    s.formH = (b[3] - b[1]) * sy * kMm;
                    out.shapes.push_back(s);
                }
                stack.clear();
            }
            pages.push_back(std::move(out));
        }
    } catch (std::exception& e) {
        if (error)
            *error = e.what();
        pages.clear();
    }
    return pages;
}

} // namespace pdfreadback
