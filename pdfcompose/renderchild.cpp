#include "renderchild.h"

#include "failure.h"
#include "geometry.h"
#include "jpegfile.h"
#include "outputfile.h"
#include "readlimits.h"
#include "sourcefile.h"

#include <Catalog.h>
#include <Error.h>
#include <GlobalParams.h>
#include <Object.h>
#include <PDFDoc.h>
#include <Page.h>
#include <SplashOutputDev.h>
#include <Stream.h>
#include <splash/SplashBitmap.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <new>
#include <set>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pdfcompose {
namespace {

// A child renders this many pages and is then replaced, so that whatever
// the renderer keeps from page to page stays bounded.
constexpr int kJobsPerChild = 200;

// page 0: the first size bytes that follow are a one-page PDF; otherwise
// they are the path of a source file, and this its page to render as it is.
// The image file's path follows them.
struct JobHeader {
    uint64_t size, imageSize;
    int32_t dpi, quality, page;
    double megabytes, pixels;
};

// What the renderer complained of while reading and drawing the current page.
int g_complaints = 0;
void Complain(ErrorCategory, Goffset, const char*) {
    ++g_complaints;
}

bool StopOnComplaint(void*) {
    return g_complaints > 0;
}

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
// on top of it; statm is the child's own /proc/self/statm, read again from
// its start.
unsigned long long AddressSpaceBytes(int statm) {
    char text[64];
    const ssize_t got = statm >= 0 ? pread(statm, text, sizeof text - 1, 0) : -1;
    if (got <= 0)
        return 0;
    text[got] = '\0';
    return std::strtoull(text, nullptr, 10) *
           static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
}

// A mapped source that shrinks while the renderer reads it (another
// workstation rewriting the file) faults instead of reading short: the page
// fails with that reason, and the child ends as after any failure.
char g_vanished[64];
size_t g_vanishedSize = 0;
int g_answerSocket = -1;
volatile sig_atomic_t g_rendering = 0; // the answer to the page at work is still to come
void SourceVanished(int) {
    if (g_rendering)
        ::send(g_answerSocket, g_vanished, g_vanishedSize, MSG_NOSIGNAL);
    _exit(0);
}

void AnswerVanishedSources(int fd) {
    static const char reason[] = "Ethe file changed while its page was rendered";
    const uint64_t size = sizeof reason - 1;
    static_assert(sizeof size + sizeof reason - 1 <= sizeof g_vanished);
    std::memcpy(g_vanished, &size, sizeof size);
    std::memcpy(g_vanished + sizeof size, reason, sizeof reason - 1);
    g_vanishedSize = sizeof size + sizeof reason - 1;
    g_answerSocket = fd;
    struct sigaction action = {};
    action.sa_handler = SourceVanished;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, nullptr);
}

// The source's bytes, mapped: the renderer reads a file stream a few
// hundred bytes at a time, one system call each, where a mapping costs one.
class MappedSource {
public:
    MappedSource() = default;
    MappedSource(const MappedSource&) = delete;
    MappedSource& operator=(const MappedSource&) = delete;
    ~MappedSource() {
        if (m_bytes)
            munmap(m_bytes, m_size);
    }

    // Opened as the program opens a source it composes; false when it
    // cannot be, and the program then composes the page and gives the reason.
    bool Open(const std::string& path) {
        try {
            long long size = 0;
            const int fd = OpenSourceFile(path, size);
            void* bytes =
                size > 0 ? mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0)
                         : MAP_FAILED;
            close(fd);
            if (bytes == MAP_FAILED)
                return false;
            m_bytes = bytes;
            m_size = static_cast<size_t>(size);
            return true;
        } catch (const Failure&) {
            return false;
        }
    }

    const char* Bytes() const { return static_cast<const char*>(m_bytes); }
    size_t Size() const { return m_size; }

private:
    void* m_bytes = nullptr;
    size_t m_size = 0;
};

// A page to render: the bytes or file its document reads, and the image
// file to write.
struct PageToRender {
    std::string input; // the composed page, or the source's path
    int page = 0;      // 0: input is the page; else the source's page
    std::string image;
    MappedSource source;
    std::unique_ptr<PDFDoc> document;
};

