#include "pdfcompose.h"

#include "failure.h"
#include "geometry.h"
#include "pageexporter.h"
#include "session.h"

#include <new>
#include <string>
#include <vector>

using namespace pdfcompose;

namespace {

thread_local std::string g_initError;

// Every entry point runs its body here: nothing thrown leaves the library.
template <typename Body> int Guard(PDFLibSession* session, Body&& body) {
    std::string* error = session ? &session->lastError : &g_initError;
    try {
        error->clear();
        if (session)
            session->lastNotes.clear();
        if (!session)
            throw Failure("no library handle (PDFLibInitW failed or was not called)");
        return body(*session);
    } catch (const Failure& failure) {
        *error = failure.what();
    } catch (const std::bad_alloc&) {
        *error = "out of memory";
    } catch (const std::exception& e) {
        *error = std::string("internal error: ") + e.what();
    } catch (...) {
        *error = "internal error";
    }
    return 0;
}

std::string Text(const char* text, const char* what) {
    if (!text)
        throw Failure(std::string("no ") + what + " given");
    return text;
}

void RequireEmptyOptions(const char* options) {
    if (options && *options)
        throw Failure(std::string("unknown options \"") + options + "\"");
}

int SizeOf(PDFLibSession& session, const char* pdf, int page, double* width, double* height) {
    if (!width || !height)
        throw Failure("no place for the size given");
    double widthPt = 0, heightPt = 0;
    session.Composer().ShownSizePt(Text(pdf, "PDF"), page, widthPt, heightPt);
    *width = PtToMm(widthPt);
    *height = PtToMm(heightPt);
    return 1;
}

PageExporter::Request Asked(const PDFLibImageRequest& request) {
    PageExporter::Request asked;
    asked.pdf = Text(request.pdfPath, "PDF");
    asked.image = Text(request.imagePath, "image file");
    asked.page = request.page;
    asked.dpi = request.dpi;
    asked.quality = request.quality;
    asked.seconds = request.timeLimit;
    asked.megabytes = request.memoryLimit;
    return asked;
}

} // namespace

extern "C" {

int PDFLibInterfaceVersion(void) {
    return PDFCOMPOSE_INTERFACE_VERSION;
}

const char* PDFLibGetLastError(PDFLIB_HANDLE handle) {
    return handle ? handle->lastError.c_str() : g_initError.c_str();
}

const char* PDFLibGetLastNotes(PDFLIB_HANDLE handle) {
    return handle ? handle->lastNotes.c_str() : "";
}

PDFLIB_HANDLE PDFLibInitW(const char* dataPaths, void* trace) {
    PDFLIB_HANDLE handle = nullptr;
    try {
        g_initError.clear();
        if (trace)
            throw Failure("tracing is not offered; pass no trace window");
        handle = new PDFLibSession(dataPaths ? dataPaths : "");
    } catch (const std::exception& e) {
        g_initError = e.what();
    } catch (...) {
        g_initError = "internal error";
    }
    return handle;
}

int PDFLibExit(PDFLIB_HANDLE handle) {
    if (!handle)
        return 0;
    try {
        delete handle;
    } catch (...) {
    }
    return 1;
}

int PDFLibIsCompose(PDFLIB_HANDLE handle) {
    return Guard(handle, [](PDFLibSession&) { return 1; });
}
int PDFLibIsExport(PDFLIB_HANDLE handle) {
    return Guard(handle, [](PDFLibSession&) { return 1; });
}
int PDFLibIsMaster(PDFLIB_HANDLE handle) {
    return 0;
}
int PDFLibIsMisc(PDFLIB_HANDLE handle) {
    return Guard(handle, [](PDFLibSession&) { return 1; });
}

int PDFLibExportPageImageW(PDFLIB_HANDLE handle, const PDFLibImageRequest* request) {
    return Guard(handle, [&](PDFLibSession& session) {
        if (!request)
            throw Failure("no image request given");
        PageExporter::Export(session, Asked(*request));
        return 1;
    });
}

int PDFLibExportPageImagesW(PDFLIB_HANDLE handle, const PDFLibImageRequest* requests, int count,
                            int workers, const char** reasons) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.imageReasons.clear();
        if (count < 1 || !requests || !reasons)
            throw Failure("no image requests given");
        if (workers < 0)
            throw Failure("the number of workers must be 0 or more");
        std::vector<PageExporter::Request> asked;
        std::vector<std::string> refused(static_cast<size_t>(count));
        std::vector<size_t> index; // of each asked request among the given ones
        for (int i = 0; i < count; ++i) {
            try {
                asked.push_back(Asked(requests[i]));
                index.push_back(size_t(i));
            } catch (const Failure& failure) {
                refused[size_t(i)] = failure.what();
            }
        }
        const std::vector<std::string> found =
            asked.empty() ? std::vector<std::string>()
                          : PageExporter::ExportAll(session, asked, workers);
        for (size_t i = 0; i < found.size(); ++i)
            refused[index[i]] = found[i];
        session.imageReasons = std::move(refused);
        int written = 0;
        for (int i = 0; i < count; ++i) {
            reasons[i] = session.imageReasons[size_t(i)].c_str();
            if (session.imageReasons[size_t(i)].empty())
                ++written;
            else if (session.lastError.empty())
                session.lastError = session.imageReasons[size_t(i)];
        }
        return written;
    });
}

