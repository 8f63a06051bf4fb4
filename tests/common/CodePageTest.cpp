#include "export/common/CodePage.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace morvane {
namespace {

// The character the C library's converter gives for one byte, or -1 when it has none.
int IconvDecode(const char* page, unsigned char byte) {
    iconv_t converter = iconv_open("UTF-16LE", page);
    if (converter == reinterpret_cast<iconv_t>(-1)) return -1;
    char input[1] = {static_cast<char>(byte)};
    char output[4];
    char* in = input;
    char* out = output;
    size_t inLeft = 1;
    size_t outLeft = sizeof(output);
    const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1) || outLeft != 2) return -1;
    return static_cast<unsigned char>(output[0]) | (static_cast<unsigned char>(output[1]) << 8);
}

TEST(CodePageTest, DefaultsAreWindows1252AndIbm437) {
    EXPECT_EQ(CodePage::AnsiCodePage(), "windows-1252");
    EXPECT_EQ(CodePage::OemCodePage(), "IBM437");
}

TEST(CodePageTest, AnsiEncodingOfKnownCharacters) {
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {QString::fromUtf8("é€ŠŸ"), "\xe9\x80\x8a\x9f"},
        {QString::fromUtf8("日本"), "??"},   // not in the page
        {QString::fromUtf8("a😀b"), "a??b"},  // one byte per UTF-16 unit
        {QString(QChar(0)), QByteArray(1, '\0')},
        {QString(), QByteArray()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodePage::EncodeAnsi(c.text), c.bytes) << c.text.toStdString();
        EXPECT_EQ(CodePage::EncodeAnsi(c.text).size(), c.text.size());
    }
    QByteArray buffer("x=");
    CodePage::AppendAnsi(buffer, QString::fromUtf8("ü!"));
    EXPECT_EQ(buffer, QByteArray("x=\xfc!"));
}

TEST(CodePageTest, EveryByteRoundTripsThroughTheAnsiPage) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) all.append(static_cast<char>(byte));
    const QString text = CodePage::DecodeAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(CodePage::EncodeAnsi(text), all);
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(text[undefined].unicode(), undefined);
}

TEST(CodePageTest, TablesAgreeWithTheCLibrary) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) all.append(static_cast<char>(byte));
    const QString ansi = CodePage::DecodeAnsi(all);
    const QString oem = CodePage::DecodeOem(all);
    for (int byte = 0; byte < 256; ++byte) {
        const int expectedAnsi = IconvDecode("windows-1252", static_cast<unsigned char>(byte));
        if (expectedAnsi >= 0) {
            EXPECT_EQ(ansi[byte].unicode(), expectedAnsi) << byte;
        }
        EXPECT_EQ(oem[byte].unicode(), IconvDecode("IBM437", static_cast<unsigned char>(byte)))
            << byte;
    }
    EXPECT_EQ(CodePage::EncodeOem(QString::fromUtf8("äöü É ñ µ ¥")),
              QByteArray("\x84\x94\x81 \x90 \xa4 \xe6 \x9d"));
}

TEST(CodePageTest, PagesCanBeChangedAndUnknownPagesAreRefused) {
    EXPECT_FALSE(CodePage::SetAnsiCodePage("no-such-page"));
    EXPECT_FALSE(CodePage::SetAnsiCodePage("UTF-8"));  // not a single-byte page
    EXPECT_EQ(CodePage::AnsiCodePage(), "windows-1252");
    ASSERT_TRUE(CodePage::SetOemCodePage("IBM850"));
    EXPECT_EQ(CodePage::EncodeOem(QString::fromUtf8("Ø")), QByteArray("\x9d"));
    ASSERT_TRUE(CodePage::SetAnsiCodePage("ISO-8859-15"));
    EXPECT_EQ(CodePage::EncodeAnsi(QString::fromUtf8("€")), QByteArray("\xa4"));
    ASSERT_TRUE(CodePage::SetAnsiCodePage("windows-1252"));
    ASSERT_TRUE(CodePage::SetOemCodePage("IBM437"));
    EXPECT_EQ(CodePage::EncodeAnsi(QString::fromUtf8("€")), QByteArray("\x80"));
}

}  // namespace
}  // namespace morvane
