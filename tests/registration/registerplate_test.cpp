#include "registration/registerplate.h"

#include "loopbackserver.h"
#include "markup/cp949.h"
#include "registration/registrationform.h"
#include "registration/registrationurl.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

PlateRegistration SmallPlate() {
    PlateRegistration plate;
    plate.jobCode = QStringLiteral("판01");
    plate.pquantity = 500;
    plate.items = {{QStringLiteral("N"), 1, 600, 0}};
    return plate;
}

QString Url(quint16 port, const char* object) {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QString::fromUtf8(object));
}

} // namespace

TEST(RegisterPlate, PostsTheFormInCodePage949) {
    LoopbackServer server("HTTP/1.0 200 OK\r\nX: y\r\n\r\nok");
    const PlateRegistration plate = SmallPlate();
    const PlateRegistrationResult result =
        RegisterPlate(plate, QString(), Url(server.Port(), "/등록/reg.asp?site=1"), 2s, 2s);
    EXPECT_TRUE(result.registered) << result.reason.toStdString();
    EXPECT_TRUE(result.message.isEmpty());
    EXPECT_EQ(result.head, "HTTP/1.0 200 OK\r\nX: y\r\n\r\n");
    EXPECT_EQ(result.body, "ok");

    const QByteArray form = cp949::FromUnicode(BuildRegistrationForm(plate, QString()).text);
    EXPECT_TRUE(form.startsWith("PanNum1=\xC6\xC7"
                                "01&"));
    EXPECT_EQ(server.Received(), "POST /\xB5\xEE\xB7\xCF/reg.asp?site=1 HTTP/1.0\r\n"
                                 "Content-Length: " +
                                     QByteArray::number(form.size()) +
                                     "\r\n"
                                     "Host: 127.0.0.1\r\n"
                                     "Content-Type: application/x-www-form-urlencoded\r\n"
                                     "\r\n" +
                                     form);
}

TEST(RegisterPlate, FailuresCarryTheOperatorMessage) {
    const QString cannotReach = QString::fromUtf16(kCannotReachRegistrationServer);
    ClosedPort closed;
    LoopbackServer silent("", LoopbackServer::Then::Stay);
    LoopbackServer refusing("HTTP/1.0 500 Internal Server Error\r\n\r\n");
    LoopbackServer trickling("HTTP/1.0 200 OK\r\n", LoopbackServer::Then::Trickle);
    PlateRegistration uncounted = SmallPlate();
    uncounted.pquantity = 0;
    struct Case {
        const char* what;
        PlateRegistration plate;
        QString url;
        bool cannotReach;
    } cases[] = {
        {"no URL", SmallPlate(), QString(), true},
        {"URL that does not parse", SmallPlate(), QStringLiteral("http//127.0.0.1/reg"), true},
        {"nothing listens", SmallPlate(), Url(closed.Port(), "/reg"), true},
        {"no answer", SmallPlate(), Url(silent.Port(), "/reg"), true},
        {"server error", SmallPlate(), Url(refusing.Port(), "/reg"), true},
        {"answer that never ends", SmallPlate(), Url(trickling.Port(), "/reg"), true},
        {"plate quantity below 1", uncounted, Url(closed.Port(), "/reg"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PlateRegistrationResult result =
            RegisterPlate(c.plate, QString(), c.url, 300ms, 300ms, 1s);
        EXPECT_FALSE(result.registered);
        EXPECT_FALSE(result.reason.isEmpty());
        if (c.url.contains(QString::number(refusing.Port())))
            EXPECT_TRUE(result.reason.contains(QStringLiteral("500 Internal Server Error")))
                << result.reason.toStdString();
        if (c.cannotReach)
            EXPECT_EQ(result.message, cannotReach);
        else
            EXPECT_EQ(result.message, BuildRegistrationForm(c.plate, QString()).error);
    }
}

TEST(RegistrationUrl, SplitsHostPortAndObject) {
    struct Case {
        const char* url;
        const char* host;
        quint16 port;
        QString object;
    } cases[] = {
        {"http://reg.example.com/plate/reg.php?site=1&x=2", "reg.example.com", 80,
         QStringLiteral("/plate/reg.php?site=1&x=2")},
        {"http://127.0.0.1:8080", "127.0.0.1", 8080, QStringLiteral("/")},
        {"HTTP://Reg.Example.com:81?a=b#part", "reg.example.com", 81, QStringLiteral("/?a=b")},
        {"http://localhost/판/등록.asp", "localhost", 80, QStringLiteral("/판/등록.asp")},
        {"http://localhost/a%20b", "localhost", 80, QStringLiteral("/a%20b")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const auto url = RegistrationUrl::Parse(QString::fromUtf8(c.url));
        ASSERT_TRUE(url);
        EXPECT_EQ(url->host, QLatin1String(c.host));
        EXPECT_EQ(url->port, c.port);
        EXPECT_EQ(url->object, c.object);
    }
    for (const char* bad : {"", "reg.example.com/plate", "https://reg.example.com/", "ftp://host/",
                            "http:///path", "http://host:0/", "http://host:70000/",
                            "http://host/a b", "http://host/a\r\nX: 1", "http://ho st/"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(RegistrationUrl::Parse(QString::fromUtf8(bad)));
    }
}
