#include "pageexporter.h"

#include "composeddocument.h"
#include "failure.h"
#include "geometry.h"
#include "jpegfile.h"
#include "outputfile.h"
#include "pdfsource.h"
#include "session.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pdfcompose {
namespace {

void Silence(const std::string&, void*) {}

void WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return;
        data += done;
        size -= static_cast<size_t>(done);
    }
}

// The address space the process already has, so that a budget can be set
// on top of it.
unsigned long long AddressSpaceBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long long pages = 0;
    if (statm) {
        if (std::fscanf(statm, "%llu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    return pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
}

// Runs in the child: the answer is 'J' and the JPEG, or 'E' and a reason.
std::string RenderInChild(const std::string& pdf, int dpi, int quality, double megabytes,
                          double pixels) {
    const std::string tooBig = "Erendering the page needs more than " +
                               std::to_string(int(megabytes)) + " MB; it is refused";
    try {
        poppler::set_debug_error_function(Silence, nullptr);
        std::unique_ptr<poppler::document> document(
            poppler::document::load_from_raw_data(pdf.data(), static_cast<int>(pdf.size())));
        if (!document)
            return "Ethe renderer cannot open the page";
        std::unique_ptr<poppler::page> page(document->create_page(0));
        if (!page)
            return "Ethe renderer cannot open the page";
        poppler::page_renderer renderer;
        renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
        renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
        renderer.set_paper_color(0xFFFFFFFFu);
        renderer.set_image_format(poppler::image::format_argb32);
        poppler::image image = renderer.render_page(page.get(), dpi, dpi);
        if (!image.is_valid() || image.width() <= 0 || image.height() <= 0)
            return "Ethe page cannot be rendered";
        // The renderer answers an allocation it cannot make with a tiny
        // image instead of an error.
        if (double(image.width()) * image.height() < pixels / 4)
            return tooBig;
        const int width = image.width(), height = image.height();
        std::vector<unsigned char> rgb(size_t(width) * height * 3);
        const char* data = image.const_data();
        for (int y = 0; y < height; ++y) {
            const char* row = data + size_t(y) * image.bytes_per_row();
            for (int x = 0; x < width; ++x) {
                uint32_t pixel; // 0xAARRGGBB in native order, opaque on white paper
                std::memcpy(&pixel, row + size_t(x) * 4, 4);
                unsigned char* out = &rgb[(size_t(y) * width + x) * 3];
                out[0] = static_cast<unsigned char>(pixel >> 16);
                out[1] = static_cast<unsigned char>(pixel >> 8);
                out[2] = static_cast<unsigned char>(pixel);
            }
        }
        std::string jpeg, reason;
        if (!JpegFile::EncodeRgb(rgb.data(), width, height, quality, jpeg, reason))
            return "E" + reason;
        return "J" + jpeg;
    } catch (const std::bad_alloc&) {
        return tooBig;
    } catch (const std::exception& e) {
        return std::string("Ethe page cannot be rendered: ") + e.what();
    }
}

std::string Render(const std::string& pdf, int dpi, int quality, double seconds, double megabytes,
                   double pixels) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw Failure(std::string("cannot start the renderer: ") + std::strerror(errno));
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        throw Failure(std::string("cannot start the renderer: ") + std::strerror(errno));
    }
    if (child == 0) {
        close(fds[0]);
        struct rlimit memory;
        memory.rlim_cur = memory.rlim_max = static_cast<rlim_t>(
            AddressSpaceBytes() + static_cast<unsigned long long>(megabytes * 1048576.0));
        setrlimit(RLIMIT_AS, &memory);
        struct rlimit core = {0, 0};
        setrlimit(RLIMIT_CORE, &core);
        const std::string answer = RenderInChild(pdf, dpi, quality, megabytes, pixels);
        WriteAll(fds[1], answer.data(), answer.size());
        _exit(0);
    }
    close(fds[1]);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                     std::chrono::duration<double>(seconds));
    std::string answer;
    bool late = false;
    char buffer[65536];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) {
            late = true;
            break;
        }
        struct pollfd wait = {fds[0], POLLIN, 0};
        const int ready = poll(&wait, 1, static_cast<int>(std::min<long long>(left, 1000)));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        answer.append(buffer, static_cast<size_t>(got));
    }
    close(fds[0]);
    if (late)
        kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (late)
        throw Failure("rendering the page takes longer than " + FormatNumber(seconds, 3) +
                      " s; it is refused");
    if (!answer.empty() && answer[0] == 'J' && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return answer.substr(1);
    if (!answer.empty() && answer[0] == 'E')
        throw Failure(answer.substr(1));
    // Killed or crashed: with a bounded address space that is almost always
    // an allocation the renderer could not make.
    throw Failure("rendering the page failed within " + std::to_string(int(megabytes)) +
                  " MB of memory" +
                  (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")"
                                       : std::string()) +
                  "; it is refused");
}

} // namespace

void PageExporter::Export(PDFLibSession& session, const Request& request) {
    if (request.image.empty())
        throw Failure("no image file given");
    if (request.dpi < 1 || request.dpi > 2400)
        throw Failure("the resolution must be 1 to 2400 dpi");
    if (request.quality < 1 || request.quality > 100)
        throw Failure("the JPEG quality must be 1 to 100");
    if (!std::isfinite(request.seconds) || request.seconds < 0 || request.seconds > 3600)
        throw Failure("the time limit must be 0 to 3600 s");
    if (!std::isfinite(request.megabytes) || request.megabytes < 0 || request.megabytes > 65536)
        throw Failure("the memory limit must be 0 to 65536 MB");
    const double seconds = request.seconds > 0 ? request.seconds : limits::kRenderSeconds;
    const double megabytes = request.megabytes > 0 ? request.megabytes : limits::kRenderMegabytes;

    std::shared_ptr<PdfSource> source = session.Source(request.pdf);
    const PageBox& box = source->Box(request.page);
    const double widthPt = box.ShownWidthPt(), heightPt = box.ShownHeightPt();
    const double pixels =
        std::ceil(widthPt / 72 * request.dpi) * std::ceil(heightPt / 72 * request.dpi);
    if (pixels > limits::kRenderPixels)
        throw Failure(request.pdf + ": page " + std::to_string(request.page) + " at " +
                      std::to_string(request.dpi) + " dpi would have " +
                      std::to_string(static_cast<long long>(pixels / 1e6)) +
                      " million pixels; at most " +
                      std::to_string(static_cast<long long>(limits::kRenderPixels / 1e6)) +
                      " million are rendered");
    // The page as a composed document places it: what prints is what shows.
    ComposedDocument page(
        std::string(), [&session]() -> FontResolver& { return session.Fonts(); },
        [&session](const std::string& path) { return session.Source(path); });
    page.BeginPagePt(widthPt, heightPt);
    page.PlacePage(request.pdf, request.page, 0, 0, PtToMm(widthPt), PtToMm(heightPt), 0, 1, 0);
    page.EndPage();
    std::string jpeg;
    try {
        jpeg = Render(page.Bytes(), request.dpi, request.quality, seconds, megabytes, pixels);
    } catch (const Failure& failure) {
        throw Failure(request.pdf + ", page " + std::to_string(request.page) + ": " +
                      failure.what());
    }
    OutputFile output(request.image);
    output.Write(jpeg.data(), jpeg.size());
    output.Commit();
}

} // namespace pdfcompose
