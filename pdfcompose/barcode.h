#pragma once

#include <string>

namespace pdfcompose {

// Barcodes as vector bars, through zint.
class Barcode {
public:
    // Writes a one-page PDF of width x height mm whose bars fill the page.
    // kind 3 is Code 128. Throws Failure, for instance for text the kind
    // cannot encode.
    static void WritePdf(const std::string& path, const std::string& text, double width,
                         double height, int kind);
};

} // namespace pdfcompose
