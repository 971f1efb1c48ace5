#pragma once

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
    // Why the exchange failed (empty when it completed).
    QString error;
};

// A minimal blocking HTTP/1.0 client: one request per call, the answer read
// until the server closes the connection, nothing interpreted (no status
// codes, redirects, chunks or keep-alive). Bytes go out as given; callers
// convert their text to code page 949 first.
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
    // The request went out but no answer came: not a single byte before the
    // server closed, or a receive waited longer than the receive time-out.
    static constexpr int kNoAnswer = 2;

    // A misbehaving server cannot make an exchange hold more than this.
    static constexpr qsizetype kHeadLimit = 64 * 1024;
    static constexpr qsizetype kBodyLimit = 4 * 1024 * 1024;

    static constexpr std::chrono::milliseconds kDefaultConnectTimeout{10000};
    static constexpr std::chrono::milliseconds kDefaultReceiveTimeout{30000};

    Request() = default;
    virtual ~Request();

    // Longest wait for the connection to be made.
    void SetConnectTimeout(std::chrono::milliseconds timeout) { m_connectTimeout = timeout; }
    // Longest wait for each further piece of the answer (and for a send to
    // be taken), not for the whole answer.
    void SetReceiveTimeout(std::chrono::milliseconds timeout) { m_receiveTimeout = timeout; }
    std::chrono::milliseconds ConnectTimeout() const { return m_connectTimeout; }
    std::chrono::milliseconds ReceiveTimeout() const { return m_receiveTimeout; }

    // Posts a form ("Content-Type: application/x-www-form-urlencoded").
    // True when the exchange completed, whatever the status; then head and
    // body are overwritten with what arrived, each up to its first NUL.
    // False when it failed; head and body are left untouched and error (when
    // given) says why.
    bool PostForm(const QByteArray& host, quint16 port, const QByteArray& path, const char* body,
                  qint32 bodyLength, QByteArray& head, QByteArray& responseBody,
                  QString* error = nullptr);

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

protected:
    // Sends a NUL-terminated text on a connected socket. Send failures are
    // not reported: they show in the answer that then does not come.
    void SendText(int socket, const char* text);

private:
    std::chrono::milliseconds m_connectTimeout = kDefaultConnectTimeout;
    std::chrono::milliseconds m_receiveTimeout = kDefaultReceiveTimeout;
};
