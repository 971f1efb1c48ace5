#include "pdfcompose/pdfcompose.h"

#include "pdffixtures.h"

#include <qpdf/QPDFPageDocumentHelper.hh>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

using namespace pdffixtures;

namespace {

constexpr double kPt = 72.0 / 25.4;

class ComposeTest : public ::testing::Test {
protected:
    void SetUp() override {
        handle = PDFLibInitW(nullptr, nullptr);
        ASSERT_NE(handle, nullptr) << PDFLibGetLastError(nullptr);
    }
    void TearDown() override { PDFLibExit(handle); }
    std::string Error() const { return PDFLibGetLastError(handle); }

    TempDir dir;
    PDFLIB_HANDLE handle = nullptr;
};

struct SourceCase {
    const char* name;
    SourceSpec spec;
    double shownW, shownH; // mm
    // The source point a viewer shows at the page's top-left corner (pt).
    double topLeftX, topLeftY;
};

std::vector<SourceCase> SourceCases() {
    SourceCase plain{"plain", {}, 90, 50, 0, 141.7323};
    SourceCase rotated{"rotate 90 inherited", {}, 50, 90, 0, 0};
    rotated.spec.rotate = 90;
    rotated.spec.inheritFromPages = true;
    SourceCase cropped{"crop box inside media box", {}, 90, 50, 50, 181.7323};
    cropped.spec.mediaBox = {0, 0, 400, 300};
    cropped.spec.cropBox = {50, 40, 305.1181, 181.7323};
    SourceCase offset{"media box off the origin", {}, 90, 50, -100, 341.7323};
    offset.spec.mediaBox = {-100, 200, 155.1181, 341.7323};
    SourceCase turned{"rotate 270 with crop", {}, 50, 90, 305.1181, 181.7323};
    turned.spec.mediaBox = {0, 0, 400, 300};
    turned.spec.cropBox = {50, 40, 305.1181, 181.7323};
    turned.spec.rotate = 270;
    return {plain, rotated, cropped, offset, turned};
}

TEST_F(ComposeTest, PlacesEveryRotationOfEverySourceWhereTheCallSays) {
    const double x = 12.5, y = 20, scale = 1.25;
    const double pageW = 300, pageH = 200;
    const std::string out = dir / "sheet.pdf";
    std::vector<SourceCase> cases = SourceCases();
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string source = dir / ("source" + std::to_string(i) + ".pdf");
        WriteSource(source, cases[i].spec);
        double w = 0, h = 0;
        ASSERT_TRUE(PDFLibComposeGetPDIDocSizeW(handle, source.c_str(), 1, &w, &h)) << Error();
        EXPECT_NEAR(w, cases[i].shownW, 0.001) << cases[i].name;
        EXPECT_NEAR(h, cases[i].shownH, 0.001) << cases[i].name;
        for (int rotation : {0, 90, 180, 270}) {
            ASSERT_TRUE(PDFLibComposeBeginPageW(handle, pageW, pageH, ""));
            // Stretched to a box of other proportions, to see the scale per axis.
            ASSERT_TRUE(PDFLibComposePlacePDIDocW(handle, source.c_str(), 1, x, y, w * 0.8, h * 1.2,
                                                  rotation, scale, 0))
                << Error();
            ASSERT_TRUE(PDFLibComposeEndPageW(handle));
        }
    }
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");

    auto pdf = Read(out);
    std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(*pdf).getAllPages();
    ASSERT_EQ(pages.size(), cases.size() * 4);
    for (size_t i = 0; i < pages.size(); ++i) {
        const SourceCase& c = cases[i / 4];
        const int rotation = int(i % 4) * 90;
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(rotation));
        std::vector<Placed> placed = PlacedObjects(pages[i].getObjectHandle());
        ASSERT_EQ(placed.size(), 1u);
        QPDFObjectHandle form = pages[i]
                                    .getObjectHandle()
                                    .getKey("/Resources")
                                    .getKey("/XObject")
                                    .getKey(placed[0].name);
        ASSERT_TRUE(form.isStream());
        QPDFObjectHandle::Rectangle bbox = form.getDict().getKey("/BBox").getArrayAsRectangle();
        const double* m = placed[0].m;
        auto toMm = [&](double px, double py, double& X, double& Y) {
            const double ox = m[0] * px + m[2] * py + m[4], oy = m[1] * px + m[3] * py + m[5];
            X = ox / kPt;
            Y = pageH - oy / kPt;
        };
        double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
        for (double px : {bbox.llx, bbox.urx})
            for (double py : {bbox.lly, bbox.ury}) {
                double X, Y;
                toMm(px, py, X, Y);
                minX = std::min(minX, X), maxX = std::max(maxX, X);
                minY = std::min(minY, Y), maxY = std::max(maxY, Y);
            }
        const double boxW = c.shownW * 0.8 * scale, boxH = c.shownH * 1.2 * scale;
        const double footW = rotation % 180 ? boxH : boxW, footH = rotation % 180 ? boxW : boxH;
        EXPECT_NEAR(minX, x, 0.01);
        EXPECT_NEAR(minY, y, 0.01);
        EXPECT_NEAR(maxX - minX, footW, 0.01);
        EXPECT_NEAR(maxY - minY, footH, 0.01);
        // Turning clockwise carries the shown top-left corner round the footprint.
        const double cornerX[] = {x, x + footW, x + footW, x};
        const double cornerY[] = {y, y, y + footH, y + footH};
        double X, Y;
        toMm(c.topLeftX, c.topLeftY, X, Y);
        EXPECT_NEAR(X, cornerX[rotation / 90], 0.01);
        EXPECT_NEAR(Y, cornerY[rotation / 90], 0.01);
    }
}

