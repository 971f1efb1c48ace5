/* Compiled as C: the header must be plain C. Composes one small page and
 * renders its preview. */
#include "pdfcompose/pdfcompose.h"

#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.pdf\n", argv[0]);
        return 2;
    }
    if (PDFLibInterfaceVersion() != PDFCOMPOSE_INTERFACE_VERSION)
        return 1;
    PDFLIB_HANDLE handle = PDFLibInitW(NULL, NULL);
    if (!handle) {
        fprintf(stderr, "init: %s\n", PDFLibGetLastError(NULL));
        return 1;
    }
    int ok = PDFLibComposeBeginDocW(handle, argv[1], "") &&
             PDFLibComposeBeginPageW(handle, 50, 30, "") &&
             PDFLibComposeCMYKRect(handle, 5, 5, 40, 20, 0.3, 1, 1, 1, 1, -1, -1, -1, -1) &&
             PDFLibComposeEndPageW(handle) && PDFLibComposeEndDocW(handle, "");
    if (!ok)
        fprintf(stderr, "compose: %s\n", PDFLibGetLastError(handle));
    char image[4096];
    snprintf(image, sizeof image, "%s.jpg", argv[1]);
    PDFLibImageRequest request;
    memset(&request, 0, sizeof request);
    request.pdfPath = argv[1];
    request.page = 1;
    request.imagePath = image;
    request.dpi = 72;
    request.quality = 80;
    if (ok && !PDFLibExportPageImageW(handle, &request)) {
        fprintf(stderr, "preview: %s\n", PDFLibGetLastError(handle));
        ok = 0;
    }
    if (ok && PDFLibGetLastNotes(handle)[0] != '\0') {
        fprintf(stderr, "notes on a clean file: %s\n", PDFLibGetLastNotes(handle));
        ok = 0;
    }
    int refused = PDFLibComposeEndPageW(handle) == 0 && PDFLibGetLastError(handle)[0] != '\0';
    PDFLibExit(handle);
    if (ok && refused)
        printf("composed %s\n", argv[1]);
    return ok && refused ? 0 : 1;
}
