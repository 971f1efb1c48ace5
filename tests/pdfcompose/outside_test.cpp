// PDFs from outside the shop as they come: forms, layers, annotations,
// encryption, user units, repairable damage, hostile files; and what the
// library writes when the disk is full.
#include "pdfcompose/pdfcompose.h"

#include "pdffixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace pdffixtures;

namespace {

std::string Stream(const std::string& content, const std::string& dict = "") {
    return "<< /Length " + std::to_string(content.size()) + " " + dict + ">>\nstream\n" + content +
           "\nendstream";
}

// A 100 x 100 pt page (object 3) whose content is object 4, under catalog 1
// (with catalogExtra) and pages 2; page holds pageExtra; further objects
// follow from number 5.
void WritePage(const std::string& path, const std::string& content, const std::string& catalogExtra,
               const std::string& pageExtra, const std::vector<std::string>& more = {}) {
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R " + catalogExtra + ">>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents 4 0 R " + pageExtra + ">>",
        Stream(content)};
    objects.insert(objects.end(), more.begin(), more.end());
    WriteRawPdf(path, objects);
}

// A 500 x 500 pt page of many thin strokes: slow to render at 300 dpi.
void WriteBusyPage(const std::string& path, int strokes) {
    std::string content = "0 0 1 RG 0.1 w\n";
    for (int i = 0; i < strokes; ++i)
        content += std::to_string(i % 500) + " 0 m " + std::to_string(500 - i % 500) + " 500 l S\n";
    WriteRawPdf(path,
                {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                 "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 500 500] /Contents 4 0 R >>",
                 Stream(content)});
}

enum Colour { White, Red, Green, Blue, Other };

Colour ColourAt(const Rendered& image, int x, int y) {
    const unsigned char* p = image.At(x, y);
    auto high = [](int v) { return v > 180; };
    auto low = [](int v) { return v < 90; };
    if (high(p[0]) && high(p[1]) && high(p[2]))
        return White;
    if (high(p[0]) && low(p[1]) && low(p[2]))
        return Red;
    if (low(p[0]) && p[1] > 90 && low(p[2]))
        return Green;
    if (low(p[0]) && low(p[1]) && high(p[2]))
        return Blue;
    return Other;
}

class OutsideTest : public ::testing::Test {
protected:
    void SetUp() override {
        handle = PDFLibInitW(nullptr, nullptr);
        ASSERT_NE(handle, nullptr) << PDFLibGetLastError(nullptr);
    }
    void TearDown() override { PDFLibExit(handle); }
    std::string Error() const { return PDFLibGetLastError(handle); }
    std::string Notes() const { return PDFLibGetLastNotes(handle); }

    // The page as the press gets it (placed on a sheet of its size) and as
    // the preview shows it, both at 72 dpi: one pixel per point.
    struct Views {
        Rendered press, preview;
    };
    Views Show(const std::string& pdf) {
        Views views;
        const std::string sheet = dir / "sheet.pdf", image = dir / "preview.jpg";
        double w = 0, h = 0;
        EXPECT_TRUE(PDFLibComposeGetPDIDocSizeW(handle, pdf.c_str(), 1, &w, &h)) << Error();
        EXPECT_TRUE(PDFLibComposeBeginDocW(handle, sheet.c_str(), "") &&
                    PDFLibComposeBeginPageW(handle, w, h, "") &&
                    PDFLibComposePlacePDIDocW(handle, pdf.c_str(), 1, 0, 0, w, h, 0, 1, 0) &&
                    PDFLibComposeEndPageW(handle) && PDFLibComposeEndDocW(handle, ""))
            << Error();
        EXPECT_EQ(QpdfCheckProblems(sheet), "");
        views.press = Render(sheet, 1, 72);
        PDFLibImageRequest request = {pdf.c_str(), 1, image.c_str(), 72, 100, 0, 0};
        EXPECT_TRUE(PDFLibExportPageImageW(handle, &request)) << Error();
        views.preview = DecodeJpeg(image);
        // Kept for a look at what the preview shows.
        if (const char* keep = std::getenv("TESSEL_KEEP_PREVIEWS"))
            std::filesystem::copy_file(image,
                                       std::filesystem::path(keep) /
                                           (std::filesystem::path(pdf).stem().string() + ".jpg"),
                                       std::filesystem::copy_options::overwrite_existing);
        return views;
    }

