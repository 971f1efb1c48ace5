#pragma once

#include "composer.h"
#include "lazylibrary.h"
#include "pdfcompose.h"
#include "preflight.h"
#include "renderchild.h"

#include <memory>
#include <string>
#include <vector>

// What a handle of the C interface points to: the last error and notes, the
// render children and the composer (see Composer), opened on first use.
struct PDFLibSession {
    // A composer is made here when font paths are given, so that bad paths
    // are refused at once; throws Failure.
    explicit PDFLibSession(const std::string& dataPaths);
    ~PDFLibSession();

    std::string lastError;
    std::string lastNotes;                 // notes on the sources the current call read
    std::vector<std::string> imageReasons; // of the last PDFLibExportPageImagesW
    // Of the last PDFLibPreflightW: the findings and their C view.
    std::vector<pdfcompose::PreflightFinding> preflightFindings;
    std::vector<PDFLibPreflightFinding> preflightView;

    // Opens the composing module on first use; throws Failure when it
    // cannot be opened.
    pdfcompose::Composer& Composer();
    // count render children (0: one per processor), kept for the session.
    std::vector<pdfcompose::RenderChild*> Renderers(int count);

private:
    std::string dataPaths;
    std::unique_ptr<pdfcompose::Composer> composer;
    std::vector<std::unique_ptr<pdfcompose::RenderChild>> renderers;
};
