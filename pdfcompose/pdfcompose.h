#pragma once

/*
 * PDF composition library: composes press sheets from pages of other PDFs,
 * images, text, lines and rectangles; renders page images; makes barcodes;
 * merges files. Loaded at run time and bound by the entry point names below.
 * Its composing module, libpdfcompose-composer.so, must lie beside it; it is
 * opened by the first call that needs more than rendering a plain page, or by
 * PDFLibInitW when font paths are given, and a call that needs it fails
 * naming it when it is missing.
 *
 * Conventions of every call:
 * - Lengths are millimetres. The origin is the top-left corner of the page
 *   being composed, y grows downwards.
 * - Rotations are degrees clockwise and must be a multiple of 90 (negative
 *   values and values above 360 are taken modulo 360).
 * - A placed object of width w and height h is first scaled to w x h, then
 *   turned about its own centre; its footprint (w x h, or h x w at 90 and 270)
 *   has its top-left corner at (x, y).
 * - Colour components run from 0 to 1. A colour whose components are all -1
 *   means "none" (no stroke, no fill). Registration colour is CMYK 1, 1, 1, 1.
 * - Text and file paths are UTF-8.
 * - Page numbers count from 1.
 * - Page sizes are the size of the page as a viewer shows it: the CropBox
 *   (clipped to the MediaBox) in units of the page's /UserUnit, turned by
 *   the page's /Rotate.
 * - A source PDF is what a viewer prints: annotations that print are part
 *   of the page, others are not; layers (optional content) that do not
 *   print stay hidden. It must be a regular file; files qpdf can repair are
 *   read with a note (PDFLibGetLastNotes), damaged page trees are refused.
 *   Files encrypted with an empty user password are read when they allow
 *   printing. A source is read and checked once while it stays unchanged on
 *   disk (same size, time and inode), however often it is asked about.
 * - Every call that returns int returns 0 on failure and nonzero on success
 *   (a count or version where stated). After a failure PDFLibGetLastError
 *   tells why. No call throws; no call leaves a partly written file in place
 *   of a target: every file is written to a temporary file and renamed.
 * - A handle is used by one thread at a time.
 */

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define PDFCOMPOSE_API __attribute__((visibility("default")))
#else
#define PDFCOMPOSE_API
#endif

/* The interface this header describes. A program compares it with
 * PDFLibInterfaceVersion() of the library it loaded and refuses a library
 * whose number differs. */
#define PDFCOMPOSE_INTERFACE_VERSION 3

typedef struct PDFLibSession* PDFLIB_HANDLE;

/* The interface version the library implements. Callable before init. */
PDFCOMPOSE_API int PDFLibInterfaceVersion(void);

/* Why the last failed call on this handle failed (UTF-8, never NULL; empty
 * when the last call succeeded). With a NULL handle: why the last
 * PDFLibInitW on this thread failed. The text stays valid until the next call
 * on the same handle (or the next PDFLibInitW, for NULL). */
PDFCOMPOSE_API const char* PDFLibGetLastError(PDFLIB_HANDLE handle);

/* Notes on the source PDFs the last call on this handle read (UTF-8, never
 * NULL, empty when there are none): one line per note, each "PATH: note",
 * for what was repaired, opened or left out to read a file as it prints.
 * Set by successful and failed calls alike; valid until the next call on the
 * same handle. */
PDFCOMPOSE_API const char* PDFLibGetLastNotes(PDFLIB_HANDLE handle);

/* Starts a session. dataPaths: NULL or a list of font files or folders
 * separated by ';' that are searched before the system's fonts. trace: must be
 * NULL. Returns NULL on failure. */
PDFCOMPOSE_API PDFLIB_HANDLE PDFLibInitW(const char* dataPaths, void* trace);
/* Ends the session: an open document is dropped without writing anything.
 * The handle is invalid afterwards. Returns 1 (0 for a NULL handle). */
PDFCOMPOSE_API int PDFLibExit(PDFLIB_HANDLE handle);

/* Which facilities this library offers: compose, export and misc return 1;
 * master (batch processing) is not offered and returns 0. */
PDFCOMPOSE_API int PDFLibIsCompose(PDFLIB_HANDLE handle);
PDFCOMPOSE_API int PDFLibIsExport(PDFLIB_HANDLE handle);
PDFCOMPOSE_API int PDFLibIsMaster(PDFLIB_HANDLE handle);
PDFCOMPOSE_API int PDFLibIsMisc(PDFLIB_HANDLE handle);

/* What PDFLibExportPageImageW renders. Every path is taken as it is: no
 * part of it is parsed. */
typedef struct PDFLibImageRequest {
    const char* pdfPath;   /* the source PDF */
    int page;              /* the page, from 1 */
    const char* imagePath; /* the JPEG file to write (its folder must exist) */
    int dpi;               /* resolution, 1 to 2400 */
    int quality;           /* JPEG quality, 1 to 100 */
    double timeLimit;      /* seconds the rendering may take; 0: 60 */
    double memoryLimit;    /* megabytes the rendering may use; 0: 1024 */
} PDFLibImageRequest;