    TempDir dir;
    PDFLIB_HANDLE handle = nullptr;
};

// Red square lower left (0..50), blue square lower right (60..100, 0..40).
const std::string kTwoSquares = "/OC /L1 BDC 1 0 0 rg 0 0 50 50 re f EMC\n"
                                "0 0 1 rg 60 0 40 40 re f\n";

TEST_F(OutsideTest, LayersThatDoNotPrintStayHiddenOnThePressAndInThePreview) {
    struct Case {
        const char* name;
        std::string ocProperties, group;
        bool printed;
    };
    const std::string group = "<< /Type /OCG /Name (Proof marks) >>";
    const std::string printOff =
        "<< /Type /OCG /Name (Screen only) /Usage << /Print << /PrintState /OFF >> >> >>";
    const Case cases[] = {
        {"off by default", "<< /OCGs [5 0 R] /D << /OFF [5 0 R] >> >>", group, false},
        {"base state off", "<< /OCGs [5 0 R] /D << /BaseState /OFF >> >>", group, false},
        {"on by default", "<< /OCGs [5 0 R] /D << /ON [5 0 R] >> >>", group, true},
        {"shown but not printed",
         "<< /OCGs [5 0 R] /D << /ON [5 0 R] /AS [<< /Event /Print /OCGs [5 0 R] /Category "
         "[/Print] >>] >> >>",
         printOff, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string pdf = dir / (std::string("layers ") + c.name + ".pdf");
        WritePage(pdf, kTwoSquares, "/OCProperties " + c.ocProperties + " ",
                  "/Resources << /Properties << /L1 5 0 R >> >>", {c.group});
        Views views = Show(pdf);
        for (const Rendered* view : {&views.press, &views.preview}) {
            ASSERT_EQ(view->width, 100);
            EXPECT_EQ(ColourAt(*view, 25, 75), c.printed ? Red : White);
            EXPECT_EQ(ColourAt(*view, 80, 80), Blue) << "content outside the layer";
        }
        EXPECT_EQ(Notes().find("do not print") != std::string::npos, !c.printed) << Notes();
    }
}

TEST_F(OutsideTest, AnnotationsShowAsTheyPrint) {
    // A red note that does not print, a green stamp that prints but is not
    // shown on screen, a blue one that does both.
    const std::string pdf = dir / "annotations.pdf";
    auto annot = [](int flags, const std::string& rect, int ap) {
        return "<< /Type /Annot /Subtype /Square /F " + std::to_string(flags) + " /Rect " + rect +
               " /AP << /N " + std::to_string(ap) + " 0 R >> >>";
    };
    auto appearance = [](const char* colour) {
        return Stream(std::string(colour) + " rg 0 0 30 30 re f",
                      "/Type /XObject /Subtype /Form /BBox [0 0 30 30] ");
    };
    WritePage(pdf, "", "", "/Annots [5 0 R 6 0 R 7 0 R]",
              {annot(0, "[10 60 40 90]", 8), annot(4 | 32, "[60 60 90 90]", 9),
               annot(4, "[10 10 40 40]", 10), appearance("1 0 0"), appearance("0 0.6 0"),
               appearance("0 0 1")});
    Views views = Show(pdf);
    for (const Rendered* view : {&views.press, &views.preview}) {
        EXPECT_EQ(ColourAt(*view, 25, 25), White) << "not printed";
        EXPECT_EQ(ColourAt(*view, 75, 25), Green) << "printed, hidden on screen";
        EXPECT_EQ(ColourAt(*view, 25, 75), Blue) << "printed";
    }
}

TEST_F(OutsideTest, FormsThatAskForNewAppearancesArePlacedWithTheirOwn) {
    const std::string pdf = dir / "form.pdf";
    WritePage(
        pdf, "0 0 1 rg 60 0 40 40 re f",
        "/AcroForm << /Fields [5 0 R 6 0 R] /NeedAppearances true >> ", "/Annots [5 0 R 6 0 R]",
        {"<< /FT /Tx /T (name) /V (Kim) /Type /Annot /Subtype /Widget /F 4 /Rect [10 60 40 "
         "90] /P 3 0 R /AP << /N 7 0 R >> >>",
         "<< /FT /Tx /T (empty) /Type /Annot /Subtype /Widget /F 4 /Rect [10 10 40 40] /P 3 "
         "0 R >>",
         Stream("0 0.6 0 rg 0 0 30 30 re f", "/Type /XObject /Subtype /Form /BBox [0 0 30 30] ")});
    Views views = Show(pdf);
    EXPECT_NE(Notes().find("redraw"), std::string::npos) << Notes();
    EXPECT_NE(Notes().find("1 of 2"), std::string::npos) << Notes();
    for (const Rendered* view : {&views.press, &views.preview}) {
        EXPECT_EQ(ColourAt(*view, 25, 25), Green) << "the field's appearance";
        EXPECT_EQ(ColourAt(*view, 80, 80), Blue);
    }
}

TEST_F(OutsideTest, EncryptedFilesOpenWhenTheyMayBePrinted) {
    const std::string plain = dir / "plain.pdf";
    WritePage(plain, "0 0 1 rg 60 0 40 40 re f", "", "");
    struct Case {
        const char* name;
        const char* options;
        const char* refusal; // empty: opens
    };
    const Case cases[] = {
        {"open", "'' owner 256 --", ""},
        {"no printing", "'' owner 256 --print=none --", "do not allow printing"},
        {"low resolution", "'' owner 256 --print=low --", "only at low resolution"},
        {"password", "user owner 256 --", "protected by a password"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string pdf = dir / (std::string(c.name) + ".pdf");
        ASSERT_EQ(std::system(("qpdf --encrypt " + std::string(c.options) + " '" + plain + "' '" +
                               pdf + "'")
                                  .c_str()),
                  0);
        const int pages = PDFLibComposeCountPagesW(handle, pdf.c_str());
        if (*c.refusal) {
            EXPECT_EQ(pages, 0);
            EXPECT_NE(Error().find(c.refusal), std::string::npos) << Error();
        } else {
            EXPECT_EQ(pages, 1) << Error();
            EXPECT_NE(Notes().find("encrypted"), std::string::npos) << Notes();
            Views views = Show(pdf);
            EXPECT_EQ(ColourAt(views.press, 80, 80), Blue);
            EXPECT_EQ(ColourAt(views.preview, 80, 80), Blue);
        }
    }
}

TEST_F(OutsideTest, UserUnitScalesEveryBox) {
    const std::string pdf = dir / "user unit.pdf";
    // 100 x 100 units of 3 pt with a crop box: 60 x 30 units shown.
    WritePage(pdf, "0 0 1 rg 20 20 60 30 re f", "",
              "/UserUnit 3 /CropBox [20 20 80 50] /Rotate 90");
    double w = 0, h = 0;
    ASSERT_TRUE(PDFLibMiscGetPageSizeW(handle, pdf.c_str(), 0, 1, &w, &h)) << Error();
    EXPECT_NEAR(w, 30 * 3 / 72.0 * 25.4, 0.001);
    EXPECT_NEAR(h, 60 * 3 / 72.0 * 25.4, 0.001);
    Views views = Show(pdf);
    for (const Rendered* view : {&views.press, &views.preview}) {
        EXPECT_NEAR(view->width, 90, 1);
        EXPECT_NEAR(view->height, 180, 1);
        EXPECT_EQ(ColourAt(*view, 45, 90), Blue) << "the shown box is filled";
    }
}

TEST_F(OutsideTest, RepairableFilesOpenWithANoteAndDamagedPageTreesDoNot) {
    const std::string good = dir / "good.pdf";
    WritePage(good, "0 0 1 rg 60 0 40 40 re f", "", "");
    // Every cross-reference offset three bytes off: qpdf rebuilds the table
    // from the objects themselves.
    std::string text = ReadText(good);
    for (size_t at = text.find(" 00000 n", text.find("xref\n")); at != std::string::npos;
         at = text.find(" 00000 n", at + 1)) {
        char offset[16];
        std::snprintf(offset, sizeof offset, "%010ld", std::stol(text.substr(at - 10, 10)) + 3);
        text.replace(at - 10, 10, offset);
    }
    const std::string broken = dir / "broken xref.pdf";
    std::ofstream(broken, std::ios::binary) << text;
    EXPECT_EQ(PDFLibComposeCountPagesW(handle, broken.c_str()), 1) << Error();
    EXPECT_NE(Notes().find("repaired"), std::string::npos) << Notes();
    EXPECT_NE(Notes().find(broken), std::string::npos) << Notes();
    Views views = Show(broken);
    EXPECT_EQ(ColourAt(views.press, 80, 80), Blue);

    const std::string kids = dir / "bad kids.pdf";
    WriteRawPdf(kids, {"<< /Type /Catalog /Pages 2 0 R >>",
                       "<< /Type /Pages /Kids [3 0 R 7 0 R] /Count 2 >>",
                       "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>"});
    EXPECT_EQ(PDFLibComposeCountPagesW(handle, kids.c_str()), 0);
    EXPECT_NE(Error().find("page tree"), std::string::npos) << Error();
}

TEST_F(OutsideTest, HostileFilesAreRefusedWithAReason) {
    const std::string zero = dir / "zero.pdf", fifo = dir / "fifo.pdf", repeated = dir / "rep.pdf",
                      looping = dir / "loop.pdf", huge = dir / "huge.pdf";
    std::filesystem::create_symlink("/dev/zero", zero);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A field tree in which each level lists the next one three times: 3^30
    // paths through 30 objects.
    std::vector<std::string> fields;
    for (int level = 0; level < 30; ++level) {
        const std::string next = std::to_string(6 + level) + " 0 R ";
        fields.push_back(level < 29 ? "<< /T (f) /Kids [" + next + next + next + "] >>"
                                    : "<< /T (leaf) /FT /Tx >>");
    }
    WritePage(repeated, "0 0 1 rg 0 0 9 9 re f", "/AcroForm << /Fields [5 0 R] >> ", "", [&] {
        std::vector<std::string> more{"<< /T (root) /Kids [6 0 R] >>"};
        more.insert(more.end(), fields.begin(), fields.end());
        return more;
    }());
    WritePage(looping, "0 0 1 rg 0 0 9 9 re f", "/AcroForm << /Fields [5 0 R] >> ", "",
              {"<< /T (a) /Kids [6 0 R] >>", "<< /T (b) /Kids [5 0 R] >>"});
    WritePage(huge, "0 0 1 rg 0 0 9 9 re f", "", "/UserUnit 600");

    struct Case {
        std::string path, reason;
    };
    const Case cases[] = {
        {zero, "not a regular file"},         {fifo, "not a regular file"},
        {repeated, "appears more than once"}, {looping, "appears more than once"},
        {huge, "larger than 15000 mm"},
    };
    const std::string image = dir / "p.jpg";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PDFLibComposeCountPagesW(handle, c.path.c_str()), 0);
        EXPECT_NE(Error().find(c.reason), std::string::npos) << Error();
        PDFLibImageRequest request = {c.path.c_str(), 1, image.c_str(), 96, 100, 0, 0};
        EXPECT_FALSE(PDFLibExportPageImageW(handle, &request));
        EXPECT_NE(Error().find(c.reason), std::string::npos) << Error();
    }
    EXPECT_FALSE(std::filesystem::exists(image));
}

