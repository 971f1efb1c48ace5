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
    // Flushes the temporary file to disk and renames it; throws Failure.
    void Commit();

private:
    std::string m_target;
    std::string m_temp;
    bool m_committed = false;
};

} // namespace pdfcompose
