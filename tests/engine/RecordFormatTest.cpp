// Fixed widths, upper case, delimiters, the header line and the value classes.
#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"
#include "export/engine/RecordFormat.h"
#include "export/engine/ValueClass.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(RecordFormatTest, FormatStringFitsTheWidth) {
    struct Case {
        QString text;
        short size;
        QString expected;
    };
    const Case cases[] = {
        {"abc", 3, "abc"}, {"abc", 5, "abc  "}, {"abcdef", 4, "abcd"},
        {"abc", 0, ""},    {"", 0, ""},         {"", 3, "   "},
        {"  a ", 2, "  "}, {"ß€", 3, "ß€ "},    {"Жёлтый", 3, "Жёл"},
    };
    for (const Case& c : cases) {
        QString text = c.text;
        const QString result = FormatString(text, c.size);
        EXPECT_EQ(result, c.expected) << c.text.toStdString() << "/" << c.size;
        EXPECT_EQ(text, c.expected) << "the result is also left in the argument";
    }
}

TEST(RecordFormatTest, FormatStringRefusesNegativeWidths) {
    for (const QString& text : {QString(), QStringLiteral("abc")}) {
        QString value = text;
        try {
            FormatString(value, -1);
            ADD_FAILURE() << "no error for a negative width";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), 5);
        }
    }
}

TEST(RecordFormatTest, UpperCaseKeepsLengthAndTheCodePage) {
    struct Case {
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {"abc xyz 123", "ABC XYZ 123"},
        {"straße", "STRAßE"},  // no two-letter upper form: the length holds
        {"éàçñøæœšž", "ÉÀÇÑØÆŒŠŽ"},
        {"ÿ", "Ÿ"},            // both in the ANSI page
        {"µm", "µM"},          // the upper form of µ is not in the ANSI page: kept
        {"ŉ", "ŉ"},            // a multi-character upper form: kept
        {"жёлтый", "ЖЁЛТЫЙ"},  // not in the page either way: written as "?" later
        {"", ""},
    };
    for (const Case& c : cases) {
        const QString upper = UpperCase(c.text);
        EXPECT_EQ(upper, c.expected) << c.text.toStdString();
        EXPECT_EQ(upper.size(), c.text.size());
    }
    // A character of the page never turns into "?" by upper-casing.
    for (int code = 0x20; code < 0x100; ++code) {
        const QChar ch = CodePage::AnsiChar(static_cast<unsigned char>(code));
        EXPECT_GE(CodePage::AnsiCode(UpperCase(QString(ch)).at(0)), 0) << "byte " << code;
    }
}

TEST(RecordFormatTest, DelimitersAndHeaderLine) {
    ExportSetting setting;
    EXPECT_EQ(Delimited("O\"Brien, Jr", setting), "\"O\"Brien, Jr\"");
    setting.SetDelimiter(1);
    EXPECT_EQ(Delimited("O'Brien", setting), "'O'Brien'");
    EXPECT_EQ(Delimited("", setting), "''");

    struct Case {
        int separator;
        int delimiter;
        bool useDelimiter;
        QStringList names;
        QString expected;
    };
    const Case cases[] = {
        {0, 0, true, {"Name", "Qty"}, "\"Name\",\"Qty\""},
        {1, 1, true, {"a b", "ß"}, "'a b';'ß'"},
        {3, 2, false, {"x", "y", "z"}, "x\ty\tz"},
        {2, 0, false, {"x", "y"}, "x y"},
        {0, 0, true, {"one"}, "\"one\""},
        {0, 0, true, {}, ""},
        {0, 0, true, {"lower"}, "\"lower\""},  // never upper-cased or converted
    };
    for (const Case& c : cases) {
        ExportSetting s;
        s.SetSeparator(c.separator);
        s.SetDelimiter(c.delimiter);
        s.UseDelimiter = c.useDelimiter;
        s.Upper = s.OemConvert = true;
        EXPECT_EQ(HeaderLine(c.names, s), c.expected);
    }
}

TEST(ValueClassTest, ClassesByTypeCode) {
    for (short code = -2; code < 40; ++code) {
        ValueClass expected = ValueClass::NoValue;
        if (code == 10 || code == 12) expected = ValueClass::Text;
        if ((code >= 1 && code <= 8) || code == 15 || (code >= 18 && code <= 23))
            expected = ValueClass::Scalar;
        EXPECT_EQ(ValueClassOf(code), expected) << "type " << code;
    }
    for (int kind : {-1, 0, 1, 2, 3}) EXPECT_TRUE(IsTextKind(kind));
    for (int kind : {4, 15, 22}) EXPECT_FALSE(IsTextKind(kind));
}

}  // namespace
}  // namespace morvane