TEST_F(ComposeTest, RenderedSheetShowsTheTurnedPageWhereExpected) {
    // The red square sits at the source's lower-left corner; /Rotate 90 shows
    // it at the top-left, and a further quarter turn puts it top-right.
    const std::string source = dir / "card.pdf";
    SourceSpec spec;
    spec.rotate = 90;
    WriteSource(source, spec);
    const std::string out = dir / "sheet.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), nullptr));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 120, 80, nullptr));
    ASSERT_TRUE(PDFLibComposePlacePDIDocW(handle, source.c_str(), 1, 10, 20, 50, 90, 90, 1, 0))
        << Error();
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, nullptr)) << Error();

    Rendered image = Render(out, 1, 72);
    auto pixel = [&](double xmm, double ymm) { return image.At(int(xmm * kPt), int(ymm * kPt)); };
    const unsigned char* red = pixel(100 - 3.5, 20 + 3.5);
    EXPECT_GT(red[0], 200);
    EXPECT_LT(red[1], 60);
    for (auto [cx, cy] :
         {std::pair{10 + 3.5, 20 + 3.5}, {10 + 3.5, 70 - 3.5}, {100 - 3.5, 70 - 3.5}}) {
        const unsigned char* white = pixel(cx, cy);
        EXPECT_GT(white[1], 200) << cx << "," << cy;
    }
}

TEST_F(ComposeTest, PlacedArtworkKeepsItsBytesAndColourSpace) {
    const std::string source = dir / "cmyk.pdf";
    SourceSpec spec;
    spec.cmykImage = true;
    spec.content = "0 0 0 1 k 10 10 50 50 re f\n";
    spec.version = "1.6";
    WriteSource(source, spec);
    const std::string out = dir / "sheet.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 200, 100, ""));
    ASSERT_TRUE(PDFLibComposePlacePDIDocW(handle, source.c_str(), 1, 5, 5, 90, 50, 0, 1, 0))
        << Error();
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");
    EXPECT_EQ(PDFLibMiscGetPDFVersionW(handle, out.c_str()), 16) << "the highest source version";

    auto in = Read(source);
    QPDFObjectHandle sourcePage = QPDFPageDocumentHelper(*in).getAllPages()[0].getObjectHandle();
    auto sheet = Read(out);
    QPDFObjectHandle page = QPDFPageDocumentHelper(*sheet).getAllPages()[0].getObjectHandle();
    std::vector<Placed> placed = PlacedObjects(page);
    ASSERT_EQ(placed.size(), 1u);
    QPDFObjectHandle form = page.getKey("/Resources").getKey("/XObject").getKey(placed[0].name);
    QPDFObjectHandle sourceContent = sourcePage.getKey("/Contents");
    EXPECT_EQ(form.getRawStreamData()->getSize(), sourceContent.getRawStreamData()->getSize());
    EXPECT_EQ(0, std::memcmp(form.getRawStreamData()->getBuffer(),
                             sourceContent.getRawStreamData()->getBuffer(),
                             sourceContent.getRawStreamData()->getSize()));
    EXPECT_EQ(form.getDict().getKey("/Filter").unparse(),
              sourceContent.getDict().getKey("/Filter").unparse());
    QPDFObjectHandle image = form.getDict().getKey("/Resources").getKey("/XObject").getKey("/Im0");
    QPDFObjectHandle sourceImage =
        sourcePage.getKey("/Resources").getKey("/XObject").getKey("/Im0");
    EXPECT_EQ(image.getDict().getKey("/ColorSpace").unparse(), "/DeviceCMYK");
    EXPECT_EQ(image.getRawStreamData()->getSize(), sourceImage.getRawStreamData()->getSize());
    EXPECT_EQ(0, std::memcmp(image.getRawStreamData()->getBuffer(),
                             sourceImage.getRawStreamData()->getBuffer(),
                             sourceImage.getRawStreamData()->getSize()));
}

