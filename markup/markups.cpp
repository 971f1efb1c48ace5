#include "markups.h"

#include <cstring>

int CMarkups::OnParseEvent(int kind) {
    if (kind < kStart || kind > kEnd) {
        m_error = true;
        return 0;
    }
    m_lastKind = kind;
    return 1;
}

void CMarkups::Tokenize(const char* buffer, qsizetype length) {
    m_buffer = buffer;
    m_length = length;
    m_position = 0;
    m_tokenStart = m_tokenEnd = 0;
    m_lastKind = kNone;
    m_error = false;
    m_stopped = false;

    qsizetype pos = 0;
    while (pos < length && (buffer[pos] == '\t' || buffer[pos] == '\n' || buffer[pos] == '\r' ||
                            buffer[pos] == ' '))
        ++pos;
    if (pos + 1 < length && buffer[pos] == '<' && buffer[pos + 1] == '?') {
        const void* close = memmem(buffer + pos + 2, length - pos - 2, "?>", 2);
        m_position = close ? static_cast<const char*>(close) - buffer + 2 : 0;
    }

    if (!OnParseEvent(kStart)) {
        m_stopped = true;
    } else {
        while (m_position < length) {
            const char* here = buffer + m_position;
            const qsizetype rest = length - m_position;
            int kind;
            qsizetype end;
            if (*here == '<') {
                const void* gt = std::memchr(here, '>', rest);
                if (!gt)
                    break;
                kind = kTag;
                end = static_cast<const char*>(gt) - buffer + 1;
            } else {
                const void* lt = std::memchr(here, '<', rest);
                if (!lt)
                    break;
                kind = kText;
                end = static_cast<const char*>(lt) - buffer;
            }
            m_tokenStart = m_position;
            m_tokenEnd = end;
            m_position = end;
            if (!OnParseEvent(kind)) {
                m_stopped = true;
                break;
            }
        }
    }
    m_tokenStart = m_tokenEnd = m_position;
    OnParseEvent(kEnd);
}
