#pragma once

#include <string>

namespace pdfcompose {

// A temporary file beside a target, renamed over the target on Commit and
// removed otherwise, so a failed write never replaces a good file.
class OutputFile {
public:
    // Throws Failure when the target's folder does not take a new file.
    explicit OutputFile(const std::string& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& TempPath() const { return m_temp; }
    const std::string& Target() const { return m_target; }
    // Renames the temporary file over the target; throws Failure. durable
    // flushes it to disk first. Files that are made again when they do not
    // load (previews) skip that wait.
    void Commit(bool durable = true);

private:
    std::string m_target;
    std::string m_temp;
    bool m_committed = false;
};

} // namespace pdfcompose
