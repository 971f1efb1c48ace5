#include "request.h"

#include <QRegularExpression>

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

enum class Received { Data, Closed, TimedOut, PastDeadline, Failed };

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Left(Clock::time_point deadline) {
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
}

// One receive that waits at most wait for the first byte and never past the
// exchange's deadline; retried when a signal interrupts it.
Received Receive(int fd, char* buffer, size_t size, ssize_t& count, std::chrono::milliseconds wait,
                 Clock::time_point deadline, int& failure) {
    for (;;) {
        const std::chrono::milliseconds left = Left(deadline);
        const bool deadlineFirst = left <= wait;
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::min(left, wait).count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            failure = errno;
            return Received::Failed;
        }
        if (ready == 0)
            return deadlineFirst ? Received::PastDeadline : Received::TimedOut;
        count = ::recv(fd, buffer, size, 0);
        if (count > 0)
            return Received::Data;
        if (count == 0)
            return Received::Closed;
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
            continue;
        failure = errno;
        return Received::Failed;
    }
}

} // namespace

Request::~Request() = default;

Result<void> Request::PostForm(const QByteArray& host, quint16 port, const QByteArray& path,
                               const char* body, qint32 bodyLength, QByteArray& head,
                               QByteArray& responseBody) {
    RequestResponse response;
    const int result =
        SendRequest(host, port, QByteArray(kFormContentType), path, body, bodyLength, response);
    if (!response.head.isEmpty()) {
        // Taken as C strings: a NUL inside the answer ends the text there.
        head = QByteArray(response.head.constData());
        responseBody = QByteArray(response.body.constData());
    }
    if (result != kCompleted)
        return Failure(response.error);
    return Accepted(response);
}

Result<void> Request::Accepted(const RequestResponse& response) {
    auto refuse = [](const QString& why) { return Failure(why); };
    const qsizetype lineEnd = response.head.indexOf('\n');
    QByteArray line = lineEnd < 0 ? response.head : response.head.left(lineEnd);
    if (line.endsWith('\r'))
        line.chop(1);
    // The status line as the operator may read it: printable, and not the
    // whole of a junk answer.
    QString shown;
    for (const char byte : line.left(200))
        shown += byte >= 0x20 && byte < 0x7f ? QChar::fromLatin1(byte) : QChar(u'?');
    static const QRegularExpression status(
        QStringLiteral("^HTTP/[0-9]+\\.[0-9]+ ([1-5][0-9][0-9])(?: [\\x20-\\x7e\\t]*)?$"));
    const QRegularExpressionMatch match = status.match(QString::fromLatin1(line));
    if (lineEnd < 0 || !match.hasMatch())
        return refuse(line.isEmpty() ? QStringLiteral("the answer has no status line")
                                     : QStringLiteral("the answer is not HTTP: \"%1\"").arg(shown));
    if (!response.headComplete)
        return refuse(QStringLiteral("the answer \"%1\" broke off inside its head").arg(shown));
    const int code = match.captured(1).toInt();
    if (code < 200 || code >= 400)
        return refuse(QStringLiteral("the server answered \"%1\"").arg(shown));
    return {};
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
    const Clock::time_point deadline = Clock::now() + m_deadline;
    QString connectError;
    if (!ConnectWithin(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address,
                       std::min(m_connectTimeout, Left(deadline)), connectError)) {
        response.error = QStringLiteral("cannot connect to %1:%2: %3")
                             .arg(QString::fromLatin1(host))
                             .arg(port)
                             .arg(connectError);
        return kNotSent;
    }
    SetTimeout(fd, SO_SNDTIMEO, std::min(m_receiveTimeout, Left(deadline)));

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
    Received ended = Received::Closed;
    int failure = 0;
    int lineLength = 0;
    for (;;) {
        if (response.head.size() >= kHeadLimit) {
            response.truncated = true;
            break;
        }
        char byte = 0;
        ssize_t count = 0;
        const Received got = Receive(fd, &byte, 1, count, m_receiveTimeout, deadline, failure);
        if (got != Received::Data) {
            ended = got;
            break;
        }
        response.head.append(byte);
        if (byte == '\n') {
            if (lineLength == 0) {
                response.headComplete = true;
                break;
            }
            lineLength = 0;
        } else if (byte != '\r') {
            ++lineLength;
        }
    }

    // The body until the server closes: HTTP/1.0 without Content-Length.
    if (response.headComplete) {
        char block[kBodyBlock + 1];
        for (;;) {
            const qsizetype room = kBodyLimit - response.body.size();
            ssize_t count = 0;
            const Received got = Receive(fd, block, room > 0 ? std::min(room, kBodyBlock) : 1,
                                         count, m_receiveTimeout, deadline, failure);
            if (got != Received::Data) {
                ended = got;
                break;
            }
            if (room <= 0) {
                response.truncated = true;
                break;
            }
            response.body.append(block, count);
        }
    }

    const QString server = QStringLiteral("%1:%2").arg(QString::fromLatin1(host)).arg(port);
    switch (ended) {
    case Received::TimedOut:
        response.error =
            QStringLiteral("no answer from %1 within %2 s").arg(server, Seconds(m_receiveTimeout));
        return kNoAnswer;
    case Received::PastDeadline:
        response.error = QStringLiteral("%1 did not finish its answer within %2 s")
                             .arg(server, Seconds(m_deadline));
        return kNoAnswer;
    case Received::Failed:
        response.error =
            QStringLiteral("the connection to %1 broke off: %2").arg(server, SystemError(failure));
        return kNoAnswer;
    case Received::Data:
    case Received::Closed:
        break;
    }
    if (response.head.isEmpty()) {
        response.error = QStringLiteral("%1 closed the connection without an answer").arg(server);
        return kNoAnswer;
    }
    return kCompleted;
}

void Request::SendText(int socket, const char* text) {
    SendAll(socket, text, std::strlen(text));
}
