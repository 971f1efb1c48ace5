#include "fileinput.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace pdfcompose {
namespace {

constexpr size_t kBlockBytes = 64 * 1024;

} // namespace

FileInput::FileInput(const std::string& name, int fd, qpdf_offset_t size)
    : m_name(name), m_fd(fd), m_size(size), m_block(kBlockBytes) {}

FileInput::~FileInput() {
    close(m_fd);
}

bool FileInput::Fill(qpdf_offset_t position) {
    if (position >= m_blockStart && position < m_blockStart + qpdf_offset_t(m_blockLength))
        return true;
    if (position < 0 || position >= m_size)
        return false;
    const qpdf_offset_t start = position - position % qpdf_offset_t(kBlockBytes);
    size_t length = 0;
    while (length < kBlockBytes) {
        const ssize_t got = pread(m_fd, m_block.data() + length, kBlockBytes - length,
                                  static_cast<off_t>(start + qpdf_offset_t(length)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw std::runtime_error(m_name + ": " + std::strerror(errno));
        if (got == 0)
            break;
        length += static_cast<size_t>(got);
    }
    m_blockStart = start;
    m_blockLength = length;
    return position < m_blockStart + qpdf_offset_t(m_blockLength);
}

void FileInput::seek(qpdf_offset_t offset, int whence) {
    qpdf_offset_t to = offset;
    if (whence == SEEK_CUR)
        to = m_position + offset;
    else if (whence == SEEK_END)
        to = m_size + offset;
    if (to < 0)
        throw std::runtime_error(m_name + ": seek before the start of the file");
    m_position = to;
}

size_t FileInput::read(char* buffer, size_t length) {
    last_offset = m_position;
    size_t done = 0;
    while (done < length && Fill(m_position)) {
        const size_t from = static_cast<size_t>(m_position - m_blockStart);
        const size_t take = std::min(length - done, m_blockLength - from);
        std::memcpy(buffer + done, m_block.data() + from, take);
        done += take;
        m_position += qpdf_offset_t(take);
    }
    return done;
}

void FileInput::unreadCh(char) {
    if (m_position > 0)
        --m_position;
}

qpdf_offset_t FileInput::findAndSkipNextEOL() {
    // The offset of the next end of line; the position goes past all of
    // its '\r' and '\n'. At the end of the file: the end.
    while (Fill(m_position)) {
        const size_t from = static_cast<size_t>(m_position - m_blockStart);
        const char* begin = m_block.data() + from;
        const char* end = m_block.data() + m_blockLength;
        const char* eol = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
        m_position += eol - begin;
        if (eol == end)
            continue;
        const qpdf_offset_t result = m_position;
        char ch;
        while (read(&ch, 1) == 1)
            if (ch != '\r' && ch != '\n') {
                unreadCh(ch);
                break;
            }
        return result;
    }
    return m_position;
}

} // namespace pdfcompose
