#include "../records/recordfiles.h"
#include "engine/platecreation.h"
#include "engine/tesseldoc.h"
#include "records/zeldocumentpreset.h"
#include "records/zelpreference.h"
#include "tests/succeeded.h"

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
        {"ream quantity 0.5",
         [](P& p) {
             p.pressUnit = 1;
             p.quantity = 0.5;
         },
         u""},
        {"ream quantity 0",
         [](P& p) {
             p.pressUnit = 1;
             p.quantity = 0;
         },
         u"수량의 연수가 잘못되었습니다."},
        {"print count 0", [](P& p) { p.pressCount = 0; }, u"인쇄 매수가 잘못되었습니다."},
        {"no height", [](P& p) { p.height = 0; }, u"판형의 가로, 세로 크기가 잘못되었습니다."},
        {"negative margin before grid",
         [](P& p) {
             p.margin[1] = -1;
             p.gridWidth = -1;
         },
         u"판형의 여백이 잘못되었습니다."},
        {"negative grid", [](P& p) { p.gridHeight = -1; }, u"판형의 그리드 간격이 잘못되었습니다."},
        {"negative cut margin", [](P& p) { p.cutMargin[3] = -0.1; },
         u"판형의 재단선 여백이 잘못되었습니다."},
        {"margins fill the width",
         [](P& p) {
             p.margin[P::Edge::Left] = 150;
             p.margin[P::Edge::Right] = 147;
         },
         u"판형의 여백이 전체 폭 보다 큽니다."},
        {"margins fill the height", [](P& p) { p.margin[P::Edge::Top] = 407.3; },
         u"판형의 여백이 전체 높이 보다 큽니다."},
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

    const Result<QString> made1 = platecreation::CreatePlate(preference, request);
    const Result<QString> made2 = platecreation::CreatePlate(preference, request);
    ASSERT_TRUE(made1) << made1.error().toStdString();
    ASSERT_TRUE(made2) << made2.error().toStdString();
    const QString first = made1.value(), second = made2.value();
    EXPECT_TRUE(first.endsWith(QLatin1String("/local/NC261209001.tzmp"))) << first.toStdString();
    EXPECT_TRUE(second.endsWith(QLatin1String("/local/NC261209002.tzmp"))) << second.toStdString();
    EXPECT_TRUE(QFileInfo(shop.filePath(QStringLiteral("local/NC261209001"))).isDir());

    CTesselDoc doc;
    doc.SetContext({.preference = &preference});
    ASSERT_TRUE(Succeeded(doc.Open(first)));
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
    platecreation::CreationFailure kind{};
    EXPECT_FALSE(platecreation::CreatePlate(none, request, &kind));
    EXPECT_EQ(kind, platecreation::CreationFailure::NoLocalWorkFolder);
    request.account = QStringLiteral("../x");
    EXPECT_FALSE(platecreation::CreatePlate(preference, request));
}

TEST(PlateCreation, FailureKindsRetryOnlyATakenFile) {
    using platecreation::CreationFailure;
    recordfiles::KoreanTempDir shop;
    const QString presets = shop.mkdir(QStringLiteral("presets"));
    const QString local = shop.mkdir(QStringLiteral("local"));
    CZelPreference preference;
    preference.SetFolder(CZelPreference::Folder::Preset, presets);
    preference.SetFolder(CZelPreference::Folder::LocalWork, local);

    platecreation::Request request;
    request.properties = platecreation::DefaultProperties();
    request.panPrefix = QStringLiteral("NC");
    request.panName = QStringLiteral("명함");
    request.date = QDate(2026, 3, 4);
    request.account = QStringLiteral("demo");
    const QString codes = QDir(presets).filePath(QStringLiteral("PanCodes/2026-03"));

    // Another run left a plate file for the first code and a work folder for
    // the second: both are passed over, the third code is used.
    ASSERT_TRUE(recordfiles::Write(QDir(local).filePath(QStringLiteral("NC260304001.tzmp")), "x"));
    ASSERT_TRUE(QDir(local).mkdir(QStringLiteral("NC260304002")));
    CreationFailure kind = CreationFailure::WriteFailed;
    Result<QString> made = platecreation::CreatePlate(preference, request, &kind);
    ASSERT_TRUE(made) << made.error().toStdString();
    EXPECT_TRUE(made.value().endsWith(QLatin1String("NC260304003.tzmp")));
    EXPECT_EQ(kind, CreationFailure::None);
    EXPECT_EQ(recordfiles::Read(QDir(local).filePath(QStringLiteral("NC260304001.tzmp"))), "x");

    // Every code of the day taken: one failure at once, no hundred tries.
    request.date = QDate(2026, 3, 5);
    ASSERT_TRUE(QDir().mkpath(codes));
    for (int n = 1; n <= 999; ++n)
        ASSERT_TRUE(recordfiles::Write(
            QDir(codes).filePath(
                QStringLiteral("NC260305%1.tzpan").arg(n, 3, 10, QLatin1Char('0'))),
            "t"));
    made = platecreation::CreatePlate(preference, request, &kind);
    EXPECT_FALSE(made);
    EXPECT_EQ(kind, CreationFailure::NoCodeIssued);
    EXPECT_TRUE(made.error().startsWith(platecreation::FailureText(CreationFailure::NoCodeIssued)));
}

TEST(PlateCreation, PressQuantityTextKeepsAFraction) {
    EXPECT_EQ(platecreation::PressQuantityText(1000), QStringLiteral("1000"));
    EXPECT_EQ(platecreation::PressQuantityText(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(platecreation::PressQuantityText(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(platecreation::PressQuantityText(3), QStringLiteral("3"));
}