// The page's own value of an inheritable key, or its nearest ancestor's;
// false when the chain of parents loops.
bool Inherited(XRef* xref, Object node, const char* key, Object& value) {
    std::set<int> seen;
    for (int depth = 0; node.isDict() && depth < 1000; ++depth) {
        value = node.dictLookup(key);
        if (!value.isNull())
            return true;
        const Object& parent = node.dictLookupNF("Parent");
        if (parent.isRef() && !seen.insert(parent.getRefNum()).second)
            return false;
        node = parent.isRef() ? xref->fetch(parent.getRef()) : parent.copy();
    }
    return true;
}

// A rectangle as the composition reads it: four finite numbers.
bool IsRect(const Object& rect) {
    if (!rect.isArray() || rect.arrayGetLength() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        const Object item = rect.arrayGet(i);
        if (!item.isNum() || !std::isfinite(item.getNum()) || std::fabs(item.getNum()) > 1e6)
            return false;
    }
    return true;
}

// Whether the source's page renders as the program composes it: nothing
// the composition would change (annotations, layers, form fields, a user
// unit, encryption, a repaired file) and nothing in the page's own
// dictionaries that the composition would refuse or read otherwise (the
// renderer turns a page only by a whole number).
bool ShowsAsComposed(PDFDoc& document, int number, const JobHeader& header, double& pixels) {
    if (!document.isOk() || g_complaints > 0 || document.isEncrypted() ||
        document.getNumPages() > limits::kPages || number > document.getNumPages())
        return false;
    Catalog* catalog = document.getCatalog();
    if (catalog->getOptContentConfig() || !catalog->getAcroForm()->isNull())
        return false;
    Page* page = document.getPage(number);
    if (!page)
        return false;
    Object annotations = page->getAnnotsObject();
    if (annotations.isArray() && annotations.arrayGetLength() > 0)
        return false;
    XRef* xref = document.getXRef();
    Object dictionary = xref->fetch(page->getRef());
    if (!dictionary.isDict() || !dictionary.dictLookup("UserUnit").isNull())
        return false;
    Object mediaBox, rotate, resources;
    int turns = 0;
    if (!Inherited(xref, dictionary.copy(), "MediaBox", mediaBox) || !IsRect(mediaBox) ||
        !Inherited(xref, dictionary.copy(), "Rotate", rotate) ||
        !(rotate.isNull() || (rotate.isInt() && QuarterTurnsOf(rotate.getInt(), turns))) ||
        !Inherited(xref, dictionary.copy(), "Resources", resources) ||
        !(resources.isNull() || resources.isDict()))
        return false;
    const double width = page->getCropWidth(), height = page->getCropHeight();
    const double shownWidth = turns % 2 ? height : width, shownHeight = turns % 2 ? width : height;
    if (std::min(width, height) < 0.01 || std::max(width, height) > MmToPt(limits::kPageMm))
        return false;
    pixels = std::ceil(shownWidth / 72 * header.dpi) * std::ceil(shownHeight / 72 * header.dpi);
    return pixels <= limits::kRenderPixels && g_complaints == 0;
}

