#include "export/common/TextRoutines.h"

#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct ReplaceCase {
    QString text;
    QString search;
    QString replacement;
    QString expected;
};

TEST(TextRoutinesTest, ReplaceText) {
    const ReplaceCase cases[] = {
        {"A.txt.TXT", ".txt", ".csv", "A.csv.csv"},
        {"aaa", "a", "aa", "aaaaaa"},  // resumes behind the replacement: no endless loop
        {"", "x", "y", ""},
        {"abc", "", "y", "abc"},  // empty search text: left alone
        {"Line\r\nNext", "\r\n", "  ", "Line  Next"},
        {"xXx", "X", "", ""},
        {"hello", "zz", "y", "hello"},
    };
    for (const auto& c : cases) {
        QString text = c.text;
        ReplaceText(text, c.search, c.replacement);
        EXPECT_EQ(text, c.expected) << c.text.toStdString();
    }
}

TEST(TextRoutinesTest, ReplaceChar) {
    const ReplaceCase cases[] = {
        {"O'Brien", "'", "''", "O''Brien"},  // the doubled quote is not replaced again
        {"''", "'", "''", "''''"},
        {"aAa", "a", "b", "bAb"},  // case matters
        {"", "a", "b", ""},
        {"abc", "", "x", "abc"},
        {"a;b;c", ";", "", "abc"},
    };
    for (const auto& c : cases) {
        QString text = c.text;
        ReplaceChar(text, c.search, c.replacement);
        EXPECT_EQ(text, c.expected) << c.text.toStdString();
    }
}

TEST(TextRoutinesTest, NextTokenKeepsTokenTextBetweenCalls) {
    EXPECT_EQ(NextToken("a,b;;c", ",;"), "a");
    EXPECT_EQ(NextToken("", ",;"), "b");
    EXPECT_EQ(NextToken("", ",;"), "");
    EXPECT_EQ(TokenText(), "c");
    EXPECT_EQ(NextToken("", ",;"), "c");
    EXPECT_EQ(TokenText(), "");
    EXPECT_EQ(NextToken("", ",;"), "");
    // A new non-empty text replaces the rest of the old one.
    NextToken("x,y", ",");
    EXPECT_EQ(NextToken("p q", " "), "p");
    EXPECT_EQ(TokenText(), "q");
    EXPECT_EQ(NextToken("abc", ""), "abc");
    EXPECT_EQ(NextToken(QString("k1") + QChar(0) + "k2", QString(QChar(0))), "k1");
    EXPECT_EQ(TokenText(), "k2");
}

TEST(TextRoutinesTest, ToOemKeepsLengthAndGivesOemBytes) {
    const QString text = QString::fromUtf8("Zürich café ½ €");
    const QString oem = ToOem(text);
    EXPECT_EQ(oem.size(), text.size());
    EXPECT_EQ(CodePage::EncodeAnsi(oem), QByteArray("Z\x81rich caf\x82 \xab ?"));
    EXPECT_EQ(ToOem("plain ASCII"), "plain ASCII");
}

TEST(TextRoutinesTest, EncodeDecodeRoundTrip) {
    const QString texts[] = {
        "secret", QString::fromUtf8("pässwörd€"), "", QString(254, 'x'), "   ", "\x7f\x03"};
    for (qint16 key : {qint16(0), qint16(0x2A), qint16(0x55), qint16(0x7F)}) {
        for (const QString& text : texts) {
            const QString encoded = EncodeText(text, key);
            EXPECT_EQ(encoded.size(), text.size());
            EXPECT_EQ(DecodeText(encoded, key), text) << key;
            // Every scrambled character survives the settings file's code page.
            EXPECT_EQ(CodePage::DecodeAnsi(CodePage::EncodeAnsi(encoded)), encoded);
        }
    }
    qint16 key = 0x10;
    EXPECT_EQ(EncodeText("a", key), QString(QChar(('a' - 3) ^ 0x10)));
    EXPECT_EQ(key, 0x10);
}

TEST(TextRoutinesTest, EncodeDecodeErrors) {
    struct Case {
        QString text;
        qint16 key;
        bool encode;
        int expectedNumber;
    };
    const Case cases[] = {
        {QString(255, 'x'), 0x2A, true, ErrOverflow},
        {QString(255, 'x'), 0x2A, false, ErrOverflow},
        {"\x01", 0x2A, true, ErrInvalidProcedureCall},                 // 1 - 3 < 0
        {"a", 0x100, true, ErrInvalidProcedureCall},                   // code above 255
        {QString(QChar(0xFE)), 0x01, false, ErrInvalidProcedureCall},  // (254 ^ 1) + 3
        {"a", qint16(-1), true, ErrInvalidProcedureCall},              // negative key
    };
    for (const auto& c : cases) {
        qint16 key = c.key;
        try {
            c.encode ? EncodeText(c.text, key) : DecodeText(c.text, key);
            ADD_FAILURE() << "no error for key " << c.key;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), c.expectedNumber);
        }
    }
}

}  // namespace
}  // namespace morvane
