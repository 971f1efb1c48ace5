#pragma once

namespace pdfcompose {

// What the library reads from outside files at most, so that a hostile or
// broken file is refused with a reason instead of running without end.
namespace limits {
constexpr long long kFileBytes = 2048ll << 20;    // a source file
constexpr int kPages = 100000;                    // pages of a source
constexpr double kPageMm = 15000;                 // a side of a shown page
constexpr long long kContentBytes = 1024ll << 20; // decoded page content of a source
constexpr int kFormFields = 100000;               // nodes of a form field tree
constexpr int kFormDepth = 64;                    // depth of a form field tree
constexpr double kCheckSeconds = 120;             // reading and checking a source
constexpr double kRenderSeconds = 60;             // rendering one preview (default)
constexpr double kRenderMegabytes = 1024;         // memory of one preview render (default)
constexpr double kRenderPixels = 64e6;            // pixels of one preview
} // namespace limits

} // namespace pdfcompose
