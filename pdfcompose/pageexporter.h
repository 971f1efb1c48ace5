#pragma once

#include <string>
#include <vector>

namespace pdfcompose {

// Renders a page to a JPEG file as an export command line asks (the syntax
// is in pdfcompose.h).
class PageExporter {
public:
    struct Request {
        std::string folder, prefix, format = "jpg", pdf;
        int digits = 0, dpi = 96, quality = 100, page = 0;
        bool printMode = false;
    };

    // Throws Failure naming the word that is wrong.
    static Request Parse(const std::string& commandLine);
    // The image file the request writes.
    static std::string OutputPath(const Request& request);
    // Renders and writes the image; throws Failure.
    static void Export(const Request& request);

private:
    static std::vector<std::string> Words(const std::string& commandLine);
};

} // namespace pdfcompose
