// Opens bytes as a source PDF and places each of its first pages on a sheet,
// through the library's C interface, writes the sheet, renders a preview and
// preflights the file.
#include "pdfcompose/pdfcompose.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct Folder {
    Folder() {
        char pattern[] = "/tmp/pdfcompose-fuzz-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~Folder() {
        unlink(input.c_str());
        unlink((path + "/out.pdf").c_str());
        unlink((path + "/preview.jpg").c_str());
        rmdir(path.c_str());
    }
    // The library keeps a file it read while its size, time and inode stay;
    // each input gets a name of its own so that none is taken for the last.
    const std::string& NextInput() {
        unlink(input.c_str());
        input = path + "/in-" + std::to_string(++count) + ".pdf";
        return input;
    }
    std::string path, input;
    unsigned long count = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Folder folder;
    static PDFLIB_HANDLE handle = PDFLibInitW(nullptr, nullptr);
    if (!handle)
        std::abort();
    const std::string in = folder.NextInput(), out = folder.path + "/out.pdf";
    FILE* file = std::fopen(in.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    const int pages = PDFLibComposeCountPagesW(handle, in.c_str());
    if (!PDFLibComposeBeginDocW(handle, out.c_str(), "") ||
        !PDFLibComposeBeginPageW(handle, 300, 300, ""))
        std::abort();
    for (int page = 1; page <= pages && page <= 3; ++page) {
        double width = 0, height = 0;
        if (!PDFLibComposeGetPDIDocSizeW(handle, in.c_str(), page, &width, &height))
            std::abort(); // a source that opened must know its page sizes
        PDFLibComposePlacePDIDocW(handle, in.c_str(), page, 10, 10, 100, 60, page * 90, 1,
                                  page % 2);
    }
    PDFLibComposeEndPageW(handle);
    // Preflight walks every page's content, forms and resources: whatever
    // the bytes, it answers with findings.
    PDFLibPreflightRequest check = {in.c_str(), 90, 50, 2, 1, 1, 0};
    const PDFLibPreflightFinding* findings = nullptr;
    int count = 0;
    if (!PDFLibPreflightW(handle, &check, &findings, &count))
        std::abort(); // the file exists: only findings may come back
    if (pages > 0) {
        // A preview at a low resolution, so that the renderer sees every
        // source that passed the checks.
        const std::string image = folder.path + "/preview.jpg";
        PDFLibImageRequest request = {in.c_str(), 1, image.c_str(), 9, 75, 0, 0};
        PDFLibExportPageImageW(handle, &request);
    }
    if (!PDFLibComposeEndDocW(handle, ""))
        std::abort(); // a checked source never fails the write
    return 0;
}
