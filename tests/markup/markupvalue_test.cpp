#include "markup/markupvalue.h"
#include "markup/tzmpitem.h"

#include <gtest/gtest.h>

TEST(MarkupValue, ConversionsOnAccess) {
    EXPECT_EQ(MarkupValue().toInt(), 0);
    EXPECT_EQ(MarkupValue().toDouble(), 0.0);
    EXPECT_EQ(MarkupValue().toString(), QString());

    // A double read as an integer: nearest, halves to the even neighbour.
    struct {
        double in;
        int out;
    } rounding[] = {{0.5, 0},    {1.5, 2},    {2.5, 2},          {-0.5, 0},         {-1.5, -2},
                    {2.4999, 2}, {2.5001, 3}, {1e12, INT32_MAX}, {-1e12, INT32_MIN}};
    for (const auto& c : rounding)
        EXPECT_EQ(MarkupValue(c.in).toInt(), c.out) << c.in;

    // Doubles as text: up to 15 significant digits, no locale.
    EXPECT_EQ(MarkupValue(297.0).toString(), QStringLiteral("297"));
    EXPECT_EQ(MarkupValue(0.1 + 0.2).toString(), QStringLiteral("0.3"));
    EXPECT_EQ(MarkupValue(1.0 / 3).toString(), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(MarkupValue(std::int32_t(-12)).toString(), QStringLiteral("-12"));
    EXPECT_EQ(MarkupValue(std::uint8_t(129)).toString(), QStringLiteral("129"));

    // Text parsed as a number; text that is none reads as 0 and says so.
    bool ok = true;
    EXPECT_EQ(MarkupValue(QStringLiteral(" 42 ")).toInt(&ok), 42);
    EXPECT_TRUE(ok);
    EXPECT_EQ(MarkupValue(QStringLiteral("2.5")).toInt(&ok), 2);
    EXPECT_EQ(MarkupValue(QStringLiteral("92.5")).toDouble(&ok), 92.5);
    EXPECT_EQ(MarkupValue(QStringLiteral("abc")).toInt(&ok), 0);
    EXPECT_FALSE(ok);

    // Assignment keeps the kind given.
    MarkupValue value;
    value = 3.0;
    EXPECT_EQ(value.kind(), MarkupValue::Kind::Double);
    value = std::uint8_t(7);
    EXPECT_EQ(value.kind(), MarkupValue::Kind::Byte);
    EXPECT_EQ(value.toByte(), 7);
    EXPECT_EQ(MarkupValue(std::int32_t(300)).toByte(), 44); // the low eight bits
}

TEST(MarkupValue, ReadingNumbersFromValueText) {
    struct {
        const char16_t* text;
        int integer;
        double real;
    } cases[] = {
        {u"12abc", 12, 12.0},
        {u"1,5", 1, 1.0},
        {u"  -7", -7, -7.0},
        {u"+3.75", 3, 3.75},
        {u"abc", 0, 0.0},
        {u"", 0, 0.0},
        {u"-", 0, 0.0},
        {u"1e3", 1, 1000.0},
        {u".5", 0, 0.5},
        {u"--1", 0, 0.0},
        {u"99999999999", INT32_MAX, 99999999999.0},
        {u"-99999999999", INT32_MIN, -99999999999.0},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(ParseLeadingInt(text), c.integer) << text.toStdString();
        EXPECT_EQ(ParseLeadingDouble(text), c.real) << text.toStdString();
    }
}

TEST(MarkupValue, EscapesRoundTripAndRepeatTheirUndoing) {
    EXPECT_EQ(EscapeMarkupText(QStringLiteral("a/b<c>d\"e'f")),
              QStringLiteral("a$$2fb$$3cc$$3ed$$22e$$27f"));
    EXPECT_EQ(UnescapeMarkupText(QStringLiteral("a$$2fb$$3cc$$3ed$$22e$$27f")),
              QStringLiteral("a/b<c>d\"e'f"));
    // The replacement repeats while it finds a code: "$$$$3c3c" becomes "$$<3c",
    // which escapes back to the same file text.
    EXPECT_EQ(UnescapeMarkupText(QStringLiteral("$$$$3c3c")), QStringLiteral("$$<3c"));
    EXPECT_EQ(EscapeMarkupText(QStringLiteral("$$<3c")), QStringLiteral("$$$$3c3c"));
    EXPECT_EQ(UnescapeMarkupText(QStringLiteral("$$3c$$3c")), QStringLiteral("<<"));
    EXPECT_EQ(UnescapeMarkupText(QStringLiteral("&lt;$$3C")), QStringLiteral("&lt;$$3C"));
}
