#pragma once

#include "markup/result.h"
#include "pdfcompose/pdfcompose.h"

#include <QString>
#include <QStringList>

#include <vector>

// The PDF composition library, loaded at run time from the program's folder
// and bound by entry point name. One object serves the whole program: it is
// loaded once at start-up and unloaded when destroyed. Every wrapper returns
// 0 when the library, or its entry point, is missing; lengths are mm, angles
// degrees clockwise, colour components 0 to 1 with -1 for none, page numbers
// from 1 (see pdfcompose/pdfcompose.h for each call's contract).
class CPDFServer {
public:
    CPDFServer();
    ~CPDFServer();
    CPDFServer(const CPDFServer&) = delete;
    CPDFServer& operator=(const CPDFServer&) = delete;

    // The library's file in the program's folder.
    static QString DefaultLibraryPath();
    // Loads the library, refuses one whose interface version differs from
    // the header's, binds every entry point, and starts a session
    // (dataPaths: extra font files or folders, ';'-separated). False with
    // LoadError() when anything fails; a loaded library is unloaded first.
    bool Load(const QString& libraryPath = DefaultLibraryPath(),
              const QString& dataPaths = QString());
    void Unload();
    bool IsLoaded() const { return m_handle != nullptr; }
    // The file the library was loaded from; empty while none is loaded.
    const QString& LibraryPath() const { return m_libraryPath; }
    const QString& LoadError() const { return m_loadError; }
    // Why the last failed call failed (the library's text).
    QString LastError() const;
    // What the last call repaired, opened or left out to read its PDFs, one
    // line per note ("PATH: note"); empty when nothing.
    QString LastNotes() const;
    // Whether the loaded library offers an entry point of that name.
    bool HasEntryPoint(const char* name) const;
    // The entry point names in binding order.
    static const std::vector<const char*>& EntryPointNames();

    int IsCompose() const;
    int IsExport() const;
    int IsMisc() const;
    // Renders page (from 1) of pdf as it prints into the JPEG file imagePath.
    int ExportImage(const QString& pdf, int page, const QString& imagePath, int dpi = 96,
                    int quality = 100);
    // A page to render into a JPEG file, for ExportImages.
    struct ImageJob {
        QString pdf;
        int page = 1; // from 1
        QString imagePath;
    };
    // Renders many pages as ExportImage renders each, up to workers at once
    // (0: one per processor) when the library can, else one after another.
    // For each job in order: empty when its image was written, else why not.
    QStringList ExportImages(const std::vector<ImageJob>& jobs, int workers = 0, int dpi = 96,
                             int quality = 100);
    // What Preflight checks an artwork against (see PDFLibPreflightW).
    struct PreflightRequest {
        QString pdf;
        double width = 0, height = 0; // finished size, mm; 0: not checked
        double bleed = 0;             // mm beyond the finished size on each side
        int pages = 0;                // pages the placement uses; 0: not checked
        bool cmyk = false;
        double minDpi = 250;
    };
    struct PreflightFinding {
        QString code; // the library's code ("bleed", "rgb", "dpi", ...)
        int page = 0; // the first page with it, from 1; 0: the whole file
        int pages = 0;
        double value = 0;
        QString text; // the library's description
    };
    // Checks an artwork without changing it: its findings, or why the call
    // failed (a missing file, a library without preflight).
    Result<std::vector<PreflightFinding>> Preflight(const PreflightRequest& request);
    int ComposeBeginDoc(const QString& outputPath);
    int ComposeEndDoc();
    int ComposeBeginPage(double width, double height);
    int ComposeEndPage();
    int ComposeCountPages(const QString& pdf);
    int ComposeGetPDIDocSize(const QString& pdf, int page, double& width, double& height);
    int ComposePlacePDIDoc(const QString& pdf, int page, double x, double y, double width,
                           double height, double rotation, double scale = 1, int flags = 0);
    int ComposePlaceImage(const QString& image, double x, double y, double width, double height,
                          double rotation);
    int ComposePlaceCMYKTextBox(const QString& text, const QString& fontName, double size, double x,
                                double y, double width, double height, double c, double m,
                                double yellow, double k, int halign, int valign, double rotation,
                                int wrap = 1);
    int ComposeRGBLine(double x1, double y1, double x2, double y2, double lineWidth, double r,
                       double g, double b);
    int ComposeCMYKLine(double x1, double y1, double x2, double y2, double lineWidth, double c,
                        double m, double yellow, double k);
    int ComposeRGBRect(double x, double y, double width, double height, double lineWidth,
                       double strokeR, double strokeG, double strokeB, double fillR, double fillG,
                       double fillB);
    int ComposeCMYKRect(double x, double y, double width, double height, double lineWidth,
                        double strokeC, double strokeM, double strokeY, double strokeK,
                        double fillC, double fillM, double fillY, double fillK);
    int MiscCreateBarcode(const QString& outputPath, const QString& text, double width,
                          double height, int kind = 3, int options = 0);
    int MiscGetPDFVersion(const QString& pdf);
    int MiscSetPDFVersion(const QString& pdf, int version);
    int MiscGetPageSize(const QString& pdf, int page, double& width, double& height);
    int MiscMerge(const QStringList& inputs, const QString& outputPath);

private:
    template <typename Function> Function Bound(int index) const {
        return m_handle ? reinterpret_cast<Function>(m_entries[index]) : nullptr;
    }

    void* m_library = nullptr;
    PDFLIB_HANDLE m_handle = nullptr;
    std::vector<void*> m_entries;
    decltype(&PDFLibGetLastError) m_lastError = nullptr;
    decltype(&PDFLibGetLastNotes) m_lastNotes = nullptr;
    decltype(&PDFLibExportPageImagesW) m_exportImages = nullptr; // not in every library
    decltype(&PDFLibPreflightW) m_preflight = nullptr;
    QString m_loadError;
    QString m_libraryPath;
};
