#include "barcode.h"
#include "composeddocument.h"
#include "composer.h"
#include "failure.h"
#include "fontresolver.h"
#include "geometry.h"
#include "optionalcontent.h"
#include "outputfile.h"
#include "pdfsource.h"
#include "pdfwrite.h"
#include "preflight.h"

#include <qpdf/QPDFPageDocumentHelper.hh>

#include <memory>
#include <new>

namespace pdfcompose {
namespace {

// The composing half of a library handle: the fonts (found on first use,
// kept for the handle), the recently opened sources and the open document.
class DocumentComposer final : public Composer {
public:
    DocumentComposer(const std::string& dataPaths, std::string& notes)
        : m_dataPaths(dataPaths), m_notes(notes) {
        if (!m_dataPaths.empty())
            m_fonts = std::make_unique<FontResolver>(m_dataPaths); // bad paths fail here
    }

    void BeginDocument(const std::string& path) override {
        if (m_document)
            throw Failure("a document is already open");
        m_document = std::make_unique<ComposedDocument>(path, FontsLookup(), SourceLookup());
    }

    void EndDocument() override {
        ComposedDocument& open = Document();
        if (open.PageOpen())
            throw Failure("a page is still open"); // the document stays open to be ended properly
        try {
            open.Finish();
        } catch (...) {
            m_document.reset();
            throw;
        }
        m_document.reset();
    }

    void BeginPage(double width, double height) override { Document().BeginPage(width, height); }
    void EndPage() override { Document().EndPage(); }

    void PlacePage(const std::string& pdf, int page, double x, double y, double width,
                   double height, double rotation, double scale, int flags) override {
        Document().PlacePage(pdf, page, x, y, width, height, rotation, scale, flags);
    }
    void PlaceImage(const std::string& image, double x, double y, double width, double height,
                    double rotation) override {
        Document().PlaceImage(image, x, y, width, height, rotation);
    }
    void PlaceTextBox(const std::string& text, const std::string& fontName, double size, double x,
                      double y, double width, double height, const Colour& colour, int halign,
                      int valign, double rotation, bool wrap) override {
        Document().PlaceTextBox(text, fontName, size, x, y, width, height, colour, halign, valign,
                                rotation, wrap);
    }
    void Line(double x1, double y1, double x2, double y2, double lineWidth,
              const Colour& colour) override {
        Document().Line(x1, y1, x2, y2, lineWidth, colour);
    }
    void Rect(double x, double y, double width, double height, double lineWidth,
              const Colour& stroke, const Colour& fill) override {
        Document().Rect(x, y, width, height, lineWidth, stroke, fill);
    }

    int PageCount(const std::string& pdf) override { return Source(pdf)->PageCount(); }

    void ShownSizePt(const std::string& pdf, int page, double& width, double& height) override {
        const PageBox& box = Source(pdf)->Box(page);
        width = box.ShownWidthPt();
        height = box.ShownHeightPt();
    }

    int DeclaredVersion(const std::string& pdf) override {
        return VersionTenths(Source(pdf)->Version());
    }

    void SetVersion(const std::string& path, int tenths) override {
        if (tenths < 10 || tenths > 20)
            throw Failure("a PDF version must be 10 (1.0) to 20 (2.0)");
        std::shared_ptr<PdfSource> source = Source(path);
        OutputFile target(path);
        PdfVersion version;
        version.tenths = tenths;
        WritePdf(source->Pdf(), target, version, true);
    }

    void Merge(const std::vector<std::string>& inputs, const std::string& output) override {
        if (inputs.empty())
            throw Failure("no files to merge");
        std::vector<std::shared_ptr<PdfSource>> sources;
        PdfVersion version;
        OptionalContent layers;
        for (const std::string& input : inputs) {
            sources.push_back(Source(input));
            version.Raise(*sources.back());
        }
        OutputFile target(output);
        QPDF merged;
        try {
            merged.setSuppressWarnings(true);
            merged.emptyPDF();
            QPDFPageDocumentHelper pages(merged);
            for (auto& source : sources) {
                source->Pdf().pushInheritedAttributesToPage();
                for (QPDFPageObjectHelper& page :
                     QPDFPageDocumentHelper(source->Pdf()).getAllPages())
                    pages.addPage(page, false);
                layers.Add(merged, *source);
            }
            layers.WriteTo(merged);
        } catch (const std::exception& e) {
            throw Failure("cannot merge into " + output + ": " + e.what());
        }
        WritePdf(merged, target, version);
    }

    std::vector<PreflightFinding> Preflight(const PreflightRequest& request) override {
        return pdfcompose::Preflight(SourceLookup(), request);
    }

    void WriteBarcode(const std::string& path, const std::string& text, double width, double height,
                      int kind) override {
        Barcode::WritePdf(path, text, width, height, kind);
    }

    std::string PageAlone(const std::string& pdf, int page) override {
        double width = 0, height = 0;
        ShownSizePt(pdf, page, width, height);
        ComposedDocument alone(std::string(), FontsLookup(), SourceLookup());
        alone.BeginPagePt(width, height);
        alone.PlacePage(pdf, page, 0, 0, PtToMm(width), PtToMm(height), 0, 1, 0);
        alone.EndPage();
        return alone.Bytes();
    }

private:
    ComposedDocument& Document() {
        if (!m_document)
            throw Failure("no document is open");
        return *m_document;
    }

    FontResolver& Fonts() {
        if (!m_fonts)
            m_fonts = std::make_unique<FontResolver>(m_dataPaths);
        return *m_fonts;
    }

    // A checked source, opened once while the file stays as it is; its notes
    // join the handle's.
    std::shared_ptr<PdfSource> Source(const std::string& path) {
        std::shared_ptr<PdfSource> source = m_sources.Get(path);
        for (const std::string& note : source->Notes()) {
            const std::string line = path + ": " + note + "\n";
            if (m_notes.find(line) == std::string::npos)
                m_notes += line;
        }
        return source;
    }

    std::function<FontResolver&()> FontsLookup() {
        return [this]() -> FontResolver& { return Fonts(); };
    }
    ComposedDocument::SourceLookup SourceLookup() {
        return [this](const std::string& path) { return Source(path); };
    }

    std::string m_dataPaths;
    std::string& m_notes;
    std::unique_ptr<FontResolver> m_fonts;
    std::unique_ptr<ComposedDocument> m_document;
    SourceCache m_sources;
};

} // namespace
} // namespace pdfcompose

extern "C" pdfcompose::Composer* PDFComposeMakeComposer(const char* dataPaths, std::string* notes,
                                                        std::string* error) {
    try {
        return new pdfcompose::DocumentComposer(dataPaths ? dataPaths : "", *notes);
    } catch (const std::bad_alloc&) {
        *error = "out of memory";
    } catch (const std::exception& e) {
        *error = e.what();
    } catch (...) {
        *error = "internal error";
    }
    return nullptr;
}
