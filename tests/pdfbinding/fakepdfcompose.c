/* A stand-in library for the loader's refusals: it reports FAKE_VERSION as
 * its interface version and offers only a few entry points. */
#include "pdfcompose/pdfcompose.h"

#include <stdlib.h>

struct PDFLibSession {
    int unused;
};

int PDFLibInterfaceVersion(void) {
    return FAKE_VERSION;
}
const char* PDFLibGetLastError(PDFLIB_HANDLE handle) {
    return handle ? "" : "no handle";
}
PDFLIB_HANDLE PDFLibInitW(const char* dataPaths, void* trace) {
    return calloc(1, sizeof(struct PDFLibSession));
}
int PDFLibExit(PDFLIB_HANDLE handle) {
    free(handle);
    return 1;
}
int PDFLibIsCompose(PDFLIB_HANDLE handle) {
    return 1;
}