TEST_F(OutsideTest, RenderingHasATimeAndMemoryBudgetAndAPixelLimit) {
    // Far more than a few milliseconds of work at 300 dpi.
    const std::string busy = dir / "busy.pdf", image = dir / "busy.jpg";
    WriteBusyPage(busy, 20000);
    PDFLibImageRequest request = {busy.c_str(), 1, image.c_str(), 300, 90, 0.001, 0};
    EXPECT_FALSE(PDFLibExportPageImageW(handle, &request));
    EXPECT_NE(Error().find("longer than"), std::string::npos) << Error();
    // A page image of 230 MB within 1 MB more than the program has.
    request.timeLimit = 0;
    request.memoryLimit = 1;
    request.dpi = 1100;
    EXPECT_FALSE(PDFLibExportPageImageW(handle, &request));
    EXPECT_NE(Error().find("MB"), std::string::npos) << Error();
    EXPECT_FALSE(std::filesystem::exists(image));
    request.memoryLimit = 0;
    request.dpi = 2400;
    EXPECT_FALSE(PDFLibExportPageImageW(handle, &request));
    EXPECT_NE(Error().find("million pixels"), std::string::npos) << Error();
    request.dpi = 30;
    EXPECT_TRUE(PDFLibExportPageImageW(handle, &request)) << Error();
}

