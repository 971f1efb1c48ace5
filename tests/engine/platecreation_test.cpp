#include "../records/recordfiles.h"
#include "engine/platecreation.h"
#include "engine/tesseldoc.h"
#include "records/zeldocumentpreset.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

TEST(PlateCreation, ValidationInOrder) {
    using P = PlateProperties;
    struct Case {
        const char* name;
        void (*change)(P&);
        const char16_t* message;
    } cases[] = {
        {"defaults", [](P&) {}, u""},
        {"sheet quantity 1", [](P& p) { p.quantity = 1; }, u"수량의 매수가 잘못되었습니다."},
        {"sheet quantity 2", [](P& p) { p.quantity = 2; }, u""},
        {"sheet quantity 2.5", [](P& p) { p.quantity = 2.5; }, u"수량의 매수가 잘못되었습니다."},
        {"ream quantity 0.5", [](P& p) { p.pressUnit = 1; p.quantity = 0.5; }, u""},
        {"ream quantity 0", [](P& p) { p.pressUnit = 1; p.quantity = 0; }, u"수량의 연수가 잘못되었습니다."},
        {"print count 0", [](P& p) { p.pressCount = 0; }, u"인쇄 매수가 잘못되었습니다."},
        {"no height", [](P& p) { p.height = 0; }, u"판형의 가로, 세로 크기가 잘못되었습니다."},
        {"negative margin before grid", [](P& p) { p.margin[1] = -1; p.gridWidth = -1; }, u"판형의 여백이 잘못되었습니다."},
        {"negative grid", [](P& p) { p.gridHeight = -1; }, u"판형의 그리드 간격이 잘못되었습니다."},
        {"negative cut margin", [](P& p) { p.cutMargin[3] = -0.1; }, u"판형의 재단선 여백이 잘못되었습니다."},
        {"margins fill the width", [](P& p) { p.margin[P::Left] = 150; p.margin[P::Right] = 147; }, u"판형의 여백이 전체 폭 보다 큽니다."},
        {"margins fill the height", [](P& p) { p.margin[P::Top] = 407.3; }, u"판형의 여백이 전체 높이 보다 큽니다."},
    };
    for (const Case& c : cases) {
        P p = platecreation::DefaultProperties();
        c.change(p);
        EXPECT_EQ(platecreation::Validate(p), QString::fromUtf16(c.message)) << c.name;
    }
}

TEST(PlateCreation, WritesANewPlateWithAFreshCode) {
    recordfiles::KoreanTempDir shop;
    CZelPreference preference;
    preference.SetFolder(CZelPreference::Folder::Preset, shop.mkdir(QStringLiteral("presets")));
    preference.SetFolder(CZelPreference::Folder::LocalWork, shop.mkdir(QStringLiteral("local")));
    preference.SetFolder(CZelPreference::Folder::Progress, shop.mkdir(QStringLiteral("progress")));
    preference.SetFolder(CZelPreference::Folder::Release, shop.mkdir(QStringLiteral("release")));

    CZelDocumentPreset preset;
    CTzmpItem* line = preset.AddLine(preset.AddLines());
    preset.LineValue(line, "LINE_START") = 5.0;
    preset.LineValue(line, "LINE_COLOR") = QStringLiteral("Black");

    platecreation::Request request;
    request.properties = platecreation::DefaultProperties();
    request.properties.quantity = 1000;
    request.presetName = QStringLiteral("명함 국전");
    request.preset = &preset;
    request.panPrefix = QStringLiteral("NC");
    request.panName = QStringLiteral("명함");
    request.date = QDate(2026, 12, 9);
    request.account = QStringLiteral("demo");
    request.realName = QStringLiteral("데모");
    request.initials = QStringLiteral("DM");

    QString first, second, error;
    ASSERT_TRUE(platecreation::CreatePlate(preference, request, first, &error)) << error.toStdString();
    ASSERT_TRUE(platecreation::CreatePlate(preference, request, second, &error)) << error.toStdString();
    EXPECT_TRUE(first.endsWith(QLatin1String("/local/NC261209001.tzmp"))) << first.toStdString();
    EXPECT_TRUE(second.endsWith(QLatin1String("/local/NC261209002.tzmp"))) << second.toStdString();
    EXPECT_TRUE(QFileInfo(shop.filePath(QStringLiteral("local/NC261209001"))).isDir());

    CTesselDoc doc;
    doc.SetContext({&preference, nullptr, nullptr, nullptr, nullptr, {}});
    ASSERT_TRUE(doc.Open(first, &error)) << error.toStdString();
    const PlateProperties& p = doc.Properties();
    EXPECT_EQ(p.jobCode, QStringLiteral("NC261209001"));
    EXPECT_EQ(p.presetName, QStringLiteral("명함 국전"));
    EXPECT_EQ(p.jobDate, QStringLiteral("2026-12-09"));
    EXPECT_EQ(p.userAccount, QStringLiteral("demo"));
    EXPECT_EQ(p.userName, QStringLiteral("데모"));
    EXPECT_EQ(p.userInitial, QStringLiteral("DM"));
    EXPECT_EQ(p.pressQuantityText, QStringLiteral("1000"));
    EXPECT_EQ(p.pageCount, 1);
    EXPECT_EQ(p.gridWidth, 92);
    ASSERT_EQ(doc.Lines().size(), 1u);
    EXPECT_EQ(doc.Lines()[0].start, 5);
    EXPECT_TRUE(doc.ProgressFolder().endsWith(QLatin1String("/progress/demo/NC261209001/")) ||
                doc.ProgressFolder().endsWith(QLatin1String("/progress/demo/NC261209001")))
        << doc.ProgressFolder().toStdString();

    // Without a local work folder nothing is made.
    CZelPreference none;
    EXPECT_FALSE(platecreation::CreatePlate(none, request, first, &error));
    request.account = QStringLiteral("../x");
    EXPECT_FALSE(platecreation::CreatePlate(preference, request, first, &error));
}
