#pragma once

#include "composeddocument.h"
#include "fontresolver.h"
#include "pdfcompose.h"
#include "pdfsource.h"
#include "preflight.h"
#include "renderchild.h"

#include <memory>
#include <string>
#include <vector>

// What a handle of the C interface points to: the last error and notes, the
// fonts (found on first use, kept for the session), the recently opened
// sources and the open document.
struct PDFLibSession {
    explicit PDFLibSession(const std::string& dataPaths);

    std::string lastError;
    std::string lastNotes;                 // notes on the sources the current call read
    std::vector<std::string> imageReasons; // of the last PDFLibExportPageImagesW
    // Of the last PDFLibPreflightW: the findings and their C view.
    std::vector<pdfcompose::PreflightFinding> preflightFindings;
    std::vector<PDFLibPreflightFinding> preflightView;

    pdfcompose::FontResolver& Fonts();
    pdfcompose::ComposedDocument& Document();
    void BeginDocument(const std::string& path);
    void EndDocument();
    void DropDocument() { document.reset(); }

    // A checked source, opened once while the file stays as it is; its notes
    // join lastNotes.
    std::shared_ptr<pdfcompose::PdfSource> Source(const std::string& path);
    void Merge(const std::vector<std::string>& inputs, const std::string& output);
    void SetVersion(const std::string& path, int tenths);
    // count render children (0: one per processor), kept for the session.
    std::vector<pdfcompose::RenderChild*> Renderers(int count);

private:
    std::string dataPaths;
    std::unique_ptr<pdfcompose::FontResolver> fonts;
    std::unique_ptr<pdfcompose::ComposedDocument> document;
    pdfcompose::SourceCache sources;
    std::vector<std::unique_ptr<pdfcompose::RenderChild>> renderers;
};
