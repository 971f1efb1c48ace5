#include "request.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

constexpr char kFormContentType[] = "Content-Type: application/x-www-form-urlencoded\r\n";
// Body blocks as the server's answer is small: one scratch block per receive.
constexpr qsizetype kBodyBlock = 511;

class SocketHandle {
public:
    explicit SocketHandle(int fd) : m_fd(fd) {}
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    ~SocketHandle() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString Seconds(std::chrono::milliseconds timeout) {
    return QString::number(timeout.count() / 1000.0, 'g', 6);
}

// Connects with a deadline; connect alone would wait for the system's own
// time-out, minutes with a host that drops the packets.
bool ConnectWithin(int fd, const sockaddr* address, socklen_t length,
                   std::chrono::milliseconds timeout, QString& error) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
        error = SystemError(errno);
        return false;
    }
    if (::connect(fd, address, length) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            error = SystemError(errno);
            return false;
        }
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                error = QStringLiteral("no connection within %1 s").arg(Seconds(timeout));
                return false;
            }
            pollfd entry{fd, POLLOUT, 0};
            const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
            if (ready > 0)
                break;
            if (ready < 0 && errno != EINTR) {
                error = SystemError(errno);
                return false;
            }
        }
        int result = 0;
        socklen_t resultLength = sizeof result;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &resultLength) != 0)
            result = errno;
        if (result != 0) {
            error = SystemError(result);
            return false;
        }
    }
    if (::fcntl(fd, F_SETFL, flags) < 0) {
        error = SystemError(errno);
        return false;
    }
    return true;
}

void SetTimeout(int fd, int option, std::chrono::milliseconds timeout) {
    timeval value{};
    value.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    value.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    if (value.tv_sec == 0 && value.tv_usec == 0)
        value.tv_usec = 1000; // zero would mean "wait for ever"
    ::setsockopt(fd, SOL_SOCKET, option, &value, sizeof value);
}

void SendAll(int fd, const char* data, size_t length) {
    while (length > 0) {
        // MSG_NOSIGNAL: a server that closed early must not end the program
        // with SIGPIPE.
        const ssize_t sent = ::send(fd, data, length, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return;
        data += sent;
        length -= static_cast<size_t>(sent);
    }
}

enum class Received { Data, Closed, TimedOut, Failed };

// One receive, retried when a signal interrupts it.
Received Receive(int fd, char* buffer, size_t size, ssize_t& count) {
    for (;;) {
        count = ::recv(fd, buffer, size, 0);
        if (count > 0)
            return Received::Data;
        if (count == 0)
            return Received::Closed;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return Received::TimedOut;
        return Received::Failed;
    }
}

} // namespace

Request::~Request() = default;

bool Request::PostForm(const QByteArray& host, quint16 port, const QByteArray& path,
                       const char* body, qint32 bodyLength, QByteArray& head,
                       QByteArray& responseBody, QString* error) {
    RequestResponse response;
    if (SendRequest(host, port, QByteArray(kFormContentType), path, body, bodyLength, response) !=
        kCompleted) {
        if (error)
            *error = response.error;
        return false;
    }
    // Taken as C strings: a NUL inside the answer ends the text there.
    head = QByteArray(response.head.constData());
    responseBody = QByteArray(response.body.constData());
    return true;
}

int Request::SendRequest(const QByteArray& host, quint16 port, const QByteArray& extraHeaders,
                         const QByteArray& path, const char* body, qint32 bodyLength,
                         RequestResponse& response) {
    response = RequestResponse();
    if (bodyLength < 0) {
        response.error = QStringLiteral("negative body length %1").arg(bodyLength);
        return kNotSent;
    }
    if (host.isEmpty()) {
        response.error = QStringLiteral("no host name");
        return kNotSent;
    }

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup = ::getaddrinfo(host.constData(), nullptr, &hints, &found);
    if (lookup != 0 || !found) {
        response.error =
            QStringLiteral("cannot find host %1: %2")
                .arg(QString::fromLatin1(host), QString::fromLocal8Bit(::gai_strerror(lookup)));
        if (found)
            ::freeaddrinfo(found);
        return kNotSent;
    }
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    ::freeaddrinfo(found);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);

    SocketHandle socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.Fd() < 0) {
        response.error = SystemError(errno);
        return kNotSent;
    }
    const int fd = socket.Fd();
    QString connectError;
    if (!ConnectWithin(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address,
                       m_connectTimeout, connectError)) {
        response.error = QStringLiteral("cannot connect to %1:%2: %3")
                             .arg(QString::fromLatin1(host))
                             .arg(port)
                             .arg(connectError);
        return kNotSent;
    }
    SetTimeout(fd, SO_RCVTIMEO, m_receiveTimeout);
    SetTimeout(fd, SO_SNDTIMEO, m_receiveTimeout);

    const QByteArray requestLine =
        (body ? QByteArrayLiteral("POST ") : QByteArrayLiteral("GET ")) + path + " HTTP/1.0\r\n";
    SendText(fd, requestLine.constData());
    if (bodyLength != 0)
        SendText(fd, ("Content-Length: " + QByteArray::number(bodyLength) + "\r\n").constData());
    SendText(fd, ("Host: " + host + "\r\n").constData());
    if (!extraHeaders.isEmpty())
        SendText(fd, extraHeaders.constData());
    SendText(fd, "\r\n");
    if (body && bodyLength != 0)
        SendAll(fd, body, static_cast<size_t>(bodyLength));

    // The head byte by byte, so that not a byte of the body is taken with it.
    // Carriage returns do not count towards a line: "\r\n" alone, or a bare
    // "\n", is the empty line that ends the head.
    bool timedOut = false;
    bool headEnded = false;
    int lineLength = 0;
    for (;;) {
        if (response.head.size() >= kHeadLimit) {
            response.truncated = true;
            break;
        }
        char byte = 0;
        ssize_t count = 0;
        const Received got = Receive(fd, &byte, 1, count);
        if (got != Received::Data) {
            timedOut = got == Received::TimedOut;
            break;
        }
        response.head.append(byte);
        if (byte == '\n') {
            if (lineLength == 0) {
                headEnded = true;
                break;
            }
            lineLength = 0;
        } else if (byte != '\r') {
            ++lineLength;
        }
    }

    // The body until the server closes: HTTP/1.0 without Content-Length.
    if (headEnded) {
        char block[kBodyBlock + 1];
        for (;;) {
            const qsizetype room = kBodyLimit - response.body.size();
            ssize_t count = 0;
            const Received got =
                Receive(fd, block, room > 0 ? std::min(room, kBodyBlock) : 1, count);
            if (got != Received::Data) {
                timedOut = got == Received::TimedOut;
                break;
            }
            if (room <= 0) {
                response.truncated = true;
                break;
            }
            response.body.append(block, count);
        }
    }

    if (timedOut) {
        response.error = QStringLiteral("no answer from %1:%2 within %3 s")
                             .arg(QString::fromLatin1(host))
                             .arg(port)
                             .arg(Seconds(m_receiveTimeout));
        return kNoAnswer;
    }
    if (response.head.isEmpty()) {
        response.error = QStringLiteral("%1:%2 closed the connection without an answer")
                             .arg(QString::fromLatin1(host))
                             .arg(port);
        return kNoAnswer;
    }
    return kCompleted;
}

void Request::SendText(int socket, const char* text) {
    SendAll(socket, text, std::strlen(text));
}
