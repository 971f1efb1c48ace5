// The library renders previews of plain pages without its composing module,
// and so without qpdf; it opens the module for the first call that needs it,
// and names the module when it is missing. The test opens the library itself
// (and links neither it nor qpdf) to see what a process has loaded.
#include "pdfcompose/pdfcompose.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A one-page PDF with an exact cross-reference table: nothing in it needs
// composing before it is rendered.
void WritePlainPdf(const fs::path& path) {
    const std::string content = "1 0 0 rg 10 10 80 30 re f\n";
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[21];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    std::ofstream(path, std::ios::binary) << pdf;
}

bool Mapped(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    return text.str().find(name) != std::string::npos;
}

class Library {
public:
    explicit Library(const fs::path& path)
        : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~Library() {
        if (m_handle)
            dlclose(m_handle);
    }
    bool Loaded() const { return m_handle; }
    template <typename F> F Function(const char* name) const {
        return reinterpret_cast<F>(dlsym(m_handle, name));
    }

private:
    void* m_handle;
};

#define LIBRARY_FUNCTION(library, name) const auto name = library.Function<decltype(&::name)>(#name)

class ComposerModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Mapped("libpdfcompose")) << "the test must open the library itself";
        ASSERT_FALSE(Mapped("libqpdf")) << "the test must not link qpdf";
        dir = fs::temp_directory_path() / ("pdfcompose-module-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        pdf = dir / "card.pdf";
        WritePlainPdf(pdf);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir, pdf;
};

TEST_F(ComposerModuleTest, APlainPreviewLoadsNoQpdfUntilACallNeedsIt) {
    Library library(TESSEL_PDFCOMPOSE_LIBRARY);
    ASSERT_TRUE(library.Loaded()) << dlerror();
    LIBRARY_FUNCTION(library, PDFLibInitW);
    LIBRARY_FUNCTION(library, PDFLibExit);
    LIBRARY_FUNCTION(library, PDFLibGetLastError);
    LIBRARY_FUNCTION(library, PDFLibExportPageImageW);
    LIBRARY_FUNCTION(library, PDFLibComposeCountPagesW);
    PDFLIB_HANDLE handle = PDFLibInitW(nullptr, nullptr);
    ASSERT_NE(handle, nullptr) << PDFLibGetLastError(nullptr);

    const std::string image = dir / "card.jpg";
    const PDFLibImageRequest request = {pdf.c_str(), 1, image.c_str(), 72, 90, 0, 0};
    ASSERT_TRUE(PDFLibExportPageImageW(handle, &request)) << PDFLibGetLastError(handle);
    EXPECT_GT(fs::file_size(image), 0u);
    EXPECT_FALSE(Mapped("libpdfcompose-composer.so"));
    EXPECT_FALSE(Mapped("libqpdf"));

    EXPECT_EQ(PDFLibComposeCountPagesW(handle, pdf.c_str()), 1) << PDFLibGetLastError(handle);
    EXPECT_TRUE(Mapped("libpdfcompose-composer.so"));
    EXPECT_TRUE(Mapped("libqpdf"));
    PDFLibExit(handle);
}

TEST_F(ComposerModuleTest, WithoutItsModuleTheLibraryStillRendersAndNamesWhatIsMissing) {
    const fs::path alone = dir / "libpdfcompose.so";
    fs::copy_file(TESSEL_PDFCOMPOSE_LIBRARY, alone);
    Library library(alone);
    ASSERT_TRUE(library.Loaded()) << dlerror();
    LIBRARY_FUNCTION(library, PDFLibInitW);
    LIBRARY_FUNCTION(library, PDFLibExit);
    LIBRARY_FUNCTION(library, PDFLibGetLastError);
    LIBRARY_FUNCTION(library, PDFLibExportPageImageW);
    LIBRARY_FUNCTION(library, PDFLibComposeCountPagesW);

    // Font paths are checked at once, which needs the module.
    EXPECT_EQ(PDFLibInitW(dir.c_str(), nullptr), nullptr);
    EXPECT_NE(std::string(PDFLibGetLastError(nullptr)).find("libpdfcompose-composer.so"),
              std::string::npos)
        << PDFLibGetLastError(nullptr);

    PDFLIB_HANDLE handle = PDFLibInitW(nullptr, nullptr);
    ASSERT_NE(handle, nullptr) << PDFLibGetLastError(nullptr);
    const std::string image = dir / "card.jpg";
    const PDFLibImageRequest request = {pdf.c_str(), 1, image.c_str(), 72, 90, 0, 0};
    ASSERT_TRUE(PDFLibExportPageImageW(handle, &request)) << PDFLibGetLastError(handle);
    EXPECT_EQ(PDFLibComposeCountPagesW(handle, pdf.c_str()), 0);
    const std::string error = PDFLibGetLastError(handle);
    EXPECT_NE(error.find((dir / "libpdfcompose-composer.so").string()), std::string::npos) << error;
    // The handle goes on rendering.
    fs::remove(image);
    EXPECT_TRUE(PDFLibExportPageImageW(handle, &request)) << PDFLibGetLastError(handle);
    EXPECT_TRUE(fs::exists(image));
    PDFLibExit(handle);
}

} // namespace
