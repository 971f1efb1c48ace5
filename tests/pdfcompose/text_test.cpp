#include "pdfcompose/pdfcompose.h"

#include "pdffixtures.h"

#include <qpdf/QPDFPageDocumentHelper.hh>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using namespace pdffixtures;

namespace {

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        handle = PDFLibInitW(nullptr, nullptr);
        ASSERT_NE(handle, nullptr) << PDFLibGetLastError(nullptr);
    }
    void TearDown() override { PDFLibExit(handle); }
    std::string Error() const { return PDFLibGetLastError(handle); }

    // Base fonts and whether each has an embedded TrueType subset.
    std::map<std::string, bool> Fonts(const std::string& path) {
        std::map<std::string, bool> fonts;
        auto pdf = Read(path);
        for (QPDFObjectHandle object : pdf->getAllObjects()) {
            if (!object.isDictionary() || object.getKey("/Subtype").unparse() != "/CIDFontType2")
                continue;
            const std::string name = object.getKey("/BaseFont").getName();
            QPDFObjectHandle file = object.getKey("/FontDescriptor").getKey("/FontFile2");
            fonts[name] = file.isStream() && name.size() > 8 && name[7] == '+';
        }
        return fonts;
    }

    TempDir dir;
    PDFLIB_HANDLE handle = nullptr;
};

TEST_F(TextTest, KoreanAndLatinInEveryAlignmentAndRotationStayExtractable) {
    const std::string out = dir / "text.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    std::vector<std::string> expected;
    for (int rotation : {0, 90, 180, 270}) {
        ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 200, 200, ""));
        for (int halign = 0; halign < 3; ++halign)
            for (int valign = 0; valign < 3; ++valign) {
                const std::string text = "판" + std::to_string(rotation) + "-" +
                                         std::to_string(halign) + std::to_string(valign) +
                                         " Tessel";
                ASSERT_TRUE(PDFLibComposePlaceCMYKTextBoxW(
                    handle, text.c_str(), "맑은 고딕", 10, 10 + halign * 62, 10 + valign * 62, 60,
                    60, 0, 0, 0, 1, halign, valign, rotation, 1))
                    << Error();
            }
        ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    }
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_EQ(QpdfCheckProblems(out), "");

    for (int page = 1; page <= 4; ++page) {
        const std::string text = ExtractText(out, page);
        for (int halign = 0; halign < 3; ++halign)
            for (int valign = 0; valign < 3; ++valign) {
                const std::string want = "판" + std::to_string((page - 1) * 90) + "-" +
                                         std::to_string(halign) + std::to_string(valign) +
                                         " Tessel";
                EXPECT_NE(text.find(want), std::string::npos)
                    << want << " in page " << page << ":\n"
                    << text;
            }
    }
    std::map<std::string, bool> fonts = Fonts(out);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_NE(fonts.begin()->first.find("NanumGothic"), std::string::npos) << fonts.begin()->first;
    EXPECT_TRUE(fonts.begin()->second) << "embedded as a tagged subset";
    // A subset of a few glyphs is far smaller than the whole face.
    auto pdf = Read(out);
    EXPECT_LT(std::filesystem::file_size(out), 60000u);
}

TEST_F(TextTest, WindowsKoreanFaceNamesResolveToNanumFaces) {
    const std::pair<const char*, const char*> cases[] = {
        {"맑은 고딕", "NanumGothic"}, {"굴림", "NanumGothic"},     {"돋움체", "NanumGothicCoding"},
        {"바탕", "NanumMyeongjo"},    {"궁서체", "NanumMyeongjo"}, {"@굴림", "NanumGothic"},
    };
    for (auto [face, family] : cases) {
        const std::string out = dir / "face.pdf";
        ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
        ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 100, 50, ""));
        ASSERT_TRUE(PDFLibComposePlaceCMYKTextBoxW(handle, "가", face, 12, 0, 0, 100, 50, 0, 0, 0,
                                                   1, 0, 0, 0, 1))
            << Error();
        ASSERT_TRUE(PDFLibComposeEndPageW(handle));
        ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
        std::map<std::string, bool> fonts = Fonts(out);
        ASSERT_EQ(fonts.size(), 1u) << face;
        EXPECT_EQ(fonts.begin()->first.substr(8), std::string(family)) << face;
    }
}

TEST_F(TextTest, CharactersTheFaceLacksComeFromAFontThatHasThem) {
    const std::string out = dir / "fallback.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 100, 50, ""));
    ASSERT_TRUE(PDFLibComposePlaceCMYKTextBoxW(handle, "Arial 한글", "Arial", 12, 0, 0, 100, 50, -1,
                                               -1, -1, -1, 1, 1, 0, 1))
        << Error();
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    EXPECT_NE(ExtractText(out, 1).find("Arial 한글"), std::string::npos) << ExtractText(out, 1);
    EXPECT_EQ(Fonts(out).size(), 2u) << "a Latin face and a Korean one";
    EXPECT_EQ(QpdfCheckProblems(out), "");
}

TEST_F(TextTest, OnlyWholeLinesInsideTheBoxAreDrawn) {
    const std::string out = dir / "fit.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 100, 100, ""));
    // Wraps by characters into lines of about 8; only two lines fit.
    ASSERT_TRUE(PDFLibComposePlaceCMYKTextBoxW(handle, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "NanumGothic",
                                               10, 0, 0, 30, 9.5, 0, 0, 0, 1, 0, 0, 0, 1))
        << Error();
    // Too low for one line: nothing is drawn, and that is no failure.
    ASSERT_TRUE(PDFLibComposePlaceCMYKTextBoxW(handle, "zzz", "NanumGothic", 10, 0, 50, 30, 2, 0, 0,
                                               0, 1, 0, 0, 0, 1));
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
    std::string text = ExtractText(out, 1);
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == ' '; }),
        text.end());
    EXPECT_EQ(text.rfind("ABCDEFG", 0), 0u) << text;
    EXPECT_EQ(text.find('Z'), std::string::npos) << "the third line does not fit: " << text;
    EXPECT_EQ(text.find('z'), std::string::npos);
}

TEST_F(TextTest, RefusesTextItCannotShowFaithfully) {
    const std::string out = dir / "bad.pdf";
    ASSERT_TRUE(PDFLibComposeBeginDocW(handle, out.c_str(), ""));
    ASSERT_TRUE(PDFLibComposeBeginPageW(handle, 100, 100, ""));
    struct Case {
        const char* text;
        double rotation;
        int halign;
    } cases[] = {
        {"\xF4\x8F\xBF\xBD", 0, 0}, // a private-use character no font has
        {"abc\xC3", 0, 0},          // cut UTF-8
        {"abc", 45, 0},             // not a quarter turn
        {"abc", 0, 3},              // no such alignment
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(PDFLibComposePlaceCMYKTextBoxW(handle, c.text, "NanumGothic", 10, 0, 0, 50, 50,
                                                    0, 0, 0, 1, c.halign, 0, c.rotation, 1));
        EXPECT_NE(Error(), "");
    }
    ASSERT_TRUE(PDFLibComposeEndPageW(handle));
    ASSERT_TRUE(PDFLibComposeEndDocW(handle, "")) << Error();
}

} // namespace