// The answer is 'W' when the image is written, 'E' and a reason when the
// page cannot be rendered, 'F' and a reason when the file cannot be
// written, or 'C' when the source's page is to be composed first.
std::string RenderPage(PageToRender& job, const JobHeader& header) {
    const std::string tooBig = "Erendering the page needs more than " +
                               std::to_string(int(header.megabytes)) + " MB; it is refused";
    const std::string composeFirst = "C";
    try {
        g_complaints = 0;
        double pixels = header.pixels;
        if (job.page > 0) {
            if (!job.source.Bytes())
                return composeFirst;
            job.document = std::make_unique<PDFDoc>(new MemStream(
                job.source.Bytes(), 0, static_cast<Goffset>(job.source.Size()), Object(objNull)));
            if (!ShowsAsComposed(*job.document, job.page, header, pixels))
                return composeFirst;
        } else {
            job.document = std::make_unique<PDFDoc>(new MemStream(
                job.input.data(), 0, static_cast<Goffset>(job.input.size()), Object(objNull)));
            if (!job.document->isOk() || job.document->getNumPages() < 1)
                return "Ethe renderer cannot open the page";
        }
        SplashColor paper = {0xFF, 0xFF, 0xFF};
        // Three bytes a pixel, as the encoder takes them: a quarter less to
        // paint than with a padding byte, and no conversion before encoding.
        SplashOutputDev output(splashModeRGB8, 4, false, paper);
        output.setFontAntialias(true);
        output.setVectorAntialias(true);
        output.setFreeTypeHinting(false, false);
        output.startDoc(job.document.get());
        // A source page the renderer complains of is composed instead: its
        // rendering stops at the first complaint rather than running on.
        job.document->displayPageSlice(&output, job.page > 0 ? job.page : 1, header.dpi, header.dpi,
                                       0, false, true, false, -1, -1, -1, -1,
                                       job.page > 0 ? StopOnComplaint : nullptr, nullptr);
        // A source the renderer had to mend shows as the program reads it.
        if (job.page > 0 && g_complaints > 0)
            return composeFirst;
        SplashBitmap* image = output.getBitmap();
        if (!image || image->getWidth() <= 0 || image->getHeight() <= 0)
            return "Ethe page cannot be rendered";
        // The renderer answers an allocation it cannot make with a tiny
        // image instead of an error.
        if (double(image->getWidth()) * image->getHeight() < pixels / 4)
            return tooBig;
        std::string jpeg, reason;
        if (!JpegFile::EncodeRgb24(image->getDataPtr(), image->getWidth(), image->getHeight(),
                                   image->getRowSize(), header.dpi, header.quality, jpeg, reason))
            return "E" + reason;
        // Written here, beside the rendering, so that the program never
        // holds the image and children write in parallel.
        try {
            OutputFile output(job.image);
            output.Write(jpeg.data(), jpeg.size());
            // A preview lost to a power cut does not decode and is made again.
            output.Commit(OutputFile::Sync::Cache);
        } catch (const Failure& failure) {
            return std::string("F") + failure.what();
        }
        return "W";
    } catch (const std::bad_alloc&) {
        return tooBig;
    } catch (const std::exception& e) {
        return std::string("Ethe page cannot be rendered: ") + e.what();
    }
}

// The child's own allocations come from a heap in large pages where the
// system offers them. A child starts with nothing of its own, and each first
// touch of a small page is a fault (about 10 µs on a virtual machine): for a
// card that is a tenth of its rendering, against two or three large faults.
void HeapInLargePages() {
    constexpr uintptr_t kLarge = 2 << 20;
    // The heap the program left may be mapped in small pages already, and
    // no large page is given where one is: the large page is taken beyond
    // the program's end of the heap, from what the heap grows by here (two
    // large pages more than its free top, so that one lies wholly within).
    // A program with more free heap than the mapping threshold keeps small
    // pages.
    // The free top ends where the heap does, and the block grown from it
    // returns to it: one look at its size (which walks all the program's
    // free memory) tells where it starts.
    char* const programsEnd = static_cast<char*>(sbrk(0));
    const size_t freeTop = mallinfo2().keepcost;
    char* const top = programsEnd - freeTop;
    void* volatile grown = malloc(freeTop + 2 * kLarge);
    free(grown);
    char* const end = static_cast<char*>(sbrk(0));
    char* const aligned = reinterpret_cast<char*>(
        (reinterpret_cast<uintptr_t>(programsEnd) + kLarge - 1) & ~(kLarge - 1));
    if (end - aligned < static_cast<ptrdiff_t>(kLarge))
        return;
    // The piece below the first large page is taken once and never used,
    // so that what the renderer asks for next starts at that page.
    if (aligned - top > 64) {
        void* volatile below = malloc(static_cast<size_t>(aligned - top) - 32);
        (void)below;
    }
    madvise(aligned, static_cast<size_t>(end - aligned) & ~(kLarge - 1), MADV_HUGEPAGE);
}

