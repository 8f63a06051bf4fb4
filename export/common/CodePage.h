// CodePage: the two single-byte character sets of the export control. Text output and the
// settings file are bytes of the ANSI code page ("windows-1252" by default); the OEM
// conversion of exported text uses the OEM code page ("IBM437" by default). Both are a
// setting of the library, changed only by SetAnsiCodePage / SetOemCodePage, never read
// from the environment.
//
// Rules: one byte per UTF-16 code unit, so byte counts equal QString::size(); a character
// the page lacks becomes "?". Decoding is total: a byte the page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D in windows-1252) decodes to the character of the same code
// (U+0081 ...) and encodes back to that byte, so every byte string survives a round trip.
//
// The conversion tables are built once per page from the C library's iconv (glibc), then
// every call is a table lookup. No mapping table is written by hand.
//
// Usage:
//   QByteArray bytes = CodePage::EncodeAnsi(text);
//   CodePage::AppendAnsi(buffer, value);        // fast path of the export run
//   QString oem = CodePage::DecodeAnsi(CodePage::EncodeOem(text));
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <array>

namespace morvane {

class CodePage {
  public:
    //! The ANSI page's bytes of text; unmappable characters become '?'.
    static QByteArray EncodeAnsi(QStringView text);
    //! Appends the ANSI page's bytes of text to out (no reallocation per character).
    static void AppendAnsi(QByteArray& out, QStringView text);
    //! The characters of ANSI bytes; total and reversible for all 256 byte values.
    static QString DecodeAnsi(QByteArrayView bytes);
    //! The ANSI page's byte of one character, or -1 when the page lacks it.
    static int AnsiCode(QChar ch);
    //! The character of one ANSI byte.
    static QChar AnsiChar(unsigned char code);

    //! The OEM page's bytes of text; unmappable characters become '?'.
    static QByteArray EncodeOem(QStringView text);
    //! The characters of OEM bytes.
    static QString DecodeOem(QByteArrayView bytes);

    //! Selects the ANSI / OEM page by its iconv name ("windows-1252", "IBM850", ...).
    //! Answers false and keeps the current page when the name is unknown or the page is
    //! not a single-byte page.
    static bool SetAnsiCodePage(const QString& name);
    static bool SetOemCodePage(const QString& name);
    static QString AnsiCodePage();

    //! The character of each byte of the single-byte code page `name` (an iconv name such as
    //! "CP850" or "WINDOWS-1252"), for readers and writers of files that declare their own
    //! page. A byte the page leaves undefined stands for the character of the same code, so
    //! decoding is total and reversible. False (and `decode` untouched) when the C library
    //! lacks the page or it is not single-byte.
    static bool ByteTable(const QString& name, std::array<char16_t, 256>& decode);
    static QString OemCodePage();
};

}  // namespace morvane