// Many pages at once: each result stays with its request whatever the
// order the children finish in, a page that runs late, cannot be read or
// cannot be written fails alone, and the images are the ones a page at a
// time makes.
TEST_F(OutsideTest, PagesRenderedTogetherMatchPagesRenderedOneByOne) {
    const std::string red = dir / "red.pdf", blue = dir / "blue.pdf", busy = dir / "busy.pdf";
    WritePage(red, "1 0 0 rg 0 0 40 20 re f", "", "");
    WritePage(blue, "0 0 1 rg 10 10 40 20 re f", "", "");
    WriteBusyPage(busy, 20000);
    const std::string missing = dir / "missing.pdf";
    struct Case {
        std::string pdf, reason; // reason: empty when the image is written
        double seconds;
        const char* folder = ""; // of the image, in dir
    };
    const Case cases[] = {
        {red, "", 0},
        {busy, "longer than", 0.001},
        {missing, "missing.pdf", 0},
        {blue, "", 0},
        {blue, "cannot create a file beside", 0, "none/"},
        {red, "", 0},
        {busy, "", 0},
    };
    const size_t count = std::size(cases);
    std::vector<std::string> images(count);
    for (int workers : {1, 2, 0}) {
        SCOPED_TRACE("workers " + std::to_string(workers));
        std::vector<PDFLibImageRequest> requests;
        for (size_t i = 0; i < count; ++i) {
            images[i] = dir / (cases[i].folder + ("batch" + std::to_string(i) + ".jpg"));
            std::filesystem::remove(images[i]);
            requests.push_back(
                {cases[i].pdf.c_str(), 1, images[i].c_str(), 30, 90, cases[i].seconds, 0});
        }
        std::vector<const char*> reasons(count, nullptr);
        EXPECT_EQ(
            PDFLibExportPageImagesW(handle, requests.data(), int(count), workers, reasons.data()),
            4);
        EXPECT_NE(Error().find("longer than"), std::string::npos) << "the first failure";
        for (size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            ASSERT_NE(reasons[i], nullptr);
            if (cases[i].reason.empty()) {
                EXPECT_STREQ(reasons[i], "");
                const std::string single = dir / "single.jpg";
                PDFLibImageRequest one = requests[i];
                one.imagePath = single.c_str();
                ASSERT_TRUE(PDFLibExportPageImageW(handle, &one)) << Error();
                EXPECT_EQ(ReadText(images[i]), ReadText(single));
            } else {
                EXPECT_NE(std::string(reasons[i]).find(cases[i].reason), std::string::npos)
                    << reasons[i];
                EXPECT_FALSE(std::filesystem::exists(images[i]));
            }
        }
    }
    EXPECT_EQ(PDFLibExportPageImagesW(handle, nullptr, 0, 0, nullptr), 0);
    EXPECT_NE(Error(), "");
}