/* Renders one page to a JPEG file: the page's visible box on white, as it
 * prints (what PDFLibComposePlacePDIDocW places). A rendering that needs
 * more time or memory than the request allows, or an image of more than 64
 * million pixels, is refused with a reason. The image is renamed into place
 * whole but not waited for on disk: a preview is made again when lost.
 * A page that composing would not change (no annotations, layers, form,
 * /UserUnit or encryption, nothing repaired) is rendered from its file as it
 * is, and only that page is read: damage elsewhere in the file is found when
 * the file is placed or checked. Any other page is read and checked as
 * PDFLibComposePlacePDIDocW reads it. A file that shrinks while its page
 * renders (rewritten elsewhere) fails the page with that reason. */
PDFCOMPOSE_API int PDFLibExportPageImageW(PDFLIB_HANDLE handle, const PDFLibImageRequest* request);
/* Renders count pages as PDFLibExportPageImageW renders each, up to workers
 * at once (0: as many as the machine has processors), each in a process of
 * its own. reasons (count entries) receives for each request "" when its
 * image was written, else why not; the texts stay valid until the next call
 * on the handle. Returns the number of images written; PDFLibGetLastError
 * tells the first failure. */
PDFCOMPOSE_API int PDFLibExportPageImagesW(PDFLIB_HANDLE handle, const PDFLibImageRequest* requests,
                                           int count, int workers, const char** reasons);

/* Begins a document that will be written to outputPath when it ends. Only
 * one document is open per handle. The target's folder must exist; the
 * target itself is not touched before the document ends. options: NULL or
 * "". */
PDFCOMPOSE_API int PDFLibComposeBeginDocW(PDFLIB_HANDLE handle, const char* outputPath,
                                          const char* options);
/* Writes the open document (it needs at least one page and no open page) and
 * closes it. The PDF version is the highest of 1.4 and every placed source. */
PDFCOMPOSE_API int PDFLibComposeEndDocW(PDFLIB_HANDLE handle, const char* options);
/* Begins a page of width x height (each 1 to 5080 mm). */
PDFCOMPOSE_API int PDFLibComposeBeginPageW(PDFLIB_HANDLE handle, double width, double height,
                                           const char* options);
PDFCOMPOSE_API int PDFLibComposeEndPageW(PDFLIB_HANDLE handle);

/* Number of pages of a PDF (0 on failure). */
PDFCOMPOSE_API int PDFLibComposeCountPagesW(PDFLIB_HANDLE handle, const char* pdfPath);
/* Size in mm of a page of a PDF. */
PDFCOMPOSE_API int PDFLibComposeGetPDIDocSizeW(PDFLIB_HANDLE handle, const char* pdfPath, int page,
                                               double* width, double* height);
/* Places a page of a PDF on the open page, as a viewer shows it (its visible
 * box turned by its /Rotate), stretched to (width x height) x scale and turned
 * by rotation. flags: 0 stretch to the box; 1 keep the page's proportions,
 * fitted and centred in the box. The source is read and checked completely
 * when it is first asked about (see the conventions above); a damaged, empty
 * or password-protected PDF fails here. Each source page becomes one object
 * of the document however often it is placed; the layers of the placed
 * sources go into the document with the states they print in. */
PDFCOMPOSE_API int PDFLibComposePlacePDIDocW(PDFLIB_HANDLE handle, const char* pdfPath, int page,
                                             double x, double y, double width, double height,
                                             double rotation, double scale, int flags);
/* Places a JPEG image (grey, RGB or CMYK), stretched to width x height and
 * turned by rotation. The compressed data is embedded unchanged. */
PDFCOMPOSE_API int PDFLibComposePlaceImgeW(PDFLIB_HANDLE handle, const char* imagePath, double x,
                                           double y, double width, double height, double rotation);
/* Draws text in the box (x, y, width, height). The text runs turned by
 * rotation inside the box (at 90 and 270 its lines run along the box's
 * height). fontName: a face name such as "NanumGothic", "맑은 고딕" or "Arial";
 * characters the face lacks come from a font that has them; a character no
 * installed font has fails the call. size: points. Text colour CMYK; all -1
 * means registration colour. halign: 0 left, 1 centre, 2 right; valign: 0 top,
 * 1 centre, 2 bottom. wrap: nonzero breaks lines by characters at the box's
 * width; '\n' always breaks. Only lines that fit wholly in the box are drawn,
 * and nothing is drawn outside the box. The fonts are embedded as subsets
 * and the text stays extractable. */
PDFCOMPOSE_API int PDFLibComposePlaceCMYKTextBoxW(PDFLIB_HANDLE handle, const char* text,
                                                  const char* fontName, double size, double x,
                                                  double y, double width, double height, double c,
                                                  double m, double yellow, double k, int halign,
                                                  int valign, double rotation, int wrap);
