// ExcelCodePage: the single-byte text of BIFF3 to BIFF5 files. Written text is always
// Windows-1252 (the CODEPAGE record says 1252); read text is decoded in the page the file's
// CODEPAGE record names (1252 when it has none; 1200 and 65001-style values fall back to
// Windows-1252, the other Windows and DOS pages go through iconv "CPnnnn"). The tables are
// built once per page from the C library's iconv, so no mapping is written by hand here.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace morvane {

class ExcelCodePage {
  public:
    //! The characters of `bytes` in code page `codePage`; undefined bytes decode to the
    //! character of the same code, so decoding never fails.
    static QString Decode(const char* bytes, int size, int codePage);
    //! Windows-1252 bytes of text; a character the page lacks becomes '?'.
    static QByteArray Encode1252(QStringView text);
};

}  // namespace morvane