TEST_F(OutsideTest, AFileIsReadAgainOnlyWhenItChanged) {
    const std::string pdf = dir / "changing.pdf";
    WritePage(pdf, "", "", "");
    double w = 0, h = 0;
    ASSERT_TRUE(PDFLibMiscGetPageSizeW(handle, pdf.c_str(), 0, 1, &w, &h));
    EXPECT_NEAR(w, 100 / 72.0 * 25.4, 0.001);
    // Replaced by another file under the same name (a new inode and size).
    const std::string other = dir / "other.pdf";
    WriteRawPdf(other, {"<< /Type /Catalog /Pages 2 0 R >>",
                        "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] >>",
                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] >>"});
    std::filesystem::rename(other, pdf);
    EXPECT_EQ(PDFLibComposeCountPagesW(handle, pdf.c_str()), 2);
    ASSERT_TRUE(PDFLibMiscGetPageSizeW(handle, pdf.c_str(), 0, 2, &w, &h));
    EXPECT_NEAR(w, 200 / 72.0 * 25.4, 0.001);
    // Damaged in place: the next question reads it again and refuses it.
    std::ofstream(pdf, std::ios::binary | std::ios::trunc) << "%PDF-1.4 nothing here";
    EXPECT_EQ(PDFLibComposeCountPagesW(handle, pdf.c_str()), 0);
    EXPECT_NE(Error().find(pdf), std::string::npos) << Error();
}

// A process's state as /proc shows it ('R', 'S', 'T', 'Z', ...), or 0.
char StateOf(pid_t pid, pid_t* parent = nullptr) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // "pid (name) state ppid ...": the name may hold spaces, not ')'.
    const size_t close = line.rfind(')');
    char state = 0;
    int ppid = 0;
    if (close == std::string::npos ||
        std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) != 2)
        return 0;
    if (parent)
        *parent = ppid;
    return state;
}

