#pragma once

#include <QtGlobal>

// The tokenizer under every markup reader. It walks a byte buffer and hands
// each token to OnParseEvent: kStart once, then kTag for "<...>" and kText
// for the bytes up to the next "<", then kEnd once. A handler stops the walk
// by returning 0; an unterminated tag or trailing text ends it as well.
class CMarkups {
public:
    enum EventKind { kNone = -1, kStart = 0, kTag = 1, kText = 2, kEnd = 3 };

    CMarkups() = default;
    CMarkups(const CMarkups&) = delete;
    CMarkups& operator=(const CMarkups&) = delete;
    virtual ~CMarkups() = default;

    // Bounds of the current token inside the buffer handed to Tokenize.
    const char* TokenStart() const { return m_buffer + m_tokenStart; }
    qsizetype TokenLength() const { return m_tokenEnd - m_tokenStart; }
    qsizetype TokenOffset() const { return m_tokenStart; }
    int LastEventKind() const { return m_lastKind; }
    bool HasError() const { return m_error; }

protected:
    // Records the event and the token; an unknown kind sets the error flag and
    // returns 0. Overrides call this first and return 0 to stop the parse.
    virtual int OnParseEvent(int kind);

    // Skips leading white space and one "<?...?>" prolog, then tokenises
    // until the buffer ends or a handler stops. The buffer must outlive the call.
    void Tokenize(const char* buffer, qsizetype length);

    // How the last Tokenize ended: whether a handler stopped it and where the
    // unconsumed input starts.
    bool StoppedByHandler() const { return m_stopped; }
    qsizetype ParsePosition() const { return m_position; }
    qsizetype BufferLength() const { return m_length; }

private:
    const char* m_buffer = nullptr;
    qsizetype m_length = 0;
    qsizetype m_position = 0;
    qsizetype m_tokenStart = 0;
    qsizetype m_tokenEnd = 0;
    int m_lastKind = kNone;
    bool m_error = false;
    bool m_stopped = false;
};
