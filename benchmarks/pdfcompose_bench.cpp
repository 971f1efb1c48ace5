// Drives the PDF composition library for pdfcompose-anchors.sh, one job per
// process like the command line tools it is compared with:
//   pdfcompose_bench sheet OUT.pdf CARD...     cards 5 x 8 on a 650 x 465 mm sheet
//   pdfcompose_bench repeat OUT.pdf CARD N     one card placed N times on that sheet
//   pdfcompose_bench preview OUTDIR CARD...    page 1 of each card as a 96 dpi JPEG
#include "pdfcompose/pdfcompose.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Fail(PDFLIB_HANDLE handle, const char* what) {
    std::fprintf(stderr, "pdfcompose_bench: %s: %s\n", what, PDFLibGetLastError(handle));
    return 1;
}

// The grid of the 40-up anchor: 90 x 50 mm cells at 93 / 53 mm pitch, centred.
bool Place(PDFLIB_HANDLE handle, const char* card, int cell) {
    const double x = 94 + (cell % 5) * 93.0, y = 22 + (cell / 5) * 53.0;
    return PDFLibComposePlacePDIDocW(handle, card, 1, x, y, 90, 50, 0, 1, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s sheet|repeat|preview OUT ARGS...\n", argv[0]);
        return 2;
    }
    PDFLIB_HANDLE handle = PDFLibInitW(nullptr, nullptr);
    if (!handle)
        return Fail(nullptr, "init");
    const std::string mode = argv[1];
    int status = 0;
    if (mode == "sheet" || mode == "repeat") {
        const int count = mode == "sheet" ? argc - 3 : std::atoi(argv[4]);
        if (!PDFLibComposeBeginDocW(handle, argv[2], "") ||
            !PDFLibComposeBeginPageW(handle, 650, 465, ""))
            return Fail(handle, "begin");
        for (int i = 0; i < count; ++i)
            if (!Place(handle, mode == "sheet" ? argv[3 + i] : argv[3], i % 40))
                return Fail(handle, "place");
        if (!PDFLibComposeEndPageW(handle) || !PDFLibComposeEndDocW(handle, ""))
            return Fail(handle, "write");
    } else if (mode == "preview") {
        for (int i = 3; i < argc; ++i) {
            std::string name = argv[i];
            name = name.substr(name.rfind('/') + 1);
            name = name.substr(0, name.rfind('.'));
            const std::string command =
                std::string("-o \"") + argv[2] + "/\" -f jpg --prefix \"" + name +
                "\" --digits 0 --dpi 96 -q 100 --printmode --pages 1 \"" + argv[i] + "\"";
            if (!PDFLibExportImageW(handle, command.c_str()))
                return Fail(handle, argv[i]);
        }
    } else {
        status = 2;
    }
    PDFLibExit(handle);
    return status;
}