int PDFLibComposeBeginDocW(PDFLIB_HANDLE handle, const char* outputPath, const char* options) {
    return Guard(handle, [&](PDFLibSession& session) {
        RequireEmptyOptions(options);
        session.Composer().BeginDocument(Text(outputPath, "output file"));
        return 1;
    });
}

int PDFLibComposeEndDocW(PDFLIB_HANDLE handle, const char* options) {
    return Guard(handle, [&](PDFLibSession& session) {
        RequireEmptyOptions(options);
        session.Composer().EndDocument();
        return 1;
    });
}

int PDFLibComposeBeginPageW(PDFLIB_HANDLE handle, double width, double height,
                            const char* options) {
    return Guard(handle, [&](PDFLibSession& session) {
        RequireEmptyOptions(options);
        session.Composer().BeginPage(width, height);
        return 1;
    });
}

int PDFLibComposeEndPageW(PDFLIB_HANDLE handle) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().EndPage();
        return 1;
    });
}

int PDFLibComposeCountPagesW(PDFLIB_HANDLE handle, const char* pdfPath) {
    return Guard(handle, [&](PDFLibSession& session) {
        return session.Composer().PageCount(Text(pdfPath, "PDF"));
    });
}

int PDFLibComposeGetPDIDocSizeW(PDFLIB_HANDLE handle, const char* pdfPath, int page, double* width,
                                double* height) {
    return Guard(handle, [&](PDFLibSession& session) {
        return SizeOf(session, pdfPath, page, width, height);
    });
}

int PDFLibComposePlacePDIDocW(PDFLIB_HANDLE handle, const char* pdfPath, int page, double x,
                              double y, double width, double height, double rotation, double scale,
                              int flags) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().PlacePage(Text(pdfPath, "PDF"), page, x, y, width, height, rotation,
                                     scale, flags);
        return 1;
    });
}

int PDFLibComposePlaceImgeW(PDFLIB_HANDLE handle, const char* imagePath, double x, double y,
                            double width, double height, double rotation) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().PlaceImage(Text(imagePath, "image"), x, y, width, height, rotation);
        return 1;
    });
}

int PDFLibComposePlaceCMYKTextBoxW(PDFLIB_HANDLE handle, const char* text, const char* fontName,
                                   double size, double x, double y, double width, double height,
                                   double c, double m, double yellow, double k, int halign,
                                   int valign, double rotation, int wrap) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().PlaceTextBox(Text(text, "text"), Text(fontName, "font name"), size, x, y,
                                        width, height, Colour::MakeCmyk(c, m, yellow, k), halign,
                                        valign, rotation, wrap != 0);
        return 1;
    });
}

int PDFLibComposeRGBLine(PDFLIB_HANDLE handle, double x1, double y1, double x2, double y2,
                         double lineWidth, double r, double g, double b) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().Line(x1, y1, x2, y2, lineWidth, Colour::MakeRgb(r, g, b));
        return 1;
    });
}

int PDFLibComposeCMYKLine(PDFLIB_HANDLE handle, double x1, double y1, double x2, double y2,
                          double lineWidth, double c, double m, double yellow, double k) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().Line(x1, y1, x2, y2, lineWidth, Colour::MakeCmyk(c, m, yellow, k));
        return 1;
    });
}

