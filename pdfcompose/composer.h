#pragma once

#include "colour.h"
#include "preflight.h"

#include <string>
#include <vector>

namespace pdfcompose {

// Everything the library does with qpdf: composing documents, reading and
// checking sources, merging, barcodes and preflight. It is built as a module
// of its own (libpdfcompose-composer.so, beside the library) and opened on
// the first call that needs it, so that a process that only renders
// previews never loads qpdf and the libraries it pulls in (a crypto library
// among them), which costs every such process several milliseconds.
//
// Lengths are in mm unless a name says pt. Every method throws Failure.
class Composer {
public:
    virtual ~Composer() = default;

    // The open document: one at a time.
    virtual void BeginDocument(const std::string& path) = 0;
    // Finishes and writes the document; it is closed even when that fails,
    // but not while a page is still open.
    virtual void EndDocument() = 0;
    virtual void BeginPage(double width, double height) = 0;
    virtual void EndPage() = 0;
    virtual void PlacePage(const std::string& pdf, int page, double x, double y, double width,
                           double height, double rotation, double scale, int flags) = 0;
    virtual void PlaceImage(const std::string& image, double x, double y, double width,
                            double height, double rotation) = 0;
    virtual void PlaceTextBox(const std::string& text, const std::string& fontName, double size,
                              double x, double y, double width, double height, const Colour& colour,
                              int halign, int valign, double rotation, bool wrap) = 0;
    virtual void Line(double x1, double y1, double x2, double y2, double lineWidth,
                      const Colour& colour) = 0;
    virtual void Rect(double x, double y, double width, double height, double lineWidth,
                      const Colour& stroke, const Colour& fill) = 0;

    // Sources, checked and kept while their files stay as they are.
    virtual int PageCount(const std::string& pdf) = 0;
    // The page as it shows: its visible box, turned by its /Rotate.
    virtual void ShownSizePt(const std::string& pdf, int page, double& width, double& height) = 0;
    // The declared version in tenths (14 for 1.4); 0 when none is valid.
    virtual int DeclaredVersion(const std::string& pdf) = 0;
    virtual void SetVersion(const std::string& pdf, int tenths) = 0;
    virtual void Merge(const std::vector<std::string>& inputs, const std::string& output) = 0;
    virtual std::vector<PreflightFinding> Preflight(const PreflightRequest& request) = 0;
    virtual void WriteBarcode(const std::string& path, const std::string& text, double width,
                              double height, int kind) = 0;

    // A one-page PDF in memory, of the page's shown size, with the page
    // placed on it exactly as a composed document places it: what prints.
    virtual std::string PageAlone(const std::string& pdf, int page) = 0;
};

} // namespace pdfcompose

extern "C" {
// The module's one entry point. dataPaths: font files or folders searched
// first (';'-separated; bad ones are refused here). Notes on the sources the
// calls read are appended to *notes, a line each; it outlives the composer.
// Null with *error set when the composer cannot be made.
__attribute__((visibility("default"))) pdfcompose::Composer*
PDFComposeMakeComposer(const char* dataPaths, std::string* notes, std::string* error);
}
