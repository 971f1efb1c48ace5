#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pdfcompose {

class PdfSource;

// What an artwork file is placed as, for Preflight.
struct PreflightRequest {
    std::string path;
    double width = 0, height = 0; // finished size in mm, upright or turned; 0: not checked
    double bleed = 0;             // mm the page must reach beyond the finished size on each side
    int pages = 0;                // pages the placement uses; 0: not checked
    bool cmyk = false;            // RGB and spot colours are findings
    double minDpi = 250;          // images below this at their placed size are findings
};

// One thing about the file a press operator should know. Findings equal but
// for their page are joined: page is the first, pages how many had it.
struct PreflightFinding {
    std::string code;
    int page = 0; // from 1; 0: the file as a whole
    int pages = 0;
    double value = 0;
    std::string text;
};

// Checks an artwork file against what it is placed as; never changes the
// file. A file that cannot be read (damaged, locked) is a finding; only a
// missing file or a bad request throws Failure.
// sources opens a checked source.
std::vector<PreflightFinding>
Preflight(const std::function<std::shared_ptr<PdfSource>(const std::string&)>& sources,
          const PreflightRequest& request);

} // namespace pdfcompose