// This process's children that are alive (the tests start no children but
// the library's render children), in the order of their process ids.
std::vector<pid_t> LiveChildren() {
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = std::stoi(name);
        pid_t parent = 0;
        const char state = StateOf(pid, &parent);
        if (state != 0 && state != 'Z' && parent == getpid())
            children.push_back(pid);
    }
    std::sort(children.begin(), children.end());
    return children;
}

// The render child of this process that has the file mapped, or 0.
pid_t ChildThatMapped(const std::string& path) {
    for (const pid_t child : LiveChildren()) {
        std::ifstream maps("/proc/" + std::to_string(child) + "/maps");
        const std::string text((std::istreambuf_iterator<char>(maps)),
                               std::istreambuf_iterator<char>());
        if (text.find(path) != std::string::npos)
            return child;
    }
    return 0;
}

// A program renders from threads of its own: the render children a thread
// started are kept for the next pages after that thread has ended.
TEST_F(OutsideTest, RenderChildrenOutliveTheThreadThatStartedThem) {
    const std::string red = dir / "red.pdf", image = dir / "red.jpg";
    WritePage(red, "1 0 0 rg 0 0 40 20 re f", "", "");
    auto renderOnAThread = [&] {
        bool written = false;
        std::thread([&] {
            PDFLibImageRequest request = {red.c_str(), 1, image.c_str(), 30, 90, 0, 0};
            written = PDFLibExportPageImageW(handle, &request);
        }).join();
        return written;
    };
    ASSERT_TRUE(renderOnAThread()) << Error();
    const std::vector<pid_t> started = LiveChildren();
    ASSERT_FALSE(started.empty());
    ASSERT_TRUE(renderOnAThread()) << Error();
    EXPECT_EQ(LiveChildren(), started);
}

