#include "registration/request.h"
#include "tests/succeeded.h"

#include "loopbackserver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;

namespace {

const QByteArray kLoopback = "127.0.0.1";

Request QuickRequest() {
    Request request;
    request.SetConnectTimeout(300ms);
    request.SetReceiveTimeout(300ms);
    return request;
}

} // namespace

TEST(Request, FormPostGoesOutPieceByPieceAndTheAnswerSplitsAtTheEmptyLine) {
    for (const QByteArray& host : {QByteArray("127.0.0.1"), QByteArray("localhost")}) {
        SCOPED_TRACE(host.constData());
        LoopbackServer server("HTTP/1.0 200 OK\r\nServer: t\r\n\r\nbody\r\n\r\nmore");
        Request request;
        QByteArray head = "old", body = "old";
        const char form[] = "a=1&b=\xC0\xCE";
        ASSERT_TRUE(Succeeded(
            request.PostForm(host, server.Port(), "/reg/plate.php?x=1", form, 8, head, body)));
        EXPECT_EQ(server.Received(), "POST /reg/plate.php?x=1 HTTP/1.0\r\n"
                                     "Content-Length: 8\r\n"
                                     "Host: " +
                                         host +
                                         "\r\n"
                                         "Content-Type: application/x-www-form-urlencoded\r\n"
                                         "\r\n"
                                         "a=1&b=\xC0\xCE");
        EXPECT_EQ(head, "HTTP/1.0 200 OK\r\nServer: t\r\n\r\n");
        EXPECT_EQ(body, "body\r\n\r\nmore");
    }
}

