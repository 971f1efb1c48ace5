#include "sourcefile.h"

#include "failure.h"
#include "readlimits.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace pdfcompose {

int OpenSourceFile(const std::string& path, long long& size) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw Failure(errno == ENOENT
                          ? std::string("no such file")
                          : "cannot open the file: " + std::string(std::strerror(errno)));
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        throw Failure("not a regular file");
    }
    if (info.st_size > limits::kFileBytes) {
        close(fd);
        throw Failure("the file is larger than " + std::to_string(limits::kFileBytes >> 20) +
                      " MB");
    }
    // Anything else is some other file given by mistake, better named than
    // "damaged".
    char head[1024];
    const ssize_t got = pread(fd, head, sizeof head, 0);
    if (got < 0 || std::string_view(head, size_t(got)).find("%PDF-") == std::string_view::npos) {
        close(fd);
        throw Failure("not a PDF file");
    }
    size = info.st_size;
    return fd;
}

} // namespace pdfcompose
