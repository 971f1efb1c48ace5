#pragma once

#include <string>
#include <vector>

struct PDFLibSession;

namespace pdfcompose {

// Renders a page to a JPEG file as it prints: the page is placed on a page
// of its own size in memory exactly as a composed document places it, and
// that page is rendered. The rendering runs in the session's render child
// processes (see RenderChild), each page with a time and memory budget, so
// that a page that would render without end is refused instead of holding
// the program.
class PageExporter {
public:
    struct Request {
        std::string pdf, image;
        int page = 0, dpi = 96, quality = 100;
        double seconds = 0, megabytes = 0; // 0: the defaults in limits
    };

    // Renders and writes the image; throws Failure.
    static void Export(PDFLibSession& session, const Request& request);
    // Renders and writes many images, up to workers pages at once (each in
    // its own child). The reason a page failed, or empty, for each request
    // in order; throws Failure only when no page can be rendered at all.
    static std::vector<std::string> ExportAll(PDFLibSession& session,
                                              const std::vector<Request>& requests, int workers);
};

} // namespace pdfcompose
