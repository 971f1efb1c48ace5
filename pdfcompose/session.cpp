#include "session.h"

#include "failure.h"
#include "optionalcontent.h"
#include "outputfile.h"
#include "pdfwrite.h"

#include <qpdf/QPDFPageDocumentHelper.hh>

#include <algorithm>
#include <thread>

using namespace pdfcompose;

PDFLibSession::PDFLibSession(const std::string& paths) : dataPaths(paths) {
    if (!dataPaths.empty())
        fonts = std::make_unique<FontResolver>(dataPaths); // reports bad paths at init
}

FontResolver& PDFLibSession::Fonts() {
    if (!fonts)
        fonts = std::make_unique<FontResolver>(dataPaths);
    return *fonts;
}

ComposedDocument& PDFLibSession::Document() {
    if (!document)
        throw Failure("no document is open");
    return *document;
}

void PDFLibSession::BeginDocument(const std::string& path) {
    if (document)
        throw Failure("a document is already open");
    document = std::make_unique<ComposedDocument>(
        path, [this]() -> FontResolver& { return Fonts(); },
        [this](const std::string& source) { return Source(source); });
}

void PDFLibSession::EndDocument() {
    ComposedDocument& open = Document();
    if (open.PageOpen())
        throw Failure("a page is still open"); // the document stays open to be ended properly
    try {
        open.Finish();
    } catch (...) {
        document.reset();
        throw;
    }
    document.reset();
}

std::shared_ptr<PdfSource> PDFLibSession::Source(const std::string& path) {
    std::shared_ptr<PdfSource> source = sources.Get(path);
    for (const std::string& note : source->Notes()) {
        const std::string line = path + ": " + note + "\n";
        if (lastNotes.find(line) == std::string::npos)
            lastNotes += line;
    }
    return source;
}

void PDFLibSession::Merge(const std::vector<std::string>& inputs, const std::string& output) {
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
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(source->Pdf()).getAllPages())
                pages.addPage(page, false);
            layers.Add(merged, *source);
        }
        layers.WriteTo(merged);
    } catch (const std::exception& e) {
        throw Failure("cannot merge into " + output + ": " + e.what());
    }
    WritePdf(merged, target, version);
}

void PDFLibSession::SetVersion(const std::string& path, int tenths) {
    if (tenths < 10 || tenths > 20)
        throw Failure("a PDF version must be 10 (1.0) to 20 (2.0)");
    std::shared_ptr<PdfSource> source = Source(path);
    OutputFile target(path);
    PdfVersion version;
    version.tenths = tenths;
    WritePdf(source->Pdf(), target, version, true);
}

std::vector<RenderChild*> PDFLibSession::Renderers(int count) {
    if (count <= 0)
        count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // More children than pages at once would only wait.
    count = std::min(count, 64);
    while (static_cast<int>(renderers.size()) < count)
        renderers.push_back(std::make_unique<RenderChild>());
    std::vector<RenderChild*> taken;
    for (int i = 0; i < count; ++i)
        taken.push_back(renderers[size_t(i)].get());
    return taken;
}
