#pragma once

#include "rawpdf.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <memory>
#include <string>
#include <vector>

// Source PDFs for the composition tests, written with qpdf, and readers of
// what the library wrote.
namespace pdffixtures {

struct SourceSpec {
    std::vector<double> mediaBox{0, 0, 255.1181, 141.7323}; // 90 x 50 mm
    std::vector<double> cropBox;                            // none when empty
    int rotate = 0;
    bool inheritFromPages = false; // boxes and /Rotate on the page tree node
    std::string content;           // default: a small red square at the visible box's lower left
    bool cmykImage = false;        // adds a raw 2x2 DeviceCMYK image drawn by the content
    std::string version = "1.4";
    bool twoContentStreams = false;
};

void WriteSource(const std::string& path, const SourceSpec& spec);

// A fresh folder under the system's temporary folder, removed by the dtor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Runs `qpdf --check` on a file; empty when it passes, else qpdf's output.
std::string QpdfCheckProblems(const std::string& path);

std::shared_ptr<QPDF> Read(const std::string& path);
std::string ReadText(const std::string& path);

// The "a b c d e f cm" matrices placed before each "/Name Do" in a page's content.
struct Placed {
    std::string name;
    double m[6];
};
std::vector<Placed> PlacedObjects(QPDFObjectHandle page);

// A page rendered by poppler at the given resolution: RGB of a pixel.
struct Rendered {
    int width = 0, height = 0;
    int dpi = 0; // of a decoded JPEG: its density, when given per inch
    std::vector<unsigned char> rgb;
    const unsigned char* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};
Rendered Render(const std::string& path, int page, double dpi);
std::string ExtractText(const std::string& path, int page);

} // namespace pdffixtures

namespace pdffixtures {

// Decodes a JPEG file (RGB or grey) into pixels.
Rendered DecodeJpeg(const std::string& path);

} // namespace pdffixtures
