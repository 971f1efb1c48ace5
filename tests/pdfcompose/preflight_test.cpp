#include "pdfcompose/pdfcompose.h"

#include "pdffixtures.h"

#include <qpdf/QPDFWriter.hh>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace pdffixtures;

namespace {

std::string Stream(const std::string& dict, const std::string& data) {
    return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
           "\nendstream";
}

// A one-page artwork from raw parts: the page's extra keys (boxes), its
// resources, its content, and further objects from number 5 on.
struct Artwork {
    std::string boxes = "/MediaBox [0 0 266.46 153.07]"; // 94 x 54 mm: 90 x 50 with 2 mm bleed
    std::string resources;
    std::string content = "0 0 0 1 k 0 0 266.46 153.07 re f";
    std::vector<std::string> more;
    int pages = 1;
};

// An artwork drawing content with resources (and further objects).
Artwork Drawing(const std::string& resources, const std::string& content,
                const std::vector<std::string>& more = {}) {
    Artwork art;
    art.resources = resources;
    art.content = content;
    art.more = more;
    return art;
}

Artwork Boxes(const std::string& boxes) {
    Artwork art;
    art.boxes = boxes;
    return art;
}

Artwork TwoPages() {
    Artwork art;
    art.pages = 2;
    return art;
}

void Write(const std::string& path, const Artwork& art) {
    const std::string page = "<< /Type /Page /Parent 2 0 R " + art.boxes + " /Resources << " +
                             art.resources + " >> /Contents 4 0 R >>";
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", "", page,
                                        Stream("", art.content)};
    objects.insert(objects.end(), art.more.begin(), art.more.end());
    // Further pages are copies of the first, after every other object.
    std::string kids = "3 0 R ";
    for (int i = 1; i < art.pages; ++i) {
        objects.push_back(page);
        kids += std::to_string(objects.size()) + " 0 R ";
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(art.pages) + " >>";
    WriteRawPdf(path, objects);
}

std::string Image(int w, int h, const std::string& space, int components) {
    return Stream("/Type /XObject /Subtype /Image /Width " + std::to_string(w) + " /Height " +
                      std::to_string(h) + " /ColorSpace " + space + " /BitsPerComponent 8",
                  std::string(size_t(w * h * components), '\x40'));
}

struct Found {
    std::string code;
    int page, pages;
    double value;
    std::string text;
};

class PreflightTest : public ::testing::Test {
protected:
    void SetUp() override {
        handle = PDFLibInitW(nullptr, nullptr);
        ASSERT_NE(handle, nullptr);
    }
    void TearDown() override { PDFLibExit(handle); }

    std::vector<Found> Check(const std::string& path, int pages = 1, int cmyk = 1, double w = 90,
                             double h = 50) {
        PDFLibPreflightRequest request = {path.c_str(), w, h, 2.0, pages, cmyk, 0};
        const PDFLibPreflightFinding* findings = nullptr;
        int count = -1;
        EXPECT_EQ(PDFLibPreflightW(handle, &request, &findings, &count), 1)
            << PDFLibGetLastError(handle);
        std::vector<Found> found;
        for (int i = 0; i < count; ++i)
            found.push_back({findings[i].code, findings[i].page, findings[i].pages,
                             findings[i].value, findings[i].text});
        return found;
    }
    static std::string Codes(const std::vector<Found>& found) {
        std::string codes;
        for (const Found& f : found)
            codes += (codes.empty() ? "" : " ") + f.code;
        return codes;
    }

