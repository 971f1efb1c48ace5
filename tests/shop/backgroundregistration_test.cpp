#include "../registration/loopbackserver.h"
#include "shop/backgroundregistration.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(BackgroundRegistration, PostsOffTheCallingThread) {
    LoopbackServer server("HTTP/1.0 200 OK\r\n\r\nok");
    PlateRegistration plate;
    plate.jobCode = QStringLiteral("판01");
    plate.pquantity = 500;
    plate.items = {{QStringLiteral("N"), 1, 600, 0}};
    const auto operation = StartRegistration(
        plate, QString(), QStringLiteral("http://127.0.0.1:%1/reg.asp").arg(server.Port()));
    ASSERT_TRUE(operation->WaitFor(60s));
    const PlateRegistrationResult result = operation->Take();
    EXPECT_TRUE(result.registered) << result.reason.toStdString();
    EXPECT_TRUE(server.Received().contains("PanNum1="));
    EXPECT_EQ(operation->Progress().Take().title, QStringLiteral("판 등록"));
}
