// The library renders previews of plain pages without its composing module,
// and so without qpdf; it opens the module for the first call that needs it,
// and names the module when it is missing. The test opens the library itself
// (and links neither it nor qpdf) to see what a process has loaded.
#include "pdfcompose/pdfcompose.h"

#include "rawpdf.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

bool Mapped(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    return text.str().find(name) != std::string::npos;
}

// The entry points the tests call, from a library file the test opened.
class Library {
public:
    explicit Library(const fs::path& path)
        : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~Library() {
        if (m_handle)
            dlclose(m_handle);
    }
    bool Loaded() const { return m_handle; }

private:
    template <typename F> F Function(const char* name) const {
        return m_handle ? reinterpret_cast<F>(dlsym(m_handle, name)) : nullptr;
    }
    void* m_handle;

public:
#define LIBRARY_FUNCTION(name) const decltype(&::name) name = Function<decltype(&::name)>(#name)
    LIBRARY_FUNCTION(PDFLibInitW);
    LIBRARY_FUNCTION(PDFLibExit);
    LIBRARY_FUNCTION(PDFLibGetLastError);
    LIBRARY_FUNCTION(PDFLibExportPageImageW);
    LIBRARY_FUNCTION(PDFLibComposeCountPagesW);
#undef LIBRARY_FUNCTION
};

class ComposerModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Mapped("libpdfcompose")) << "the test must open the library itself";
        ASSERT_FALSE(Mapped("libqpdf")) << "the test must not link qpdf";
        dir = fs::temp_directory_path() / ("pdfcompose-module-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        pdf = dir / "card.pdf";
        image = dir / "card.jpg";
        // Nothing in it needs composing before it is rendered.
        const std::string content = "1 0 0 rg 10 10 80 30 re f\n";
        pdffixtures::WriteRawPdf(
            pdf, {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                  "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>",
                  "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                      "endstream"});
    }
    void TearDown() override { fs::remove_all(dir); }

    // Renders the card's page; true when its image is written.
    bool Render(const Library& library, PDFLIB_HANDLE handle) const {
        fs::remove(image);
        const PDFLibImageRequest request = {pdf.c_str(), 1, image.c_str(), 72, 90, 0, 0};
        return library.PDFLibExportPageImageW(handle, &request) && fs::file_size(image) > 0;
    }

    fs::path dir;
    std::string pdf, image;
};

TEST_F(ComposerModuleTest, APlainPreviewLoadsNoQpdfUntilACallNeedsIt) {
    Library library(TESSEL_PDFCOMPOSE_LIBRARY);
    ASSERT_TRUE(library.Loaded()) << dlerror();
    PDFLIB_HANDLE handle = library.PDFLibInitW(nullptr, nullptr);
    ASSERT_NE(handle, nullptr) << library.PDFLibGetLastError(nullptr);

    ASSERT_TRUE(Render(library, handle)) << library.PDFLibGetLastError(handle);
    EXPECT_FALSE(Mapped("libpdfcompose-composer.so"));
    EXPECT_FALSE(Mapped("libqpdf"));

    EXPECT_EQ(library.PDFLibComposeCountPagesW(handle, pdf.c_str()), 1)
        << library.PDFLibGetLastError(handle);
    EXPECT_TRUE(Mapped("libpdfcompose-composer.so"));
    EXPECT_TRUE(Mapped("libqpdf"));
    library.PDFLibExit(handle);
}

TEST_F(ComposerModuleTest, WithoutItsModuleTheLibraryStillRendersAndNamesWhatIsMissing) {
    const fs::path alone = dir / "libpdfcompose.so";
    fs::copy_file(TESSEL_PDFCOMPOSE_LIBRARY, alone);
    Library library(alone);
    ASSERT_TRUE(library.Loaded()) << dlerror();

    // Font paths are checked at once, which needs the module.
    EXPECT_EQ(library.PDFLibInitW(dir.c_str(), nullptr), nullptr);
    const std::string initError = library.PDFLibGetLastError(nullptr);
    EXPECT_NE(initError.find("libpdfcompose-composer.so"), std::string::npos) << initError;

    PDFLIB_HANDLE handle = library.PDFLibInitW(nullptr, nullptr);
    ASSERT_NE(handle, nullptr) << library.PDFLibGetLastError(nullptr);
    ASSERT_TRUE(Render(library, handle)) << library.PDFLibGetLastError(handle);
    EXPECT_EQ(library.PDFLibComposeCountPagesW(handle, pdf.c_str()), 0);
    const std::string error = library.PDFLibGetLastError(handle);
    EXPECT_NE(error.find((dir / "libpdfcompose-composer.so").string()), std::string::npos) << error;
    EXPECT_TRUE(Render(library, handle)) << "the handle goes on rendering";
    library.PDFLibExit(handle);
}

} // namespace
