#include "markup/numbertext.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(NumberTextTest, LeadingNumberReadsTheCLocalePrefixAndRefusesTheRest) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"12.5", 12.5},
        {"  12.5mm", 12.5},
        {"+3", 3.0},
        {"-0.25", -0.25},
        {"1e2", 100.0},
        {"1e", 1.0},
        {".5", 0.5},
        {"7.", 7.0},
        {"1.2.3", 1.2},
        {"12,5", 12.0},
        {"x", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"+-3", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"-infinity", std::nullopt},
        {"1e999", std::nullopt},
        {"mm 12", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = numbertext::LeadingNumber(QString::fromUtf8(c.text));
        ASSERT_EQ(value.has_value(), c.expected.has_value());
        if (value)
            EXPECT_DOUBLE_EQ(*value, *c.expected);
    }
}

TEST(NumberTextTest, LeadingIntegerStopsAtTheFractionAndStaysInRange) {
    EXPECT_EQ(numbertext::LeadingInteger(QStringLiteral(" 12.7")), 12);
    EXPECT_EQ(numbertext::LeadingInteger(QStringLiteral("-3x")), -3);
    EXPECT_EQ(numbertext::LeadingInteger(QStringLiteral("x3")), std::nullopt);
    EXPECT_EQ(numbertext::LeadingInteger(QStringLiteral("99999999999")), std::nullopt);
}

TEST(NumberTextTest, MillimetreTextTrimsAndNeverShowsMinusZero) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {90.0, "90 mm"},     {10.5, "10.5 mm"},      {0.125, "0.125 mm"},
        {-2.5, "-2.5 mm"},   {-0.0004, "0 mm"},      {-0.0, "0 mm"},
        {0.0004, "0 mm"},    {-0.0005, "-0.001 mm"}, {1234.5678, "1234.568 mm"},
        {-100.0, "-100 mm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(numbertext::MillimetreText(c.value), QString::fromUtf8(c.expected));
    }
    EXPECT_EQ(numbertext::Trimmed(-0.04, 1), QStringLiteral("0"));
    EXPECT_EQ(numbertext::Trimmed(2.5, 1), QStringLiteral("2.5"));
}

} // namespace