TEST_F(ComposeTest, JoinsSeveralContentStreamsOfOnePage) {
    const std::string source = dir / "two.pdf";
    SourceSpec spec;
    spec.twoContentStreams = true;
    WriteSource(source, spec);
    const std::string out = dir / "sheet.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 100, 60, ""));
    ASSERT_TRUE(PDFLibComposePlacePDIDocW(handle, source.c_str(), 1, 0, 0, 90, 50, 0, 1, 0))
        << Error();
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");
    Rendered image = Render(out, 1, 72);
    const unsigned char* red = image.At(int(3 * kPt), int(47 * kPt)); // square at the lower left
    EXPECT_GT(red[0], 200);
    EXPECT_LT(red[1], 60);
}

TEST_F(ComposeTest, PrintableAnnotationsArePlacedWithThePage) {
    auto stream = [](const std::string& dict, const std::string& data) {
        return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
               "\nendstream";
    };
    // A blue square that prints, and a red one that is hidden.
    const std::string source = dir / "annotated.pdf";
    WriteRawPdf(
        source,
        {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R "
         "/Annots [5 0 R 7 0 R] >>",
         stream("", "q Q"),
         "<< /Type /Annot /Subtype /Square /Rect [10 10 60 60] /F 4 /AP << /N 6 0 R >> >>",
         stream("/Type /XObject /Subtype /Form /BBox [0 0 50 50]", "0 0 1 rg 0 0 50 50 re f"),
         "<< /Type /Annot /Subtype /Square /Rect [100 10 150 60] /F 6 /AP << /N 8 0 R >> >>",
         stream("/Type /XObject /Subtype /Form /BBox [0 0 50 50]", "1 0 0 rg 0 0 50 50 re f")});
    const std::string out = dir / "sheet.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 200 / kPt, 100 / kPt, ""));
    ASSERT_TRUE(
        PDFLibComposePlacePDIDocW(handle, source.c_str(), 1, 0, 0, 200 / kPt, 100 / kPt, 0, 1, 0))
        << Error();
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");
    Rendered image = Render(out, 1, 72);
    EXPECT_GT(image.At(35, 65)[2], 200); // blue, 35 pt from the left, 35 pt above the bottom
    EXPECT_LT(image.At(35, 65)[0], 60);
    EXPECT_GT(image.At(125, 65)[1], 200) << "the hidden annotation stays hidden";
}

TEST_F(ComposeTest, OnePageObjectHoweverOftenItIsPlaced) {
    const std::string source = dir / "card.pdf";
    WriteSource(source, {});
    auto compose = [&](const std::string& out, int count) {
        ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
        for (int sheet = 0; sheet < 2; ++sheet) {
            ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 650, 465, ""));
            for (int i = 0; i < count; ++i)
                ASSERT_TRUE(PDFLibComposePlacePDIDocW(handle, source.c_str(), 1, 10 + (i % 5) * 93,
                                                      10 + (i / 5) * 53, 90, 50, (i % 4) * 90, 1,
                                                      0));
            ASSERT_TRUE(PDFLibComposeEndPageW(handle));
        }
        ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    };
    compose(dir / "one.pdf", 1);
    compose(dir / "forty.pdf", 40);
    EXPECT_EQ(QpdfCheckProblems(dir / "forty.pdf"), "");
    auto pdf = Read(dir / "forty.pdf");
    int forms = 0;
    for (QPDFObjectHandle object : pdf->getAllObjects())
        if (object.isStream() && object.getDict().getKey("/Subtype").unparse() == "/Form")
            ++forms;
    EXPECT_EQ(forms, 1);
    const auto grown =
        std::filesystem::file_size(dir / "forty.pdf") - std::filesystem::file_size(dir / "one.pdf");
    EXPECT_LT(grown, 2 * 39 * 1024u) << "less than 1 KB per further placement";
}

