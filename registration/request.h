#pragma once

#include "markup/result.h"

#include <QByteArray>
#include <QString>

#include <chrono>

// What one exchange received. Both texts are owned here; QByteArray keeps a
// NUL after its last byte, so head and body can also be read as C strings.
struct RequestResponse {
    // Status line and header lines exactly as received, each with its own
    // line end, up to and including the empty line that ends the head.
    QByteArray head;
    // Every byte received after the head; may hold NUL bytes.
    QByteArray body;
    // True when the head or the body reached its limit and the rest of the
    // answer was not read.
    bool truncated = false;
    // True when the empty line that ends the head arrived.
    bool headComplete = false;
    // Why the exchange failed (empty when it completed).
    QString error;
};

// A minimal blocking HTTP/1.0 client: one request per call, the answer read
// until the server closes the connection. Of the answer only the status line
// is judged (PostForm); there are no redirects, chunks or keep-alive. Bytes go
// out as given; callers convert their text to code page 949 first.
//
// Every call opens and closes its own socket; the object only keeps the
// time-outs, so one object may serve one exchange at a time per thread.
class Request {
public:
    // SendRequest results.
    static constexpr int kCompleted = 0;
    // Nothing was sent: bad arguments, no address for the host, no socket,
    // no connection within the connect time-out.
    static constexpr int kNotSent = 1;
    // The request went out but no whole answer came: not a single byte
    // before the server closed, the connection broke (a reset), a receive
    // waited longer than the receive time-out, or the exchange outlasted its
    // deadline.
    static constexpr int kNoAnswer = 2;

    // A misbehaving server cannot make an exchange hold more than this.
    static constexpr qsizetype kHeadLimit = 64 * 1024;
    static constexpr qsizetype kBodyLimit = 4 * 1024 * 1024;

    static constexpr std::chrono::milliseconds kDefaultConnectTimeout{10000};
    static constexpr std::chrono::milliseconds kDefaultReceiveTimeout{30000};
    // A server that trickles its answer cannot hold an exchange longer.
    static constexpr std::chrono::milliseconds kDefaultDeadline{60000};

    Request() = default;
    virtual ~Request();

    // Longest wait for the connection to be made.
    void SetConnectTimeout(std::chrono::milliseconds timeout) { m_connectTimeout = timeout; }
    // Longest wait for each further piece of the answer (and for a send to
    // be taken), not for the whole answer.
    void SetReceiveTimeout(std::chrono::milliseconds timeout) { m_receiveTimeout = timeout; }
    // Longest time for the whole exchange, from the lookup to the last byte.
    void SetDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }
    std::chrono::milliseconds ConnectTimeout() const { return m_connectTimeout; }
    std::chrono::milliseconds ReceiveTimeout() const { return m_receiveTimeout; }
    std::chrono::milliseconds Deadline() const { return m_deadline; }

    // Posts a form ("Content-Type: application/x-www-form-urlencoded").
    // Succeeds only when the exchange completed with a well-formed status
    // line of a 2xx or 3xx status and a whole head. Whenever an answer
    // arrived, head and body are overwritten with it, each up to its first
    // NUL (also when the answer is a failure); without an answer they are
    // left untouched. A failure says why, with the status line when there
    // was one.
    Result<void> PostForm(const QByteArray& host, quint16 port, const QByteArray& path,
                          const char* body, qint32 bodyLength, QByteArray& head,
                          QByteArray& responseBody);

    // Sends one request and reads the whole answer into response (which is
    // reset first). The method is POST when body is given, GET when it is
    // null; Content-Length and the body are sent only for a length above 0.
    // extraHeaders is sent as it stands after the Host line and must end in
    // "\r\n" when not empty. The host name goes into the Host line exactly as
    // passed; it is looked up as an IPv4 name or a dotted address.
    // Returns kCompleted, kNotSent or kNoAnswer.
    int SendRequest(const QByteArray& host, quint16 port, const QByteArray& extraHeaders,
                    const QByteArray& path, const char* body, qint32 bodyLength,
                    RequestResponse& response);

    // Whether an answer counts as a success: a head that ended, and a status
    // line "HTTP/x.y NNN reason" whose status is 2xx or 3xx. Otherwise the
    // failure says what was wrong, quoting the status line.
    static Result<void> Accepted(const RequestResponse& response);

protected:
    // Sends a NUL-terminated text on a connected socket. Send failures are
    // not reported: they show in the answer that then does not come.
    void SendText(int socket, const char* text);

private:
    std::chrono::milliseconds m_connectTimeout = kDefaultConnectTimeout;
    std::chrono::milliseconds m_receiveTimeout = kDefaultReceiveTimeout;
    std::chrono::milliseconds m_deadline = kDefaultDeadline;
};
