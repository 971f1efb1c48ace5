// Drives the PDF composition library for pdfcompose-anchors.sh, one job per
// process like the command line tools it is compared with:
//   pdfcompose_bench sheet OUT.pdf CARD...     cards 5 x 8 on a 650 x 465 mm sheet
//   pdfcompose_bench repeat OUT.pdf CARD N     one card placed N times on that sheet
//   pdfcompose_bench preview OUTDIR CARD...    page 1 of each card as a 96 dpi JPEG,
//                                              one page after another
//   pdfcompose_bench previews OUTDIR N CARD... the same in one call, N pages at
//                                              once (0: one per processor); prints
//                                              "call_ms=" and the call's own time
//                                              (render children started in it)
//   pdfcompose_bench previews-again OUTDIR N CARD...
//                                              the same call twice, timing the
//                                              second (its children already running,
//                                              as in a program that made previews before)
//   pdfcompose_bench info - PDF...             page count, version and every page's
//                                              size, as `tessel-cli pdf info` asks
//                                              (one read of each file, however many
//                                              pages it has)
#include "pdfcompose/pdfcompose.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
        std::fprintf(stderr, "usage: %s sheet|repeat|preview|info OUT ARGS...\n", argv[0]);
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
            const std::string image = std::string(argv[2]) + "/" + name + ".jpg";
            PDFLibImageRequest request = {argv[i], 1, image.c_str(), 96, 100, 0, 0};
            if (!PDFLibExportPageImageW(handle, &request))
                return Fail(handle, argv[i]);
        }
    } else if ((mode == "previews" || mode == "previews-again") && argc > 4) {
        std::vector<std::string> images;
        for (int i = 4; i < argc; ++i) {
            std::string name = argv[i];
            name = name.substr(name.rfind('/') + 1);
            images.push_back(std::string(argv[2]) + "/" + name.substr(0, name.rfind('.')) + ".jpg");
        }
        std::vector<PDFLibImageRequest> requests;
        for (int i = 4; i < argc; ++i)
            requests.push_back({argv[i], 1, images[size_t(i - 4)].c_str(), 96, 100, 0, 0});
        std::vector<const char*> reasons(requests.size());
        if (mode == "previews-again" &&
            PDFLibExportPageImagesW(handle, requests.data(), int(requests.size()),
                                    std::atoi(argv[3]), reasons.data()) != int(requests.size()))
            return Fail(handle, "previews");
        const auto start = std::chrono::steady_clock::now();
        if (PDFLibExportPageImagesW(handle, requests.data(), int(requests.size()),
                                    std::atoi(argv[3]), reasons.data()) != int(requests.size()))
            return Fail(handle, "previews");
        std::printf("call_ms=%.3f\n", std::chrono::duration<double, std::milli>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
    } else if (mode == "info") {
        for (int i = 3; i < argc; ++i) {
            const int pages = PDFLibComposeCountPagesW(handle, argv[i]);
            if (!pages || !PDFLibMiscGetPDFVersionW(handle, argv[i]))
                return Fail(handle, argv[i]);
            for (int page = 1; page <= pages; ++page) {
                double width = 0, height = 0;
                if (!PDFLibMiscGetPageSizeW(handle, argv[i], 0, page, &width, &height))
                    return Fail(handle, argv[i]);
            }
            std::printf("%s: %d pages\n", argv[i], pages);
        }
    } else {
        status = 2;
    }
    PDFLibExit(handle);
    return status;
}
