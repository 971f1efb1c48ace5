#include "records/accountrules.h"
#include "records/filenames.h"

#include <gtest/gtest.h>

TEST(SavedNames, PresetAndLabelNamesOtherWorkstationsCanOpen) {
    struct Case {
        QString name;
        bool valid;
    };
    const Case cases[] = {
        {QStringLiteral("명함 90x50"), true},
        {QStringLiteral("A"), true},
        {QString(), false},
        {QStringLiteral(" lead"), false},
        {QStringLiteral("trail."), false},
        {QStringLiteral("\ttab"), false},
        {QStringLiteral(".hidden"), false},
        {QStringLiteral("a:b"), false},
        {QStringLiteral("a/b"), false},
        {QStringLiteral("a\\b"), false},
        {QStringLiteral("a|b"), false},
        {QStringLiteral("a\"b"), false},
        {QStringLiteral("a*b?"), false},
        {QStringLiteral("a<b>"), false},
        {QStringLiteral("line\nbreak"), false},
        {QStringLiteral("bell\x07"), false},
        {QStringLiteral("CON"), false},
        {QStringLiteral("nul.backup"), false},
        {QStringLiteral("Com1"), false},
        {QStringLiteral("LPT9 .x"), false},
        {QStringLiteral("CONSOLE"), true},
        {QStringLiteral("COM0"), true},
        {QString(QStringLiteral("가")).repeated(83), true},  // 249 bytes + ".tzdp" = 254
        {QString(QStringLiteral("가")).repeated(84), false}, // 252 + 5 = 257 bytes
        {QStringLiteral("emoji 😀"), false},                  // no code in code page 949
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(filenames::IsValidPresetName(c.name), c.valid);
    }
    EXPECT_EQ(filenames::InvalidNameMessage(QStringLiteral("a:b")),
              QStringLiteral("\"a:b\"는(은) 잘못된 파일 이름입니다."));
}

TEST(AccountRules, PasswordsAndInitialsTheAccountFileCanCarry) {
    EXPECT_TRUE(accountrules::IsValidPassword(QStringLiteral("비밀 123")));
    EXPECT_FALSE(accountrules::IsValidPassword(QString()));
    EXPECT_FALSE(accountrules::IsValidPassword(QStringLiteral("pass😀")));

    struct Case {
        QString initials;
        bool valid;
    };
    const Case cases[] = {
        {QStringLiteral("KD"), true}, {QStringLiteral("홍길"), true},
        {QStringLiteral("K"), false}, {QStringLiteral("KDH"), false},
        {QString(), false},           {QStringLiteral("K😀"), false}, // two characters, no code
        {QStringLiteral("😀"), false}, // one character in two UTF-16 units
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.initials.toStdString());
        EXPECT_EQ(accountrules::IsValidInitials(c.initials), c.valid);
    }
}