TEST_F(ComposeTest, DrawsLinesRectanglesAndImagesInTheirColours) {
    const std::string out = dir / "marks.pdf";
    // A JPEG to place: the library's own preview of a red card.
    const std::string card = dir / "card.pdf";
    SourceSpec spec;
    spec.content = "1 0 0 rg 0 0 255.1181 141.7323 re f\n";
    WriteSource(card, spec);
    const std::string jpeg = dir / "card.jpg";
    PDFLibImageRequest request = {card.c_str(), 1, jpeg.c_str(), 96, 100, 0, 0};
    ASSERT_TRUE(PDFLibExportPageImageW(handle, &request)) << Error();

    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 100, 100, ""));
    ASSERT_TRUE(PDFLibComposeRGBRect(handle, 10, 10, 20, 20, 0.9, -1, -1, -1, 0, 0, 1)) << Error();
    ASSERT_TRUE(PDFLibComposeCMYKRect(handle, 50, 10, 20, 20, 2, 1, 1, 1, 1, -1, -1, -1, -1))
        << Error();
    ASSERT_TRUE(PDFLibComposeCMYKLine(handle, 10, 50, 90, 50, 1, 1, 1, 1, 1)) << Error();
    ASSERT_TRUE(PDFLibComposeRGBLine(handle, 80, 60, 80, 90, 1, 0, 1, 0)) << Error();
    ASSERT_TRUE(PDFLibComposePlaceImgeW(handle, (dir / "card.jpg").c_str(), 10, 52, 45, 25, 90))
        << Error();
    // Components that mix "none" with values are a caller's mistake.
    EXPECT_FALSE(PDFLibComposeCMYKLine(handle, 0, 0, 1, 1, 1, -1, 0, 0, 0));
    EXPECT_NE(Error(), "");
    EXPECT_FALSE(PDFLibComposePlaceImgeW(handle, card.c_str(), 0, 0, 10, 10, 0))
        << "a PDF is no JPEG";
    // A picture cut short decodes with grey where its end was: refused.
    const std::string cut = dir / "cut.jpg";
    std::filesystem::copy_file(jpeg, cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) - 10);
    EXPECT_FALSE(PDFLibComposePlaceImgeW(handle, cut.c_str(), 0, 0, 10, 10, 0));
    EXPECT_NE(Error().find("damaged or truncated"), std::string::npos) << Error();
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");

    Rendered image = Render(out, 1, 72);
    auto pixel = [&](double xmm, double ymm) { return image.At(int(xmm * kPt), int(ymm * kPt)); };
    EXPECT_LT(pixel(20, 20)[0], 40); // blue fill
    EXPECT_GT(pixel(20, 20)[2], 200);
    EXPECT_GT(pixel(60, 20)[0], 200); // stroke only: white inside
    EXPECT_LT(pixel(50, 20)[0], 60);  // registration colour on the edge
    EXPECT_LT(pixel(40, 50)[0], 60);
    EXPECT_GT(pixel(80, 75)[1], 150); // green line
    EXPECT_LT(pixel(80, 75)[0], 60);
    // The image turned a quarter: 25 x 45 mm from (10, 52).
    EXPECT_GT(pixel(20, 70)[0], 200);
    EXPECT_LT(pixel(20, 70)[1], 60);
    EXPECT_GT(pixel(40, 70)[1], 200) << "nothing right of the turned image";
}

TEST_F(ComposeTest, DocumentAndPageCallsKeepTheirOrder) {
    const std::string out = dir / "out.pdf";
    EXPECT_FALSE(PDFLibComposeBeginPageW(handle, 100, 100, "")) << "no document";
    EXPECT_NE(Error(), "");
    EXPECT_FALSE(PDFLibComposeBeginDocW(handle, (dir / "missing/out.pdf").c_str(), ""));
    EXPECT_NE(Error().find("missing"), std::string::npos) << Error();

    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    EXPECT_FALSE(PDFLibComposeBeginDocW(handle, out.c_str(), "")) << "one document at a time";
    EXPECT_FALSE(PDFLibComposeCMYKLine(handle, 0, 0, 1, 1, 1, 1, 1, 1, 1)) << "no page";
    EXPECT_FALSE(PDFLibComposeBeginPageW(handle, 0.5, 100, "")) << "too small";
    EXPECT_FALSE(PDFLibComposeEndDocW(handle, "")) << "no pages";
    EXPECT_FALSE(std::filesystem::exists(out));

    // A failed end leaves an existing file as it was and no temporary file.
    WriteSource(out, {});
    const std::string before = ReadText(out);
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 100, 100, ""));
    EXPECT_FALSE(PDFLibComposeEndDocW(handle, "")) << "a page is open";
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    EXPECT_EQ(ReadText(out), before);
    // The open page kept the document open, so it still ends normally.
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_NE(ReadText(out), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // Exit with an open document writes nothing.
    const std::string dropped = dir / "dropped.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, dropped.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 100, 100, ""));
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    PDFLibExit(handle);
    handle = PDFLibInitW(nullptr, nullptr);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

} // namespace

