#include "pdfcompose/pdfcompose.h"

#include "pdffixtures.h"

#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pdffixtures;

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        handle = PDFLibInitW(nullptr, nullptr);
        ASSERT_NE(handle, nullptr) << PDFLibGetLastError(nullptr);
    }
    void TearDown() override { PDFLibExit(handle); }
    std::string Error() const { return PDFLibGetLastError(handle); }
    int Export(const std::string& pdf, int page, const std::string& image, int dpi = 96) {
        PDFLibImageRequest request = {pdf.c_str(), page, image.c_str(), dpi, 100, 0, 0};
        return PDFLibExportPageImageW(handle, &request);
    }

    TempDir dir;
    PDFLIB_HANDLE handle = nullptr;
};

TEST_F(FilesTest, BarcodeFillsItsPageWithCode128Bars) {
    const std::string out = dir / "B_H.pdf";
    ASSERT_TRUE(PDFLibMiscCreateBarcodeW(handle, out.c_str(), "P240101-0001", 60, 12, 3, 0))
        << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");
    double w = 0, h = 0;
    ASSERT_TRUE(PDFLibMiscGetPageSizeW(handle, out.c_str(), 0, 1, &w, &h));
    EXPECT_NEAR(w, 60, 0.001);
    EXPECT_NEAR(h, 12, 0.001);
    Rendered image = Render(out, 1, 300);
    // Code 128 starts and ends with a bar and has many bars in between.
    const int row = image.height / 2;
    EXPECT_LT(image.At(0, row)[0], 60);
    EXPECT_LT(image.At(image.width - 1, row)[0], 60);
    int edges = 0;
    for (int x = 1; x < image.width; ++x)
        edges += (image.At(x, row)[0] < 128) != (image.At(x - 1, row)[0] < 128);
    EXPECT_GT(edges, 40);

    for (auto [text, kind, options] :
         {std::tuple{"판번호", 3, 0}, {"", 3, 0}, {"ABC", 7, 0}, {"ABC", 3, 1}}) {
        EXPECT_FALSE(PDFLibMiscCreateBarcodeW(handle, (dir / "bad.pdf").c_str(), text, 60, 12, kind,
                                              options));
        EXPECT_NE(Error(), "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.pdf"));
}