// ... and end with the program all the same, even in the middle of a page,
// writing nothing for a program that is gone.
TEST_F(OutsideTest, RenderChildrenEndWithTheProgramEvenWhileRendering) {
    const std::string busy = dir / "busy.pdf", image = dir / "busy.jpg";
    WriteBusyPage(busy, 400000);
    // The program's children come to this process when it ends.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        PDFLIB_HANDLE own = PDFLibInitW(nullptr, nullptr);
        std::thread([&] {
            PDFLibImageRequest request = {busy.c_str(), 1, image.c_str(), 300, 90, 0, 0};
            PDFLibExportPageImageW(own, &request);
        }).detach();
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        pid_t child = 0;
        while ((child = ChildThatMapped(busy)) == 0 && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (write(report[1], &child, sizeof child) != sizeof child)
            _exit(1);
        pause();
        _exit(0);
    }
    close(report[1]);
    // Whatever fails below, neither process outlives the test, and this
    // process takes no more orphans.
    struct Ending {
        pid_t program, child = 0;
        ~Ending() {
            for (const pid_t pid : {program, child})
                if (pid > 0 && kill(pid, SIGKILL) == 0)
                    waitpid(pid, nullptr, 0);
            prctl(PR_SET_CHILD_SUBREAPER, 0);
        }
    } ending{program};
    pid_t child = 0;
    ASSERT_EQ(read(report[0], &child, sizeof child), ssize_t(sizeof child));
    close(report[0]);
    ASSERT_GT(child, 0);
    ending.child = child;
    // Held where it renders, so that the page cannot be finished before the
    // program has ended.
    kill(child, SIGSTOP);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (StateOf(child) != 'T' && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(StateOf(child), 'T');
    kill(program, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    ending.program = 0;
    kill(child, SIGCONT);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ending.child = 0;
    EXPECT_FALSE(std::filesystem::exists(image));
}

// A source another workstation rewrites while its page renders: the page
// fails with that reason (not as a crash), and the next page renders.
TEST_F(OutsideTest, ASourceRewrittenWhileItsPageRendersFailsWithThatReason) {
    // Strokes enough to keep the renderer reading the file for seconds.
    const std::string busy = dir / "busy.pdf", image = dir / "busy.jpg";
    WriteBusyPage(busy, 400000);
    std::thread rewriter([&] {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (ChildThatMapped(busy) == 0 && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::filesystem::resize_file(busy, 0);
    });
    PDFLibImageRequest request = {busy.c_str(), 1, image.c_str(), 300, 90, 0, 0};
    EXPECT_FALSE(PDFLibExportPageImageW(handle, &request));
    rewriter.join();
    EXPECT_NE(Error().find("busy.pdf, page 1: the file changed while its page was rendered"),
              std::string::npos)
        << Error();
    EXPECT_FALSE(std::filesystem::exists(image));
    const std::string red = dir / "red.pdf";
    WritePage(red, "1 0 0 rg 0 0 40 20 re f", "", "");
    request.pdfPath = red.c_str();
    EXPECT_TRUE(PDFLibExportPageImageW(handle, &request)) << Error();
}

// Every file the library writes, tried where no byte can be written: each
// must fail with a reason and leave the file that was there. Returns what
// went wrong, one line each.
std::string TryWrites(const std::string& folder, const std::string& source) {
    PDFLIB_HANDLE handle = PDFLibInitW(nullptr, nullptr);
    if (!handle)
        return "no library handle\n";
    std::string problems;
    auto expectFailure = [&](const std::string& what, const std::string& target,
                             const std::string& before, int ok) {
        if (ok)
            problems += what + ": reported success\n";
        else if (std::string(PDFLibGetLastError(handle)).empty())
            problems += what + ": no reason given\n";
        if (ReadText(target) != before)
            problems += what + ": the file that was there was replaced\n";
    };
    const std::string composed = folder + "/composed.pdf", merged = folder + "/merged.pdf",
                      barcode = folder + "/barcode.pdf", image = folder + "/preview.jpg",
                      versioned = folder + "/versioned.pdf";
    expectFailure("compose", composed, ReadText(composed),
                  PDFLibComposeBeginDocW(handle, composed.c_str(), "") &&
                      PDFLibComposeBeginPageW(handle, 100, 100, "") &&
                      PDFLibComposePlacePDIDocW(handle, source.c_str(), 1, 0, 0, 90, 50, 0, 1, 0) &&
                      PDFLibComposeEndPageW(handle) && PDFLibComposeEndDocW(handle, ""));
    const char* inputs[] = {source.c_str(), source.c_str()};
    expectFailure("merge", merged, ReadText(merged),
                  PDFLibMiscMergeW(handle, inputs, 2, merged.c_str()));
    expectFailure("barcode", barcode, ReadText(barcode),
                  PDFLibMiscCreateBarcodeW(handle, barcode.c_str(), "P0001", 40, 10, 3, 0));
    PDFLibImageRequest request = {source.c_str(), 1, image.c_str(), 96, 100, 0, 0};
    expectFailure("preview", image, ReadText(image), PDFLibExportPageImageW(handle, &request));
    expectFailure("version", versioned, ReadText(versioned),
                  PDFLibMiscSetPDFVersionW(handle, versioned.c_str(), 17));
    PDFLibExit(handle);
    return problems;
}

// Runs TryWrites on a full file system: a small tmpfs filled to the last
// byte where this process may mount one, else in a child process whose
// file size limit refuses every write (the same failure from the kernel,
// without a mount).
TEST(FullDiskTest, EveryWriteFailsCleanlyAndLeavesTheOldFile) {
    TempDir dir;
    const std::string source = dir / "card.pdf";
    WriteSource(source, {});
    const std::string folder = dir / "press";
    std::filesystem::create_directory(folder);
    const bool mounted = mount("tessel-test", folder.c_str(), "tmpfs", 0, "size=256k") == 0;
    for (const char* name : {"composed.pdf", "merged.pdf", "barcode.pdf", "preview.jpg"})
        std::ofstream(folder + "/" + name, std::ios::binary) << "the file that was here";
    std::filesystem::copy_file(source, folder + "/versioned.pdf");
    std::string problems;
    if (mounted) {
        std::ofstream filler(folder + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
        filler.close();
        problems = TryWrites(folder, source);
    } else {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit none = {0, 0};
            setrlimit(RLIMIT_FSIZE, &none);
            const std::string found = TryWrites(folder, source);
            if (write(fds[1], found.data(), found.size()) < 0)
                _exit(2);
            _exit(0);
        }
        close(fds[1]);
        char buffer[4096];
        ssize_t got;
        while ((got = read(fds[0], buffer, sizeof buffer)) > 0)
            problems.append(buffer, static_cast<size_t>(got));
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    if (mounted)
        umount2(folder.c_str(), MNT_DETACH);
    EXPECT_EQ(problems, "") << (mounted ? "on a full tmpfs" : "with no file size allowed");
    const std::vector<std::string> expected =
        mounted ? std::vector<std::string>{"barcode.pdf", "composed.pdf", "filler",
                                           "merged.pdf",  "preview.jpg",  "versioned.pdf"}
                : std::vector<std::string>{"barcode.pdf", "composed.pdf", "merged.pdf",
                                           "preview.jpg", "versioned.pdf"};
    EXPECT_EQ(left, expected) << "no temporary file stays behind";
}

} // namespace