int PDFLibComposeRGBRect(PDFLIB_HANDLE handle, double x, double y, double width, double height,
                         double lineWidth, double strokeR, double strokeG, double strokeB,
                         double fillR, double fillG, double fillB) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().Rect(x, y, width, height, lineWidth,
                                Colour::MakeRgb(strokeR, strokeG, strokeB),
                                Colour::MakeRgb(fillR, fillG, fillB));
        return 1;
    });
}

int PDFLibComposeCMYKRect(PDFLIB_HANDLE handle, double x, double y, double width, double height,
                          double lineWidth, double strokeC, double strokeM, double strokeY,
                          double strokeK, double fillC, double fillM, double fillY, double fillK) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().Rect(x, y, width, height, lineWidth,
                                Colour::MakeCmyk(strokeC, strokeM, strokeY, strokeK),
                                Colour::MakeCmyk(fillC, fillM, fillY, fillK));
        return 1;
    });
}

int PDFLibMiscCreateBarcodeW(PDFLIB_HANDLE handle, const char* outputPath, const char* text,
                             double width, double height, int kind, int options) {
    return Guard(handle, [&](PDFLibSession& session) {
        if (options != 0)
            throw Failure("unknown barcode options " + std::to_string(options));
        session.Composer().WriteBarcode(Text(outputPath, "output file"), Text(text, "text"), width,
                                        height, kind);
        return 1;
    });
}

int PDFLibMiscGetPDFVersionW(PDFLIB_HANDLE handle, const char* pdfPath) {
    return Guard(handle, [&](PDFLibSession& session) {
        const int tenths = session.Composer().DeclaredVersion(Text(pdfPath, "PDF"));
        if (tenths == 0)
            throw Failure(std::string(pdfPath) + ": the file declares no valid PDF version");
        return tenths;
    });
}

int PDFLibMiscSetPDFVersionW(PDFLIB_HANDLE handle, const char* pdfPath, int version) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.Composer().SetVersion(Text(pdfPath, "PDF"), version);
        return 1;
    });
}

int PDFLibMiscGetPageSizeW(PDFLIB_HANDLE handle, const char* pdfPath, int box, int page,
                           double* width, double* height) {
    return Guard(handle, [&](PDFLibSession& session) {
        if (box != 0)
            throw Failure("unknown page box " + std::to_string(box) + " (0 is the visible box)");
        return SizeOf(session, pdfPath, page, width, height);
    });
}

int PDFLibMiscMergeW(PDFLIB_HANDLE handle, const char* const* inputPaths, int count,
                     const char* outputPath) {
    return Guard(handle, [&](PDFLibSession& session) {
        if (!inputPaths || count <= 0)
            throw Failure("no files to merge");
        std::vector<std::string> inputs;
        for (int i = 0; i < count; ++i)
            inputs.push_back(Text(inputPaths[i], "input file"));
        session.Composer().Merge(inputs, Text(outputPath, "output file"));
        return 1;
    });
}

int PDFLibPreflightW(PDFLIB_HANDLE handle, const PDFLibPreflightRequest* request,
                     const PDFLibPreflightFinding** findings, int* count) {
    return Guard(handle, [&](PDFLibSession& session) {
        session.preflightFindings.clear();
        session.preflightView.clear();
        if (!request || !findings || !count)
            throw Failure("no preflight request or no place for the findings given");
        *findings = nullptr;
        *count = 0;
        PreflightRequest asked;
        asked.path = Text(request->pdfPath, "PDF");
        asked.width = request->width;
        asked.height = request->height;
        asked.bleed = request->bleed;
        asked.pages = request->pages;
        asked.cmyk = request->cmyk != 0;
        asked.minDpi = request->minDpi == 0 ? 250 : request->minDpi;
        session.preflightFindings = session.Composer().Preflight(asked);
        for (const PreflightFinding& found : session.preflightFindings)
            session.preflightView.push_back(PDFLibPreflightFinding{
                found.code.c_str(), found.page, found.pages, found.value, found.text.c_str()});
        *findings = session.preflightView.empty() ? nullptr : session.preflightView.data();
        *count = static_cast<int>(session.preflightView.size());
        return 1;
    });
}

} // extern "C"
