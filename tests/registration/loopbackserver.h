#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

// A one-connection HTTP server on 127.0.0.1 for tests: it accepts a single
// client, records the request (head up to the empty line, then as many body
// bytes as its Content-Length says) and then behaves as told.
class LoopbackServer {
public:
    enum class Then {
        Answer,      // send the answer, then close
        CloseAtOnce, // close without a byte
        Stay,        // send the answer, then keep the connection open until the client leaves
        Reset,       // send the answer, then reset the connection
        Flood,       // send the answer again and again until the client leaves
        Trickle,     // send the answer a byte at a time, 0.1 s apart, again and again
    };

    explicit LoopbackServer(QByteArray answer, Then then = Then::Answer);
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer();

    quint16 Port() const { return m_port; }
    // The request bytes; waits until the exchange on the server side is over.
    QByteArray Received();

private:
    void Serve();

    QByteArray m_answer;
    Then m_then;
    int m_listener = -1;
    quint16 m_port = 0;
    QByteArray m_received;
    std::thread m_thread;
};

// A loopback port with nothing listening on it: bound for as long as the
// object lives, so no other program can take it meanwhile.
class ClosedPort {
public:
    ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
    ~ClosedPort();
    quint16 Port() const { return m_port; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
};

// A loopback listener whose queue is already full: further connection
// attempts are dropped, so a client waits as if the host did not answer.
class FullListener {
public:
    FullListener();
    FullListener(const FullListener&) = delete;
    FullListener& operator=(const FullListener&) = delete;
    ~FullListener();
    quint16 Port() const { return m_port; }

private:
    int m_listener = -1;
    int m_filler = -1;
    quint16 m_port = 0;
};
