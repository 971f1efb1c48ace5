#include "outputfile.h"

#include "failure.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pdfcompose {
namespace {

// The process's umask, read without changing it (umask() would, for a
// moment, for every thread of the program).
mode_t CurrentUmask() {
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
    std::string pattern = folder + "." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd < 0)
        throw Failure("cannot create a file beside " + target + ": " + std::strerror(errno));
    // A new file gets the usual permissions rather than mkstemp's 0600.
    fchmod(fd, 0666 & ~CurrentUmask());
    close(fd);
    m_temp = buffer.data();
}

OutputFile::~OutputFile() {
    if (!m_committed)
        unlink(m_temp.c_str());
}

void OutputFile::Commit(bool durable) {
    if (durable) {
        const int fd = open(m_temp.c_str(), O_RDONLY);
        if (fd < 0 || fsync(fd) != 0) {
            if (fd >= 0)
                close(fd);
            throw Failure("cannot write " + m_target + ": " + std::strerror(errno));
        }
        close(fd);
    }
    if (rename(m_temp.c_str(), m_target.c_str()) != 0)
        throw Failure("cannot replace " + m_target + ": " + std::strerror(errno));
    m_committed = true;
}

} // namespace pdfcompose