    TempDir dir;
    PDFLIB_HANDLE handle = nullptr;
};

TEST_F(PreflightTest, EachFaultOfAnArtworkIsFoundAndACleanOneHasNone) {
    const std::string overprint = "<< /Type /ExtGState /op true /OP true >>";
    const std::string separation =
        "[/Separation /Gold /DeviceCMYK << /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 "
        "0.2 0.8 0.1] /N 1 >>]";
    struct Case {
        const char* name;
        Artwork art;
        const char* codes;
        double value = 0;
    } cases[] = {
        {"clean", {}, ""},
        {"turned page", Boxes("/MediaBox [0 0 153.07 266.46]"), ""},
        {"trim and bleed boxes that agree",
         Boxes("/MediaBox [0 0 266.46 153.07] /TrimBox [5.67 5.67 260.79 147.4] /BleedBox [0 0 "
               "266.46 "
               "153.07]"),
         ""},
        {"no bleed", Boxes("/MediaBox [0 0 255.12 141.73]"), "bleed", 0},
        {"too little bleed", Boxes("/MediaBox [0 0 260.79 147.4]"), "bleed", 1},
        {"bleed only on the trim box's left",
         Boxes("/MediaBox [0 0 266.46 153.07] /TrimBox [5.67 0 260.79 141.73]"), "bleed", 0},
        {"bleed box short of the bleed",
         Boxes(
             "/MediaBox [0 0 266.46 153.07] /TrimBox [5.67 5.67 260.79 147.4] /BleedBox [2.83 2.83 "
             "263.62 150.24]"),
         "bleed-box", 1},
        {"A4 page", Boxes("/MediaBox [0 0 595.28 841.89]"), "size", 210},
        {"smaller page", Boxes("/MediaBox [0 0 200 120]"), "size"},
        {"trim box of another size", Boxes("/MediaBox [0 0 300 200] /TrimBox [10 10 290 190]"),
         "size"},
        {"rgb fill", Drawing("", "1 0 0 rg 0 0 10 10 re f"), "rgb"},
        {"rgb icc space",
         Drawing("/ColorSpace << /CS0 [/ICCBased 5 0 R] >>", "/CS0 cs 1 0 0 sc 0 0 10 10 re f",
                 {Stream("/N 3", "")}),
         "rgb"},
        {"spot colour",
         Drawing("/ColorSpace << /CS0 " + separation + " >>", "/CS0 cs 1 sc 0 0 10 10 re f"),
         "spot", 1},
        {"rgb shading",
         Drawing("/Shading << /Sh0 << /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 "
                 "10 0] /Function << /FunctionType 2 /Domain [0 1] /C0 [1 0 0] /C1 [0 0 "
                 "1] /N 1 >> >> >>",
                 "/Sh0 sh"),
         "rgb"},
        {"white overprinted",
         Drawing("/ExtGState << /GS0 " + overprint + " >>", "/GS0 gs 0 0 0 0 k 0 0 10 10 re f"),
         "overprint"},
        {"black overprinted is fine",
         Drawing("/ExtGState << /GS0 " + overprint + " >>", "/GS0 gs 0 0 0 1 k 0 0 10 10 re f"),
         ""},
        {"font not embedded",
         Drawing("/Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >>",
                 "BT /F1 12 Tf 10 10 Td (Hi) Tj ET"),
         "font"},
        {"low resolution image",
         Drawing("/XObject << /Im0 5 0 R >>", "q 255.12 0 0 141.73 0 0 cm /Im0 Do Q",
                 {Image(50, 28, "/DeviceCMYK", 4)}),
         "dpi", 14},
        {"image in a form, shrunk to print sharp",
         Drawing("/XObject << /Fm0 5 0 R >>", "q 0.1 0 0 0.1 0 0 cm /Fm0 Do Q",
                 {Stream("/Type /XObject /Subtype /Form /BBox [0 0 1000 1000] /Resources << "
                         "/XObject << /Im0 6 0 R >> >>",
                         "q 72 0 0 72 0 0 cm /Im0 Do Q"),
                  Image(50, 50, "/DeviceCMYK", 4)}),
         ""},
        {"rgb inline image",
         Drawing("", "q 0.5 0 0 0.5 0 0 cm BI /W 2 /H 2 /CS /RGB /BPC 8 ID " +
                         std::string(12, 'x') + " EI Q"),
         "rgb"},
        {"two pages for one", TwoPages(), "pages", 2},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / ("art" + std::to_string(index++) + ".pdf");
        Write(path, c.art);
        const std::vector<Found> found = Check(path);
        EXPECT_EQ(Codes(found), c.codes);
        if (!found.empty() && c.value != 0)
            EXPECT_NEAR(found[0].value, c.value, 0.6);
        for (const Found& f : found)
            EXPECT_NE(f.text, "");
    }
}

TEST_F(PreflightTest, ColourIsAFindingOnlyOnACmykJob) {
    Artwork art;
    art.content = "1 0 0 rg 0 0 10 10 re f";
    Write(dir / "rgb.pdf", art);
    EXPECT_EQ(Codes(Check(dir / "rgb.pdf", 1, 1)), "rgb");
    EXPECT_EQ(Codes(Check(dir / "rgb.pdf", 1, 0)), "");
}

TEST_F(PreflightTest, FindingsOfEveryPageAreJoined) {
    Artwork art;
    art.boxes = "/MediaBox [0 0 255.12 141.73]";
    art.pages = 3;
    Write(dir / "three.pdf", art);
    const std::vector<Found> found = Check(dir / "three.pdf", 3);
    ASSERT_EQ(Codes(found), "bleed");
    EXPECT_EQ(found[0].page, 1);
    EXPECT_EQ(found[0].pages, 3);
}

TEST_F(PreflightTest, UnreadableLockedAndRepairedFilesAreFindingsAndAMissingOneFails) {
    std::ofstream(dir / "junk.pdf") << "%PDF-1.4\nnot a pdf at all\n";
    EXPECT_EQ(Codes(Check(dir / "junk.pdf")), "damaged");

    // Cross-reference offsets that point nowhere: qpdf rebuilds the table.
    Write(dir / "clean.pdf", Artwork{});
    std::string data = ReadText(dir / "clean.pdf");
    data.replace(data.find("startxref\n") + 10,
                 data.find("\n%%EOF") - data.find("startxref\n") - 10, "9");
    std::ofstream(dir / "repaired.pdf", std::ios::binary) << data;
    EXPECT_EQ(Codes(Check(dir / "repaired.pdf")), "repaired");

    for (const char* user : {"", "secret"}) {
        SCOPED_TRACE(user);
        QPDF pdf;
        pdf.processFile((dir / "clean.pdf").c_str());
        QPDFWriter writer(pdf, (dir / "locked.pdf").c_str());
        writer.setR6EncryptionParameters(user, "owner", true, true, true, true, true, true,
                                         qpdf_r3p_full, true);
        writer.write();
        EXPECT_EQ(Codes(Check(dir / "locked.pdf")), "encrypted");
    }

    const std::string missing = dir / "none.pdf", clean = dir / "clean.pdf";
    PDFLibPreflightRequest request = {missing.c_str(), 90, 50, 2, 1, 1, 0};
    const PDFLibPreflightFinding* findings = nullptr;
    int count = 0;
    EXPECT_EQ(PDFLibPreflightW(handle, &request, &findings, &count), 0);
    EXPECT_NE(std::string(PDFLibGetLastError(handle)).find("does not exist"), std::string::npos);
    request.bleed = -1;
    request.pdfPath = clean.c_str();
    EXPECT_EQ(PDFLibPreflightW(handle, &request, &findings, &count), 0);
    EXPECT_EQ(PDFLibPreflightW(handle, nullptr, &findings, &count), 0);
}

} // namespace
