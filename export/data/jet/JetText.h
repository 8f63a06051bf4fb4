// JetText: the text encodings of Jet files, decoded here rather than through libmdb's
// iconv set-up, which depends on environment variables and converts into a fixed-size
// buffer.
//
//   Jet 3   one byte per character in the database's code page (header offset 0x3C)
//   Jet 4   UCS-2 little-endian, or "compressed": the bytes FF FE, then runs of one byte
//           per character (the high byte is 0) switched to and from two-byte runs by a
//           single 00 byte
#pragma once

#include <QByteArray>
#include <QString>

namespace morvane {

class JetText {
  public:
    //! Decodes a Text or Memo value as stored by a file of `version` (0 Jet 3, else Jet 4).
    static QString Decode(const char* bytes, int size, int version, int codePage);
    //! Jet 4 text: UCS-2, compressed or not. An odd trailing byte is dropped.
    static QString DecodeUcs2(const QByteArray& bytes);
    //! Jet 3 text in `codePage` (Windows code pages and IBM 437/850; others as 1252).
    static QString DecodeCodePage(const QByteArray& bytes, int codePage);
    static QByteArray EncodeCodePage(const QString& text, int codePage);
    static QByteArray EncodeUcs2(const QString& text);
};

}  // namespace morvane
