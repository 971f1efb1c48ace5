#include "outputfile.h"

#include "failure.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace pdfcompose {
namespace {

// The process's umask, read without changing it (umask() would, for a
// moment, for every thread of the program). Read once: a program sets its
// umask at start, and previews write hundreds of files.
mode_t ReadUmask() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    unsigned mask = 022;
    if (status) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "Umask: %o", &mask) == 1)
                break;
        std::fclose(status);
    }
    return static_cast<mode_t>(mask);
}

mode_t ProcessUmask() {
    static const mode_t mask = ReadUmask();
    return mask;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// The host's name as the program writes it into its temporaries' names:
// letters, digits and '-', anything else as '_', at most 64 characters.
std::string ReadHostTag() {
    struct utsname names;
    std::string host = uname(&names) == 0 ? names.nodename : "";
    for (char& ch : host)
        if (!((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
              ch == '-'))
            ch = '_';
    return host.empty() ? "host" : host.substr(0, 64);
}

const std::string& HostTag() {
    static const std::string tag = ReadHostTag();
    return tag;
}

} // namespace

OutputFile::OutputFile(const std::string& target) : m_target(target) {
    if (target.empty())
        throw Failure("no output file given");
    struct stat info;
    if (stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw Failure(target + " is a folder");
    const size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // ".NAME.XXXXXX.PID@HOST.part": the program's own temporaries are named
    // so, and its next run removes those whose process has ended on this
    // host, a crashed library's included.
    const std::string owner = "." + std::to_string(getpid()) + "@" + HostTag() + ".part";
    std::string pattern = folder + "." + name + ".XXXXXX" + owner;
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    m_fd = mkostemps(buffer.data(), static_cast<int>(owner.size()), O_CLOEXEC);
    if (m_fd < 0)
        throw Failure("cannot create a file beside " + target + ": " + std::strerror(errno));
    // A new file gets the usual permissions rather than mkstemp's 0600.
    fchmod(m_fd, 0666 & ~ProcessUmask());
    m_temp = buffer.data();
}

OutputFile::~OutputFile() {
    if (!m_committed)
        Discard();
}

void OutputFile::Discard() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty())
        unlink(m_temp.c_str());
}

void OutputFile::Fail(const std::string& what, int error) {
    Discard();
    throw Failure("cannot " + what + " " + m_target + ": " + std::strerror(error));
}

void OutputFile::Write(const void* data, size_t size) {
    if (m_fd < 0)
        throw Failure("cannot write " + m_target + ": the file is closed");
    // The writer hands over many small pieces: gathered, they cost one
    // system call per block instead of one each. A large piece goes straight
    // to the file, never copied.
    if (m_buffer.size() + size < kBufferBytes) {
        m_buffer.append(static_cast<const char*>(data), size);
        return;
    }
    Flush();
    WriteOut(static_cast<const char*>(data), size);
}

void OutputFile::Flush() {
    WriteOut(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

void OutputFile::WriteOut(const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(m_fd, bytes, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            Fail("write", done < 0 ? errno : ENOSPC);
        bytes += done;
        size -= static_cast<size_t>(done);
        m_written += done;
    }
}

void OutputFile::Commit(Sync sync) {
    if (m_fd < 0)
        throw Failure("cannot write " + m_target + ": the file is closed");
    Flush();
    if (sync == Sync::Durable && fsync(m_fd) != 0)
        Fail("write", errno);
    struct stat info;
    if (fstat(m_fd, &info) != 0)
        Fail("write", errno);
    if (info.st_size != m_written)
        Fail("write", EIO);
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0)
        Fail("write", errno);
    if (rename(m_temp.c_str(), m_target.c_str()) != 0)
        Fail("replace", errno);
    m_committed = true;
    if (sync == Sync::Cache)
        return;
    // The rename itself reaches the disk with the folder.
    const int folder = open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

} // namespace pdfcompose