namespace {

// A label PDF as the press makes one: a picture and a line of text.
void WriteLabel(PDFLIB_HANDLE handle, const std::string& path, const std::string& picture,
                const char* text) {
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, path.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 50.8, 25.4, ""));
    ASSERT_TRUE(PDFLibComposePlaceImgeW(handle, picture.c_str(), 2, 2, 20, 21.4, 0))
        << PDFLibGetLastError(handle);
    ASSERT_TRUE(PDFLibComposePlaceCMYKTextBoxW(handle, text, "NanumGothic", 14, 24, 4, 26, 17, 0, 0,
                                               0, 1, 0, 0, 0, 0))
        << PDFLibGetLastError(handle);
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << PDFLibGetLastError(handle);
}

} // namespace

TEST_F(ComposeTest, LabelsPlacedTogetherShareTheirFontsAndPictures) {
    const std::string card = dir / "card.pdf";
    SourceSpec spec;
    spec.content = "1 0 0 rg 0 0 255.1181 141.7323 re f 0 0 1 rg 20 20 60 60 re f\n";
    WriteSource(card, spec);
    const std::string picture = dir / "picture.jpg";
    PDFLibImageRequest request = {card.c_str(), 1, picture.c_str(), 96, 90, 0, 0};
    ASSERT_TRUE(PDFLibExportPageImageW(handle, &request)) << Error();
    // The first two texts use the same glyphs, so their labels carry the same
    // font subset; the third has a subset of its own. The sheet shows them all
    // with one subset of the face.
    const char* texts[] = {"AB 12", "BA 21", "XY 9"};
    constexpr int kLabels = 6;
    std::vector<std::string> labels;
    for (int i = 0; i < kLabels; ++i) {
        labels.push_back(dir / ("label" + std::to_string(i) + ".pdf"));
        WriteLabel(handle, labels.back(), picture, texts[i % 3]);
    }

    // One label per 25.4 mm row: whole pixels at 144 dpi.
    const std::string sheet = dir / "sheet.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, sheet.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 50.8, 25.4 * kLabels, ""));
    for (int i = 0; i < kLabels; ++i)
        ASSERT_TRUE(PDFLibComposePlacePDIDocW(handle, labels[i].c_str(), 1, 0, 25.4 * i, 50.8, 25.4,
                                              0, 1, 0))
            << Error();
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_EQ(QpdfCheckProblems(sheet), "");

    auto pdf = Read(sheet);
    int fontPrograms = 0, images = 0, forms = 0;
    for (QPDFObjectHandle object : pdf->getAllObjects()) {
        if (object.isDictionary() && object.getKey("/Type").unparse() == "/FontDescriptor" &&
            object.getKey("/FontFile2").isStream())
            ++fontPrograms;
        if (object.isStream() && object.getDict().getKey("/Subtype").unparse() == "/Image")
            ++images;
        if (object.isStream() && object.getDict().getKey("/Subtype").unparse() == "/Form")
            ++forms;
    }
    EXPECT_EQ(fontPrograms, 1);
    EXPECT_EQ(images, 1);
    EXPECT_EQ(forms, kLabels) << "every placed page keeps its own form";

    // Each row of the sheet prints as its label alone does.
    constexpr double kDpi = 144;
    const Rendered sheetImage = Render(sheet, 1, kDpi);
    const int rowPx = int(std::lround(25.4 / 25.4 * kDpi));
    for (int i = 0; i < kLabels; ++i) {
        SCOPED_TRACE(labels[i]);
        const Rendered label = Render(labels[i], 1, kDpi);
        ASSERT_EQ(label.width, sheetImage.width);
        int differing = 0, inked = 0;
        for (int y = 0; y < label.height && y + i * rowPx < sheetImage.height; ++y)
            for (int x = 0; x < label.width; ++x) {
                const unsigned char* a = label.At(x, y);
                const unsigned char* b = sheetImage.At(x, y + i * rowPx);
                inked += a[0] < 128 || a[1] < 128;
                for (int c = 0; c < 3; ++c)
                    if (std::abs(a[c] - b[c]) > 48) {
                        ++differing;
                        break;
                    }
            }
        EXPECT_GT(inked, 1000);
        EXPECT_LT(differing, 20);
    }
    EXPECT_NE(ExtractText(sheet, 1).find("XY"), std::string::npos);
}