TEST_F(FilesTest, ExportsAPageAsJpegOnWhite) {
    const std::string card = dir / "card.pdf";
    SourceSpec spec;
    spec.rotate = 90;
    WriteSource(card, spec);
    // Paths are taken as they are: spaces, Korean, quotes and what looks
    // like options stay part of the names.
    const std::string hostile = dir / "A\" -o \".\" --prefix \"PWNED 명함.pdf";
    std::filesystem::copy_file(card, hostile);
    const std::string image = dir / "명함 \"앞면\" -o x.jpg";
    ASSERT_TRUE(Export(hostile, 1, image)) << Error();
    EXPECT_FALSE(std::filesystem::exists("PWNED.jpg"));
    Rendered shown = DecodeJpeg(image);
    // 50 x 90 mm shown (turned by /Rotate) at 96 dpi.
    EXPECT_NEAR(shown.width, 50 / 25.4 * 96, 1);
    EXPECT_NEAR(shown.height, 90 / 25.4 * 96, 1);
    EXPECT_EQ(shown.dpi, 96) << "the image says the resolution it was rendered at";
    EXPECT_GT(shown.At(shown.width - 1, shown.height - 1)[1], 240) << "white background";
    EXPECT_GT(shown.At(5, 5)[0], 200) << "the red square shows at the top-left";
    EXPECT_LT(shown.At(5, 5)[1], 80);
    double w = 0, h = 0;
    ASSERT_TRUE(PDFLibMiscGetPageSizeW(handle, card.c_str(), 0, 1, &w, &h));
    EXPECT_NEAR(w, 50, 0.001);
    EXPECT_NEAR(h, 90, 0.001);

    const std::string out = dir / "p.jpg";
    struct Case {
        const char* why;
        PDFLibImageRequest request;
    };
    const std::string missing = dir / "missing.pdf", noFolder = dir / "none/p.jpg";
    const Case bad[] = {
        {"no page 2", {card.c_str(), 2, out.c_str(), 96, 100, 0, 0}},
        {"no page 0", {card.c_str(), 0, out.c_str(), 96, 100, 0, 0}},
        {"no file", {missing.c_str(), 1, out.c_str(), 96, 100, 0, 0}},
        {"no PDF given", {nullptr, 1, out.c_str(), 96, 100, 0, 0}},
        {"no image given", {card.c_str(), 1, nullptr, 96, 100, 0, 0}},
        {"no folder", {card.c_str(), 1, noFolder.c_str(), 96, 100, 0, 0}},
        {"dpi 0", {card.c_str(), 1, out.c_str(), 0, 100, 0, 0}},
        {"quality 101", {card.c_str(), 1, out.c_str(), 96, 101, 0, 0}},
        {"negative time", {card.c_str(), 1, out.c_str(), 96, 100, -1, 0}},
    };
    for (const Case& c : bad) {
        EXPECT_FALSE(PDFLibExportPageImageW(handle, &c.request)) << c.why;
        EXPECT_NE(Error(), "") << c.why;
    }
    EXPECT_FALSE(PDFLibExportPageImageW(handle, nullptr));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(FilesTest, MergesPagesInOrderAtTheHighestVersion) {
    const std::string a = dir / "a.pdf", b = dir / "b.pdf", out = dir / "merged.pdf";
    SourceSpec first;
    first.content = "1 0 0 rg 0 0 50 50 re f\n";
    WriteSource(a, first);
    SourceSpec second;
    second.rotate = 90;
    second.inheritFromPages = true;
    second.version = "1.7";
    WriteSource(b, second);
    const char* inputs[] = {a.c_str(), b.c_str(), a.c_str()};
    ASSERT_TRUE(PDFLibMiscMergeW(handle, inputs, 3, out.c_str())) << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");
    EXPECT_EQ(PDFLibComposeCountPagesW(handle, out.c_str()), 3);
    EXPECT_EQ(PDFLibMiscGetPDFVersionW(handle, out.c_str()), 17);
    double w = 0, h = 0;
    ASSERT_TRUE(PDFLibMiscGetPageSizeW(handle, out.c_str(), 0, 2, &w, &h));
    EXPECT_NEAR(w, 50, 0.001) << "the inherited /Rotate came along";

    // Merging into one of the inputs works; a bad input leaves the target alone.
    ASSERT_TRUE(PDFLibMiscMergeW(handle, inputs, 2, a.c_str())) << Error();
    EXPECT_EQ(PDFLibComposeCountPagesW(handle, a.c_str()), 2);
    std::ofstream(dir / "junk.pdf") << "%PDF-1.4 junk";
    const std::string before = ReadText(out);
    const std::string junk = dir / "junk.pdf";
    const char* withJunk[] = {b.c_str(), junk.c_str()};
    EXPECT_FALSE(PDFLibMiscMergeW(handle, withJunk, 2, out.c_str()));
    EXPECT_NE(Error().find("junk.pdf"), std::string::npos) << Error();
    EXPECT_EQ(ReadText(out), before);
}

TEST_F(FilesTest, GetsAndSetsTheVersion) {
    const std::string file = dir / "v.pdf";
    SourceSpec spec;
    spec.version = "1.5";
    WriteSource(file, spec);
    EXPECT_EQ(PDFLibMiscGetPDFVersionW(handle, file.c_str()), 15);
    ASSERT_TRUE(PDFLibMiscSetPDFVersionW(handle, file.c_str(), 17)) << Error();
    EXPECT_EQ(PDFLibMiscGetPDFVersionW(handle, file.c_str()), 17);
    EXPECT_EQ(QpdfCheckProblems(file), "");
    EXPECT_FALSE(PDFLibMiscSetPDFVersionW(handle, file.c_str(), 31));
}

// A page nothing changes in composing is rendered straight from its file; a
// page with an annotation (a link, which does not print) is composed first.
// Both routes show the same picture, to the pixel.
TEST_F(FilesTest, APageRenderedAsItIsShowsAsItsComposedPage) {
    SourceSpec offset;
    offset.mediaBox = {-10.5, 3.25, 300.75, 160.125};
    offset.cropBox = {0.4, 7.7, 255.9, 150.3};
    SourceSpec turned = offset;
    turned.rotate = 270;
    turned.inheritFromPages = true;
    SourceSpec image;
    image.cmykImage = true;
    image.rotate = 90;
    for (const auto& [name, spec] : std::initializer_list<std::pair<const char*, SourceSpec>>{
             {"plain", {}}, {"offset", offset}, {"turned", turned}, {"image", image}}) {
        SCOPED_TRACE(name);
        const std::string plain = dir / "plain.pdf", linked = dir / "linked.pdf";
        WriteSource(plain, spec);
        std::shared_ptr<QPDF> pdf = Read(plain);
        QPDFObjectHandle link = QPDFObjectHandle::parse(
            "<< /Type /Annot /Subtype /Link /Rect [0 0 20 20] /Border [0 0 0] >>");
        QPDFObjectHandle page = pdf->getAllPages()[0];
        page.replaceKey("/Annots", QPDFObjectHandle::newArray({pdf->makeIndirectObject(link)}));
        QPDFWriter writer(*pdf, linked.c_str());
        writer.write();
        for (int dpi : {72, 96, 150}) {
            ASSERT_TRUE(Export(plain, 1, dir / "plain.jpg", dpi)) << Error();
            ASSERT_TRUE(Export(linked, 1, dir / "linked.jpg", dpi)) << Error();
            const Rendered direct = DecodeJpeg(dir / "plain.jpg");
            const Rendered composed = DecodeJpeg(dir / "linked.jpg");
            ASSERT_EQ(direct.width, composed.width) << dpi << " dpi";
            ASSERT_EQ(direct.height, composed.height) << dpi << " dpi";
            // The outermost pixels of a page whose size is not a whole number of
            // pixels are shaded by how the page's edge cuts them, a little
            // differently on either route; JPEG spreads that over their 8 x 8
            // block.
            int differing = 0;
            for (int y = 8; y + 8 < direct.height; ++y)
                for (int x = 8; x + 8 < direct.width; ++x)
                    for (int c = 0; c < 3; ++c)
                        differing += std::abs(direct.At(x, y)[c] - composed.At(x, y)[c]) > 2;
            EXPECT_EQ(differing, 0) << dpi << " dpi";
        }
    }
}

// Every call that reads a PDF refuses a bad one with a reason, and a document
// being composed survives it.
TEST_F(FilesTest, BadSourcesFailCleanly) {
    const std::string good = dir / "good.pdf";
    WriteSource(good, {});
    const std::string goodText = ReadText(good);
    std::map<std::string, std::string> bad;
    bad["truncated"] = goodText.substr(0, goodText.size() / 2);
    bad["garbage"] = std::string(2000, 'x');
    bad["empty"] = "";
    std::string corruptStream = goodText;
    const size_t stream = corruptStream.find("stream\n");
    for (size_t i = stream + 8; i < stream + 20 && i < corruptStream.size(); ++i)
        corruptStream[i] = '\x55';
    bad["damaged content"] = corruptStream;
    for (auto& [name, data] : bad)
        std::ofstream(dir / (name + ".pdf"), std::ios::binary) << data;
    WriteRawPdf(dir / "no pages.pdf",
                {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [] /Count 0 >>"});
    WriteRawPdf(dir / "looping.pdf", {"<< /Type /Catalog /Pages 2 0 R >>",
                                      "<< /Type /Pages /Kids [2 0 R 3 0 R] /Count 2 >>",
                                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>"});
    WriteRawPdf(dir / "parent loop.pdf", {"<< /Type /Catalog /Pages 2 0 R >>",
                                          "<< /Type /Pages /Kids [3 0 R] /Count 1 /Parent 4 0 R >>",
                                          "<< /Type /Page /Parent 2 0 R >>",
                                          "<< /Type /Pages /Kids [] /Count 0 /Parent 2 0 R >>"});
    ASSERT_EQ(std::system(("qpdf --encrypt user owner 256 -- '" + good + "' '" +
                           (dir / "encrypted.pdf") + "'")
                              .c_str()),
              0);
    std::vector<std::string> names = {"missing", "no pages", "looping", "parent loop", "encrypted"};
    for (auto& [name, data] : bad)
        names.push_back(name);

    const std::string out = dir / "sheet.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 200, 100, ""));
    ASSERT_TRUE(PDFLibComposePlacePDIDocW(handle, good.c_str(), 1, 0, 0, 90, 50, 0, 1, 0))
        << Error();
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string path = dir / (name + ".pdf");
        double w, h;
        EXPECT_EQ(PDFLibComposeCountPagesW(handle, path.c_str()), 0);
        EXPECT_NE(Error().find(path), std::string::npos) << Error();
        EXPECT_FALSE(PDFLibComposeGetPDIDocSizeW(handle, path.c_str(), 1, &w, &h));
        EXPECT_FALSE(PDFLibComposePlacePDIDocW(handle, path.c_str(), 1, 100, 0, 90, 50, 0, 1, 0));
        EXPECT_FALSE(PDFLibMiscGetPDFVersionW(handle, path.c_str()));
        EXPECT_FALSE(Export(path, 1, dir / "preview.jpg"));
        EXPECT_FALSE(std::filesystem::exists(dir / "preview.jpg"));
    }
    EXPECT_FALSE(PDFLibComposePlacePDIDocW(handle, good.c_str(), 2, 0, 0, 90, 50, 0, 1, 0))
        << "no page 2";
    EXPECT_FALSE(PDFLibComposePlacePDIDocW(handle, good.c_str(), 1, 0, 0, 90, 50, 45, 1, 0))
        << "not a quarter turn";
    EXPECT_FALSE(PDFLibComposePlacePDIDocW(handle, good.c_str(), 1, 0, 0, 0, 50, 0, 1, 0))
        << "no width";
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");
    EXPECT_EQ(
        PlacedObjects(QPDFPageDocumentHelper(*Read(out)).getAllPages()[0].getObjectHandle()).size(),
        1u);
}

TEST(InterfaceTest, ReportsItsVersionAndRefusesCallsWithoutAHandle) {
    EXPECT_EQ(PDFLibInterfaceVersion(), PDFCOMPOSE_INTERFACE_VERSION);
    EXPECT_EQ(PDFLibComposeBeginPageW(nullptr, 10, 10, ""), 0);
    EXPECT_NE(std::string(PDFLibGetLastError(nullptr)), "");
    EXPECT_EQ(PDFLibInitW("/no/such/fonts", nullptr), nullptr);
    EXPECT_NE(std::string(PDFLibGetLastError(nullptr)).find("/no/such/fonts"), std::string::npos);
    PDFLIB_HANDLE handle = PDFLibInitW(nullptr, nullptr);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(PDFLibIsCompose(handle), 1);
    EXPECT_EQ(PDFLibIsMaster(handle), 0);
    EXPECT_EQ(PDFLibComposeCountPagesW(handle, nullptr), 0);
    EXPECT_NE(std::string(PDFLibGetLastError(handle)), "");
    EXPECT_EQ(PDFLibIsMisc(handle), 1);
    EXPECT_EQ(std::string(PDFLibGetLastError(handle)), "")
        << "a call that succeeds clears the error";
    PDFLibExit(handle);
}

} // namespace
