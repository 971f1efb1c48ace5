#include "markup/cp949.h"

#include <gtest/gtest.h>

TEST(Cp949, WholeTableRoundTripsInBothDirections) {
    int codes = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const char16_t ch = cp949::DecodePair(lead, trail);
            if (ch == 0)
                continue;
            ++codes;
            ASSERT_EQ(cp949::EncodeChar(ch), (lead << 8) | trail) << std::hex << lead << trail;
            const char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
            ASSERT_EQ(cp949::ToUnicode(bytes, 2), QString(QChar(ch)));
            ASSERT_EQ(cp949::FromUnicode(QString(QChar(ch))), QByteArray(bytes, 2));
        }
    }
    EXPECT_EQ(codes, 17237);
    EXPECT_EQ(codes + 128, 17365);

    int encodable = 0;
    for (int ch = 0x80; ch <= 0xFFFF; ++ch)
        encodable += cp949::EncodeChar(static_cast<char16_t>(ch)) != 0;
    EXPECT_EQ(encodable, 17237);

    for (int byte = 0; byte < 0x80; ++byte) {
        const char c = static_cast<char>(byte);
        EXPECT_EQ(cp949::ToUnicode(&c, 1), QString(QChar(byte)));
    }
}

TEST(Cp949, KnownCodesAndTheThreeAdditions) {
    struct Case {
        char16_t ch;
        quint16 code;
    } cases[] = {
        {u'가', 0xB0A1},  {u'힣', 0xC652},  {u'똠', 0x8C63},  {u'€', 0xA2E6},   {u'명', 0xB8ED},
        {0x327E, 0xA2E8}, {0xE000, 0xC9A1}, {0xE05D, 0xC9FE}, {0xE05E, 0xFEA1}, {0xE0BB, 0xFEFE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp949::EncodeChar(c.ch), c.code) << std::hex << int(c.ch);
        EXPECT_EQ(cp949::DecodePair(c.code >> 8, c.code & 0xFF), c.ch) << std::hex << c.code;
    }
}

TEST(Cp949, WhatHasNoCodeIsReplacedTheSameWayBothDirections) {
    // Reading: a pair that is no code, and a lead byte at the end.
    EXPECT_EQ(cp949::ToUnicode(QByteArray("\x80\x41"
                                          "a")),
              QStringLiteral("\uFFFDa"));
    EXPECT_EQ(cp949::ToUnicode(QByteArray("a\xB0")), QStringLiteral("a\uFFFD"));
    EXPECT_EQ(cp949::ToUnicode(QByteArray("\xB0\x20")), QStringLiteral("\uFFFD"));
    // Writing: no code, a supplementary character, and the replacement
    // character itself all become one "?".
    EXPECT_EQ(cp949::FromUnicode(u"é"), QByteArray("?"));
    EXPECT_EQ(cp949::FromUnicode(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
    EXPECT_EQ(cp949::FromUnicode(cp949::ToUnicode(QByteArray("\x80\x41"))), QByteArray("?"));
    EXPECT_EQ(cp949::FromUnicode(u"명함 90*50"), QByteArray("\xB8\xED\xC7\xD4 90*50"));
}
