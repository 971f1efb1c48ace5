#include "loopbackserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

// No test waits longer than this for its client.
constexpr int kPatienceMs = 15000;

[[noreturn]] void Die(const char* what) {
    std::perror(what);
    std::abort();
}

int BoundLoopbackSocket(quint16& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        Die("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        Die("bind");
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        Die("getsockname");
    port = ntohs(address.sin_port);
    return fd;
}

qsizetype ContentLength(const QByteArray& head) {
    const QByteArray key = "\r\nContent-Length: ";
    const qsizetype at = head.indexOf(key);
    if (at < 0)
        return 0;
    const qsizetype end = head.indexOf("\r\n", at + key.size());
    return head.mid(at + key.size(), end - at - key.size()).toLongLong();
}

} // namespace

LoopbackServer::LoopbackServer(QByteArray answer, Then then)
    : m_answer(std::move(answer)), m_then(then) {
    m_listener = BoundLoopbackSocket(m_port);
    if (::listen(m_listener, 1) != 0)
        Die("listen");
    m_thread = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    if (m_thread.joinable())
        m_thread.join();
    ::close(m_listener);
}

QByteArray LoopbackServer::Received() {
    if (m_thread.joinable())
        m_thread.join();
    return m_received;
}

void LoopbackServer::Serve() {
    pollfd waiting{m_listener, POLLIN, 0};
    if (::poll(&waiting, 1, kPatienceMs) != 1)
        return;
    const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
        return;
    timeval patience{kPatienceMs / 1000, 0};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);

    qsizetype wanted = -1; // total request size, known once the head is in
    char block[4096];
    while (wanted < 0 || m_received.size() < wanted) {
        const ssize_t count = ::recv(client, block, sizeof block, 0);
        if (count <= 0)
            break;
        m_received.append(block, count);
        const qsizetype headEnd = m_received.indexOf("\r\n\r\n");
        if (wanted < 0 && headEnd >= 0)
            wanted = headEnd + 4 + ContentLength(m_received.left(headEnd + 2));
    }

    // False once the client has gone.
    auto send = [client](const char* data, qsizetype left) {
        while (left > 0) {
            const ssize_t sent = ::send(client, data, static_cast<size_t>(left), MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            data += sent;
            left -= sent;
        }
        return true;
    };
    if (m_then == Then::Trickle) {
        for (qsizetype at = 0; !m_answer.isEmpty(); at = (at + 1) % m_answer.size()) {
            if (!send(m_answer.constData() + at, 1))
                break;
            ::poll(nullptr, 0, 100);
        }
    } else if (m_then == Then::Flood) {
        while (send(m_answer.constData(), m_answer.size())) {
        }
    } else if (m_then != Then::CloseAtOnce) {
        send(m_answer.constData(), m_answer.size());
    }
    if (m_then == Then::Reset) {
        // Closing with a zero linger time sends a reset instead of the end of the stream.
        linger abort{1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    if (m_then == Then::Stay) {
        // Until the client gives up and closes its end.
        while (::recv(client, block, sizeof block, 0) > 0) {
        }
    }
    ::close(client);
}

ClosedPort::ClosedPort() {
    m_fd = BoundLoopbackSocket(m_port);
}

ClosedPort::~ClosedPort() {
    ::close(m_fd);
}

FullListener::FullListener() {
    m_listener = BoundLoopbackSocket(m_port);
    if (::listen(m_listener, 0) != 0)
        Die("listen");
    m_filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(m_port);
    if (m_filler < 0 ||
        ::connect(m_filler, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        Die("connect");
}

FullListener::~FullListener() {
    ::close(m_filler);
    ::close(m_listener);
}
