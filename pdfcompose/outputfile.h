#pragma once

#include <cstddef>
#include <string>

namespace pdfcompose {

// A temporary file beside a target (hidden, named after the target, this
// process and host, ending ".part"), renamed over the target on Commit and
// removed otherwise, so a failed write never replaces a good file. Every
// write is checked; Commit flushes the file to disk and compares its size
// with what was written before it renames, because a full disk may accept
// buffered bytes and only refuse them later.
class OutputFile {
public:
    // Throws Failure when the target's folder does not take a new file.
    explicit OutputFile(const std::string& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& Target() const { return m_target; }
    // Appends bytes to the temporary file (through a buffer); throws Failure
    // naming the target.
    void Write(const void* data, size_t size);
    enum class Sync {
        Durable, // on disk before Commit returns
        Cache,   // a file that is made again when it is lost (a preview): not waited for
    };
    // Syncs (when durable), checks the size, closes and renames over the
    // target; throws Failure and leaves the target as it was.
    void Commit(Sync sync = Sync::Durable);

private:
    [[noreturn]] void Fail(const std::string& what, int error);
    void Flush();
    void WriteOut(const char* bytes, size_t size);
    void Discard();

    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    static constexpr size_t kBufferBytes = 256 * 1024;
    std::string m_buffer; // written to the file when full and on Commit
    long long m_written = 0;
    bool m_committed = false;
};

} // namespace pdfcompose