[[noreturn]] void ServeJobs(int fd) {
    // Pages of one size follow one another: what one page freed is kept for
    // the next rather than handed back and faulted in again. A large
    // rendering still gets memory of its own and returns it.
    mallopt(M_MMAP_THRESHOLD, 8 << 20);
    mallopt(M_TRIM_THRESHOLD, 16 << 20);
    HeapInLargePages();
    const int statm = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    AnswerVanishedSources(fd);
    setErrorCallback(Complain);
    // The renderer's tables are read once, before the first page arrives.
    globalParams = std::make_unique<GlobalParams>();
    struct rlimit core = {0, 0};
    setrlimit(RLIMIT_CORE, &core);
    struct rlimit space;
    getrlimit(RLIMIT_AS, &space);
    for (;;) {
        JobHeader job;
        if (!ReadAll(fd, &job, sizeof job))
            _exit(0); // the program closed its end
        PageToRender next;
        next.input.assign(job.size, '\0');
        next.image.assign(job.imageSize, '\0');
        next.page = job.page;
        if (!ReadAll(fd, next.input.data(), next.input.size()) ||
            !ReadAll(fd, next.image.data(), next.image.size()))
            _exit(0);
        // Mapped before the budget is set, which it then does not count.
        if (next.page > 0)
            next.source.Open(next.input);
        // Each page gets its budget on top of what the child holds now.
        struct rlimit budget = space;
        const unsigned long long allowed =
            AddressSpaceBytes(statm) + static_cast<unsigned long long>(job.megabytes * 1048576.0);
        if (space.rlim_max == RLIM_INFINITY || allowed < space.rlim_max)
            budget.rlim_cur = static_cast<rlim_t>(allowed);
        setrlimit(RLIMIT_AS, &budget);
        g_rendering = 1;
        const std::string answer = RenderPage(next, job);
        g_rendering = 0;
        const uint64_t size = answer.size();
        if (!WriteAll(fd, &size, sizeof size, MSG_NOSIGNAL) ||
            !WriteAll(fd, answer.data(), answer.size(), MSG_NOSIGNAL))
            _exit(0);
        // After a failure the renderer's state is not to be trusted.
        if (answer[0] == 'E')
            _exit(0);
    }
}

// The system tells a child that its parent ended when the thread that
// started it ends: the program may start a child from a thread of its own
// that ends after its pages, and the child is kept for the program's next
// pages. It ends only once it has been handed to another process, when the
// program itself has ended (it may be rendering then, and not reading its
// socket).
pid_t g_program = 0;
void ParentThreadEnded(int) {
    if (getppid() != g_program)
        _exit(0);
}

void StayWhileTheProgramRuns(pid_t program) {
    g_program = program;
    struct sigaction action = {};
    action.sa_handler = ParentThreadEnded;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGHUP, &action, nullptr);
    sigset_t hangup;
    sigemptyset(&hangup);
    sigaddset(&hangup, SIGHUP);
    sigprocmask(SIG_UNBLOCK, &hangup, nullptr);
    prctl(PR_SET_PDEATHSIG, SIGHUP);
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
        StayWhileTheProgramRuns(parent);
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

void RenderChild::Signal() {
    if (m_socket >= 0)
        close(m_socket);
    m_socket = -1;
    if (m_pid > 0)
        kill(m_pid, SIGKILL);
}

int RenderChild::Stop() {
    Signal();
    int status = 0;
    if (m_pid > 0) {
        // A child that has ended already keeps the status it ended with.
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
    const std::string& input = job.page > 0 ? job.source : job.pdf;
    const JobHeader header = {input.size(), job.image.size(), job.dpi,   job.quality,
                              job.page,     job.megabytes,    job.pixels};
    // A child that ended while it waited (killed from outside) is replaced once.
    for (int attempt = 0;; ++attempt) {
        if (m_pid < 0)
            Start();
        if (WriteAll(m_socket, &header, sizeof header, MSG_NOSIGNAL) &&
            WriteAll(m_socket, input.data(), input.size(), MSG_NOSIGNAL) &&
            WriteAll(m_socket, job.image.data(), job.image.size(), MSG_NOSIGNAL))
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

bool RenderChild::Answer() {
    uint64_t size = 0;
    if (m_answer.size() >= sizeof size)
        std::memcpy(&size, m_answer.data(), sizeof size);
    const bool complete =
        m_answer.size() >= sizeof size && size > 0 && m_answer.size() - sizeof size == size;
    m_busy = false;
    const char kind = complete ? m_answer[sizeof size] : '\0';
    if (kind == 'W' || kind == 'C' || kind == 'F') {
        if (++m_jobs >= kJobsPerChild)
            Stop();
        if (kind == 'F')
            throw Failure(m_answer.substr(sizeof size + 1));
        return kind == 'W';
    }
    if (kind == 'E') {
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