TEST(Request, MethodAndContentLengthFollowTheBody) {
    struct Case {
        const char* body;
        qint32 length;
        QByteArray extra;
        QByteArray wire;
    } cases[] = {
        {"ignored", 0, "", "POST /p HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n"},
        {nullptr, 0, "", "GET /p HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n"},
        {"xyz", 3, "X-A: 1\r\nX-B: 2\r\n",
         "POST /p HTTP/1.0\r\nContent-Length: 3\r\nHost: 127.0.0.1\r\nX-A: 1\r\nX-B: 2\r\n\r\nxyz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wire.constData());
        LoopbackServer server("HTTP/1.0 204 No Content\r\n\r\n");
        Request request = QuickRequest();
        RequestResponse response;
        ASSERT_EQ(request.SendRequest(kLoopback, server.Port(), c.extra, "/p", c.body, c.length,
                                      response),
                  Request::kCompleted)
            << response.error.toStdString();
        EXPECT_EQ(server.Received(), c.wire);
        EXPECT_EQ(response.head, "HTTP/1.0 204 No Content\r\n\r\n");
        EXPECT_TRUE(response.body.isEmpty());
    }
}

TEST(Request, HeadEndsAtTheFirstLineWithoutCharactersOtherThanCarriageReturns) {
    using namespace std::string_literals;
    struct Case {
        QByteArray answer;
        QByteArray head;
        QByteArray body;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nA: b\r\n\r\nB\r\n\r\nC", "HTTP/1.0 200 OK\r\nA: b\r\n\r\n",
         "B\r\n\r\nC"},
        {"HTTP/1.0 200 OK\n\nbody", "HTTP/1.0 200 OK\n\n", "body"},
        {"HTTP/1.0 200 OK\r\n\r\r\nbody", "HTTP/1.0 200 OK\r\n\r\r\n", "body"},
        {"HTTP/1.0 200 OK\r\nA:\r\r\n\r\nb", "HTTP/1.0 200 OK\r\nA:\r\r\n\r\n", "b"},
        // The server closes before any empty line: all of it is head.
        {"HTTP/1.0 200 OK\r\nA: b", "HTTP/1.0 200 OK\r\nA: b", ""},
        // Status codes are not looked at.
        {"HTTP/1.0 500 Internal Server Error\r\n\r\nboom",
         "HTTP/1.0 500 Internal Server Error\r\n\r\n", "boom"},
        {"garbage", "garbage", ""},
        {QByteArray("HTTP/1.0 200 OK\r\n\r\na\0b", 22), "HTTP/1.0 200 OK\r\n\r\n",
         QByteArray("a\0b", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        LoopbackServer server(c.answer);
        Request request = QuickRequest();
        RequestResponse response;
        ASSERT_EQ(request.SendRequest(kLoopback, server.Port(), {}, "/", "x", 1, response),
                  Request::kCompleted)
            << response.error.toStdString();
        EXPECT_EQ(response.head, c.head);
        EXPECT_EQ(response.body, c.body);
        EXPECT_FALSE(response.truncated);
    }
}

TEST(Request, PostFormCutsTheBodyAtItsFirstNul) {
    LoopbackServer server(QByteArray("HTTP/1.0 200 OK\r\n\r\nab\0cd", 23));
    Request request = QuickRequest();
    QByteArray head, body;
    ASSERT_TRUE(Succeeded(request.PostForm(kLoopback, server.Port(), "/", "f=1", 3, head, body)));
    EXPECT_EQ(head, "HTTP/1.0 200 OK\r\n\r\n");
    EXPECT_EQ(body, "ab");
}

TEST(Request, FailedExchangesSayWhyAndKeepWhatArrived) {
    using Then = LoopbackServer::Then;
    ClosedPort closed;
    FullListener full;
    struct Case {
        const char* what;
        QByteArray host;
        quint16 port; // 0: a fresh server's
        std::optional<Then> then;
        QByteArray answer;
        qint32 length;
        int result;
    } cases[] = {
        {"nothing listens", kLoopback, closed.Port(), {}, "", 3, Request::kNotSent},
        {"connection never taken", kLoopback, full.Port(), {}, "", 3, Request::kNotSent},
        // A label of 64 bytes cannot be put in a query, so the lookup fails
        // on this machine without asking any name server.
        {"name does not resolve",
         "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.invalid",
         80,
         {},
         "",
         3,
         Request::kNotSent},
        {"no host name", "", 80, {}, "", 3, Request::kNotSent},
        {"negative body length", kLoopback, closed.Port(), {}, "", -1, Request::kNotSent},
        {"server never answers", kLoopback, 0, Then::Stay, "", 3, Request::kNoAnswer},
        {"server stalls in the head", kLoopback, 0, Then::Stay, "HTTP/1.0 200 OK\r\n", 3,
         Request::kNoAnswer},
        {"server stalls after the head", kLoopback, 0, Then::Stay, "HTTP/1.0 200 OK\r\n\r\nab", 3,
         Request::kNoAnswer},
        {"server closes without a byte", kLoopback, 0, Then::CloseAtOnce, "", 3,
         Request::kNoAnswer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool post : {false, true}) {
            std::optional<LoopbackServer> server;
            if (c.then)
                server.emplace(c.answer, *c.then);
            const quint16 port = server ? server->Port() : c.port;
            Request request = QuickRequest();
            QString error;
            const auto started = std::chrono::steady_clock::now();
            if (post) {
                QByteArray head = "untouched", body = "untouched";
                const Result<void> posted =
                    request.PostForm(c.host, port, "/", "f=1", c.length, head, body);
                EXPECT_FALSE(posted.ok());
                error = posted.error();
                // What arrived is kept for the details; without an answer nothing changes.
                EXPECT_EQ(head + body, c.answer.isEmpty() ? "untoucheduntouched" : c.answer);
            } else {
                RequestResponse response;
                EXPECT_EQ(request.SendRequest(c.host, port, {}, "/", "f=1", c.length, response),
                          c.result);
                error = response.error;
            }
            EXPECT_FALSE(error.isEmpty());
            // The time-outs are 0.3 s; without them these would wait for
            // minutes (the system's connect) or for the server's patience.
            EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
        }
    }
}

// Only a well-formed status line with a 2xx or 3xx status is a success;
// every other answer fails with the status line or the reason in the error.
TEST(Request, OnlyAWellFormedSuccessStatusIsASuccess) {
    using Then = LoopbackServer::Then;
    struct Case {
        const char* what;
        QByteArray answer;
        Then then;
        bool ok;
        const char* error;
    } cases[] = {
        {"200", "HTTP/1.0 200 OK\r\n\r\nok", Then::Answer, true, ""},
        {"302", "HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", Then::Answer, true, ""},
        {"204 without a reason phrase, bare line feeds", "HTTP/1.0 204\n\n", Then::Answer, true,
         ""},
        {"500", "HTTP/1.0 500 Internal Server Error\r\n\r\noops", Then::Answer, false,
         "\"HTTP/1.0 500 Internal Server Error\""},
        {"404", "HTTP/1.1 404 Not Found\r\n\r\n", Then::Answer, false, "404 Not Found"},
        {"101", "HTTP/1.1 101 Switching\r\n\r\n", Then::Answer, false, "101 Switching"},
        {"four-digit status", "HTTP/1.0 2000 OK\r\n\r\n", Then::Answer, false, "not HTTP"},
        {"no status", "HTTP/1.0 OK\r\n\r\n", Then::Answer, false, "not HTTP"},
        {"no version", "200 OK\r\n\r\n", Then::Answer, false, "not HTTP"},
        {"junk", "<html>hello</html>\r\n\r\n", Then::Answer, false, "not HTTP"},
        {"closed inside the head", "HTTP/1.0 200 OK\r\nX: y", Then::Answer, false, "broke off"},
        {"reset inside the head", "HTTP/1.0 200 OK\r\nX: y", Then::Reset, false, "broke off"},
        {"endless junk", QByteArray(4096, 'j'), Then::Flood, false, "not HTTP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackServer server(c.answer, c.then);
        Request request = QuickRequest();
        QByteArray head, body;
        const Result<void> posted =
            request.PostForm(kLoopback, server.Port(), "/", "f=1", 3, head, body);
        const QString& error = posted.error();
        EXPECT_EQ(posted.ok(), c.ok) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
        EXPECT_LE(head.size(), Request::kHeadLimit);
    }
}

// A server that sends a byte now and then, each well within the receive
// time-out, is stopped by the deadline of the whole exchange.
TEST(Request, ATricklingServerIsStoppedByTheDeadline) {
    LoopbackServer server("HTTP/1.0 200 OK\r\nX-Slow: yes", LoopbackServer::Then::Trickle);
    Request request = QuickRequest();
    request.SetReceiveTimeout(5s);
    request.SetDeadline(1s);
    QByteArray head, body;
    const Result<void> posted =
        request.PostForm(kLoopback, server.Port(), "/", "f=1", 3, head, body);
    EXPECT_FALSE(posted.ok());
    const QString& error = posted.error();
    EXPECT_TRUE(error.contains(QStringLiteral("within 1 s"))) << error.toStdString();
    EXPECT_TRUE(head.startsWith("HTTP/")) << head.toStdString();
}

TEST(Request, AnswersAreReadOnlyUpToTheirLimits) {
    const QByteArray longHead = "HTTP/1.0 200 OK\r\nX: " + QByteArray(Request::kHeadLimit, 'h');
    const QByteArray okHead = "HTTP/1.0 200 OK\r\n\r\n";
    struct Case {
        const char* what;
        QByteArray answer;
        qsizetype headSize;
        qsizetype bodySize;
        bool truncated;
    } cases[] = {
        {"endless head", longHead, Request::kHeadLimit, 0, true},
        {"body at the limit", okHead + QByteArray(Request::kBodyLimit, 'b'), okHead.size(),
         Request::kBodyLimit, false},
        {"body over the limit", okHead + QByteArray(Request::kBodyLimit + 5000, 'b'), okHead.size(),
         Request::kBodyLimit, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackServer server(c.answer);
        Request request;
        RequestResponse response;
        ASSERT_EQ(request.SendRequest(kLoopback, server.Port(), {}, "/", "f=1", 3, response),
                  Request::kCompleted)
            << response.error.toStdString();
        EXPECT_EQ(response.head.size(), c.headSize);
        EXPECT_EQ(response.body.size(), c.bodySize);
        EXPECT_EQ(response.truncated, c.truncated);
    }
}
