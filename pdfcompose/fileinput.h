#pragma once

#include <qpdf/InputSource.hh>

#include <string>
#include <vector>

namespace pdfcompose {

// A PDF file as qpdf reads it: by positioned reads through a block of its
// own, so that qpdf's many small seeks and reads cost no system call each.
// Owns the descriptor; read errors throw std::runtime_error.
class FileInput : public InputSource {
public:
    // Takes an open descriptor of a regular file of the given size.
    FileInput(const std::string& name, int fd, qpdf_offset_t size);
    ~FileInput() override;
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const& getName() const override { return m_name; }
    qpdf_offset_t tell() override { return m_position; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { m_position = 0; }
    size_t read(char* buffer, size_t length) override;
    void unreadCh(char ch) override;

private:
    // Makes the block hold position; false at the end of the file.
    bool Fill(qpdf_offset_t position);

    std::string m_name;
    int m_fd;
    qpdf_offset_t m_size;
    qpdf_offset_t m_position = 0;
    std::vector<char> m_block;
    qpdf_offset_t m_blockStart = 0;
    size_t m_blockLength = 0;
};

} // namespace pdfcompose
