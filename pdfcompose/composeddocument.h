#pragma once

#include "colour.h"
#include "embeddedfont.h"
#include "fontresolver.h"
#include "geometry.h"
#include "optionalcontent.h"
#include "outputfile.h"
#include "pdfsource.h"
#include "pdfwrite.h"

#include <qpdf/QPDF.hh>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pdfcompose {

// One output document being composed: pages of content drawn in millimetres
// from the top-left corner, written when it is finished. Sources stay open
// until then because their objects are copied lazily by the writer.
class ComposedDocument {
public:
    using SourceLookup = std::function<std::shared_ptr<PdfSource>(const std::string&)>;

    // Reserves the target (see OutputFile); throws Failure. An empty path
    // composes in memory (see Bytes). sources opens a checked source.
    ComposedDocument(const std::string& outputPath, std::function<FontResolver&()> fonts,
                     SourceLookup sources);

    bool PageOpen() const { return m_pageOpen; }
    int PageCount() const { return m_pageCount; }
    void BeginPage(double width, double height);
    // A page of any positive size in points (a page image in memory).
    void BeginPagePt(double width, double height);
    void EndPage();

    // The checked source of a path, kept until the document is written.
    std::shared_ptr<PdfSource> Source(const std::string& path);

    void PlacePage(const std::string& path, int page, double x, double y, double width,
                   double height, double rotation, double scale, int flags);
    void PlaceImage(const std::string& path, double x, double y, double width, double height,
                    double rotation);
    void PlaceTextBox(const std::string& text, const std::string& fontName, double size, double x,
                      double y, double width, double height, const Colour& colour, int halign,
                      int valign, double rotation, bool wrap);
    void Line(double x1, double y1, double x2, double y2, double lineWidth, const Colour& colour);
    void Rect(double x, double y, double width, double height, double lineWidth,
              const Colour& stroke, const Colour& fill);

    // Writes and renames the document; throws Failure (the target is then
    // left as it was).
    void Finish();
    // The finished document's bytes (a document composed in memory), to be
    // rendered and dropped: identical resources are not looked for, as they
    // would only make the bytes smaller.
    std::string Bytes();

private:
    struct Image {
        QPDFObjectHandle object;
        std::string name;
    };

    void RequirePage() const;
    // The map from a box [0, w] x [0, h] (pt, y up) turned clockwise and put
    // with its footprint's top-left at (x, y) mm on the page.
    Matrix Placement(double w, double h, int turns, double x, double y) const;
    EmbeddedFont& Font(FontFace& face);
    std::pair<std::unique_ptr<EmbeddedFont>, std::string>& Embedded(FontFace& face);
    void AdoptPlacedFonts();
    void Complete(bool shareResources);

    std::unique_ptr<OutputFile> m_output;
    std::function<FontResolver&()> m_fonts;
    SourceLookup m_lookup;
    QPDF m_pdf;
    std::vector<std::shared_ptr<PdfSource>> m_keptSources;
    OptionalContent m_optionalContent;
    std::map<std::pair<const PdfSource*, int>, std::pair<QPDFObjectHandle, std::string>> m_forms;
    std::map<std::string, Image> m_images;
    std::map<FontFace*, std::pair<std::unique_ptr<EmbeddedFont>, std::string>> m_embedded;
    PdfVersion m_version;

    bool m_pageOpen = false;
    int m_pageCount = 0;
    double m_pageWidth = 0, m_pageHeight = 0; // pt
    std::string m_content;
    std::map<std::string, QPDFObjectHandle> m_xobjects;
    std::map<std::string, QPDFObjectHandle> m_fontResources;
};

} // namespace pdfcompose
