#include "renderchild.h"

#include "failure.h"
#include "geometry.h"
#include "jpegfile.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pdfcompose {
namespace {

// A child renders this many pages and is then replaced, so that whatever
// the renderer keeps from page to page stays bounded.
constexpr int kJobsPerChild = 200;

struct JobHeader {
    uint64_t size;
    int32_t dpi, quality;
    double megabytes, pixels;
};

void Silence(const std::string&, void*) {}

bool ReadAll(int fd, void* data, size_t size) {
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(fd, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool WriteAll(int fd, const void* data, size_t size, int flags) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t done = ::send(fd, bytes, size, flags);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        size -= static_cast<size_t>(done);
    }
    return true;
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

// A page to render: its document reads the bytes in place.
struct PageToRender {
    std::string pdf;
    std::unique_ptr<poppler::document> document;
};

// The answer is 'J' and the JPEG, or 'E' and a reason.
std::string RenderPage(PageToRender& job, const JobHeader& header) {
    const std::string tooBig = "Erendering the page needs more than " +
                               std::to_string(int(header.megabytes)) + " MB; it is refused";
    try {
        job.document.reset(poppler::document::load_from_raw_data(job.pdf.data(),
                                                                 static_cast<int>(job.pdf.size())));
        poppler::document* document = job.document.get();
        if (!document)
            return "Ethe renderer cannot open the page";
        std::unique_ptr<poppler::page> page(document->create_page(0));
        if (!page)
            return "Ethe renderer cannot open the page";
        poppler::page_renderer renderer;
        renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
        renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
        renderer.set_paper_color(0xFFFFFFFFu);
        // Three bytes a pixel, as the encoder takes them: a quarter less to
        // paint than with a padding byte, and no conversion before encoding.
        renderer.set_image_format(poppler::image::format_rgb24);
        poppler::image image = renderer.render_page(page.get(), header.dpi, header.dpi);
        if (!image.is_valid() || image.width() <= 0 || image.height() <= 0)
            return "Ethe page cannot be rendered";
        // The renderer answers an allocation it cannot make with a tiny
        // image instead of an error.
        if (double(image.width()) * image.height() < header.pixels / 4)
            return tooBig;
        std::string jpeg = "J", reason;
        if (!JpegFile::EncodeRgb24(reinterpret_cast<const unsigned char*>(image.const_data()),
                                   image.width(), image.height(), image.bytes_per_row(),
                                   header.quality, jpeg, reason))
            return "E" + reason;
        return jpeg;
    } catch (const std::bad_alloc&) {
        return tooBig;
    } catch (const std::exception& e) {
        return std::string("Ethe page cannot be rendered: ") + e.what();
    }
}

// The smallest page there is, rendered once when the child starts: poppler
// reads its tables and the renderer sets itself up before the first real
// page arrives.
std::string BlankPage() {
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (const char* object :
         {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
          "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 1 1] >>"}) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(offsets.size()) + " 0 obj\n" + object + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 4\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

[[noreturn]] void ServeJobs(int fd) {
    poppler::set_debug_error_function(Silence, nullptr);
    struct rlimit core = {0, 0};
    setrlimit(RLIMIT_CORE, &core);
    struct rlimit space;
    getrlimit(RLIMIT_AS, &space);
    // The last page's document stays open until the next one is: poppler
    // sets up its global tables when a first document opens and drops them
    // when the last one closes, which would cost every page again.
    std::unique_ptr<PageToRender> previous = std::make_unique<PageToRender>();
    previous->pdf = BlankPage();
    RenderPage(*previous, JobHeader{previous->pdf.size(), 72, 100, 0, 0});
    for (;;) {
        JobHeader job;
        if (!ReadAll(fd, &job, sizeof job))
            _exit(0); // the program closed its end
        auto next = std::make_unique<PageToRender>();
        next->pdf.assign(job.size, '\0');
        if (!ReadAll(fd, next->pdf.data(), next->pdf.size()))
            _exit(0);
        // Each page gets its budget on top of what the child holds now.
        struct rlimit budget = space;
        const unsigned long long allowed =
            AddressSpaceBytes() + static_cast<unsigned long long>(job.megabytes * 1048576.0);
        if (space.rlim_max == RLIM_INFINITY || allowed < space.rlim_max)
            budget.rlim_cur = static_cast<rlim_t>(allowed);
        setrlimit(RLIMIT_AS, &budget);
        const std::string answer = RenderPage(*next, job);
        previous = std::move(next);
        const uint64_t size = answer.size();
        if (!WriteAll(fd, &size, sizeof size, MSG_NOSIGNAL) ||
            !WriteAll(fd, answer.data(), answer.size(), MSG_NOSIGNAL))
            _exit(0);
        // After a failure the renderer's state is not to be trusted.
        if (answer[0] != 'J')
            _exit(0);
    }
}

} // namespace

RenderChild::~RenderChild() {
    Stop();
}

void RenderChild::Launch() {
    if (m_pid < 0)
        Start();
}

void RenderChild::Start() {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        throw Failure(std::string("cannot start the renderer: ") + std::strerror(errno));
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        throw Failure(std::string("cannot start the renderer: ") + std::strerror(errno));
    }
    if (child == 0) {
        // Ends with the program, and keeps none of its files (nor another
        // child's socket, whose end would then never be seen).
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(0);
        if (fds[1] != 3 && dup2(fds[1], 3) < 0)
            _exit(0);
        close_range(4, ~0U, 0);
        ServeJobs(3);
    }
    close(fds[1]);
    m_pid = child;
    m_socket = fds[0];
    m_jobs = 0;
    m_ended = false;
}

int RenderChild::Stop() {
    if (m_socket >= 0)
        close(m_socket);
    m_socket = -1;
    int status = 0;
    if (m_pid > 0) {
        // A child that has ended already keeps the status it ended with.
        kill(m_pid, SIGKILL);
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    m_pid = -1;
    m_busy = false;
    return status;
}

void RenderChild::Send(Job job) {
    if (m_busy)
        throw Failure("the renderer is still busy");
    const JobHeader header = {job.pdf.size(), job.dpi, job.quality, job.megabytes, job.pixels};
    // A child that ended while it waited (killed from outside) is replaced once.
    for (int attempt = 0;; ++attempt) {
        if (m_pid < 0)
            Start();
        if (WriteAll(m_socket, &header, sizeof header, MSG_NOSIGNAL) &&
            WriteAll(m_socket, job.pdf.data(), job.pdf.size(), MSG_NOSIGNAL))
            break;
        const int error = errno;
        Stop();
        if (attempt > 0)
            throw Failure(std::string("cannot reach the renderer: ") + std::strerror(error));
    }
    job.pdf.clear();
    m_job = std::move(job);
    m_busy = true;
    m_answer.clear();
    m_deadline = std::chrono::steady_clock::now() +
                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double>(m_job.seconds));
}

bool RenderChild::Receive() {
    char buffer[65536];
    while (!m_ended) {
        const ssize_t got = recv(m_socket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got <= 0) {
            m_ended = true;
            break;
        }
        m_answer.append(buffer, static_cast<size_t>(got));
    }
    uint64_t size = 0;
    if (m_answer.size() >= sizeof size)
        std::memcpy(&size, m_answer.data(), sizeof size);
    return m_ended || (m_answer.size() >= sizeof size && m_answer.size() - sizeof size >= size);
}

std::string RenderChild::Answer() {
    uint64_t size = 0;
    if (m_answer.size() >= sizeof size)
        std::memcpy(&size, m_answer.data(), sizeof size);
    const bool complete =
        m_answer.size() >= sizeof size && size > 0 && m_answer.size() - sizeof size == size;
    m_busy = false;
    if (complete && m_answer[sizeof size] == 'J') {
        if (++m_jobs >= kJobsPerChild)
            Stop();
        return m_answer.substr(sizeof size + 1);
    }
    if (complete && m_answer[sizeof size] == 'E') {
        Stop(); // it ends after a failure anyway
        throw Failure(m_answer.substr(sizeof size + 1));
    }
    if (!m_ended) {
        Stop();
        throw Failure("rendering the page takes longer than " + FormatNumber(m_job.seconds, 3) +
                      " s; it is refused");
    }
    // Killed or crashed: with a bounded address space that is almost always
    // an allocation the renderer could not make.
    const int status = Stop();
    throw Failure("rendering the page failed within " + std::to_string(int(m_job.megabytes)) +
                  " MB of memory" +
                  (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")"
                                       : std::string()) +
                  "; it is refused");
}

} // namespace pdfcompose