/* A straight line from (x1, y1) to (x2, y2) with butt caps. */
PDFCOMPOSE_API int PDFLibComposeRGBLine(PDFLIB_HANDLE handle, double x1, double y1, double x2,
                                        double y2, double lineWidth, double r, double g, double b);
PDFCOMPOSE_API int PDFLibComposeCMYKLine(PDFLIB_HANDLE handle, double x1, double y1, double x2,
                                         double y2, double lineWidth, double c, double m,
                                         double yellow, double k);
/* A rectangle, filled (unless the fill is none) and then stroked with
 * lineWidth centred on its edges (unless the stroke is none). */
PDFCOMPOSE_API int PDFLibComposeRGBRect(PDFLIB_HANDLE handle, double x, double y, double width,
                                        double height, double lineWidth, double strokeR,
                                        double strokeG, double strokeB, double fillR, double fillG,
                                        double fillB);
PDFCOMPOSE_API int PDFLibComposeCMYKRect(PDFLIB_HANDLE handle, double x, double y, double width,
                                         double height, double lineWidth, double strokeC,
                                         double strokeM, double strokeY, double strokeK,
                                         double fillC, double fillM, double fillY, double fillK);

/* Writes a one-page PDF of width x height holding the barcode of text as
 * vector bars in registration colour filling the page. kind 3: Code 128 (text
 * it cannot encode, such as Hangul, fails). options: must be 0. */
PDFCOMPOSE_API int PDFLibMiscCreateBarcodeW(PDFLIB_HANDLE handle, const char* outputPath,
                                            const char* text, double width, double height, int kind,
                                            int options);
/* The PDF version of a file times ten (14 for 1.4); 0 on failure. */
PDFCOMPOSE_API int PDFLibMiscGetPDFVersionW(PDFLIB_HANDLE handle, const char* pdfPath);
/* Rewrites a file so that it declares version / 10 (14 for 1.4, 10 to 20). */
PDFCOMPOSE_API int PDFLibMiscSetPDFVersionW(PDFLIB_HANDLE handle, const char* pdfPath, int version);
/* Size in mm of a page of a PDF. box: must be 0 (the visible box). */
PDFCOMPOSE_API int PDFLibMiscGetPageSizeW(PDFLIB_HANDLE handle, const char* pdfPath, int box,
                                          int page, double* width, double* height);
/* Writes the pages of count files, in order, into outputPath. */
PDFCOMPOSE_API int PDFLibMiscMergeW(PDFLIB_HANDLE handle, const char* const* inputPaths, int count,
                                    const char* outputPath);

/* What PDFLibPreflightW checks a file against: what its pages are placed
 * as. */
typedef struct PDFLibPreflightRequest {
    const char* pdfPath;  /* the artwork */
    double width, height; /* finished size in mm, upright or turned; 0: not checked */
    double bleed;         /* mm the page must reach beyond the finished size on each side */
    int pages;            /* pages the placement uses; 0: not checked */
    int cmyk;             /* nonzero: RGB and spot colours are findings */
    double minDpi;        /* images below this at their placed size are findings; 0: 250 */
} PDFLibPreflightRequest;

/* One finding. Codes: "damaged" (the file cannot be read as it prints),
 * "encrypted" (encrypted, or locked by a password or against printing),
 * "repaired", "pages" (value: the pages found), "size" (value: the width
 * found, mm), "bleed" and "bleed-box" (value: the least bleed found, mm),
 * "rgb", "spot" (value: how many), "overprint" (white set to overprint),
 * "dpi" (value: the lowest resolution found), "font" (not embedded). */
typedef struct PDFLibPreflightFinding {
    const char* code;
    int page;         /* the first page with it, from 1; 0: the file as a whole */
    int pages;        /* how many pages have it (1 for the file as a whole) */
    double value;     /* see the codes; 0 when none */
    const char* text; /* a short English description, with the numbers found */
} PDFLibPreflightFinding;

/* Checks an artwork file against what it is placed as, page by page: page
 * size (the TrimBox when present) against the finished size, bleed (the
 * visible box beyond the TrimBox, or beyond the centred finished size, and
 * a BleedBox where present), page count, colour on a CMYK job (page
 * content, forms, images, inline images and shadings), white set to
 * overprint, fonts not embedded, images below minDpi where placed. A file
 * that cannot be read, is locked or was repaired yields a finding, not a
 * failure; a missing file fails. The file is never changed. *findings
 * receives *count findings (NULL when none), valid until the next call on
 * the handle. Returns 1, or 0 on failure. */
PDFCOMPOSE_API int PDFLibPreflightW(PDFLIB_HANDLE handle, const PDFLibPreflightRequest* request,
                                    const PDFLibPreflightFinding** findings, int* count);

#ifdef __cplusplus
}
#endif
