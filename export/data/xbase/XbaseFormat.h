// XbaseFormat: the table file (.dbf) of the xBase family as this driver reads and writes it.
//
//   offset  size  header (32 bytes)
//   0       1     version: 0x03 no memo, 0x83 dBASE III memo (.dbt), 0x8B dBASE IV memo
//                 (.dbt with block headers), 0x05 / 0x8D dBASE 5, 0xF5 FoxPro 2.x memo
//                 (.fpt), 0x30 FoxPro 3.0 (.fpt when the table flags say so); read also:
//                 0x02, 0x43, 0x63, 0x7B, 0xCB, 0xFB, 0x31, 0x32
//   1       3     date of the last update: year - 1900, month, day
//   4       4     record count (little endian)
//   8       2     header length: where the first record starts
//   10      2     record length, the deletion flag included
//   12      16    reserved (zero)
//   28      1     table flags (FoxPro 3.0: 0x02 the table has a memo file)
//   29      1     language driver: the code page (XbaseCodePage)
//   30      2     reserved
//   32      32*n  field descriptors:
//                   0  11  name, ASCII, NUL-padded (at most 10 characters)
//                   11  1  type: C N F D L M (all); B G P (binary memos); FoxPro 3.0 also
//                          Y currency, T date-time, I integer, B double, 0 null flags
//                   12  4  offset of the field in the record (FoxPro 3.0; 0 elsewhere)
//                   16  1  length in bytes
//                   17  1  decimals
//                   18  1  field flags (FoxPro 3.0: 0x01 system, 0x02 may be Null,
//                          0x04 binary)
//                   19 13  reserved
//   32+32n  1     0x0D, the end of the descriptors
//   FoxPro 3.0: 263 bytes of database backlink (zero: a free table)
//   header length  records: one flag byte (' ' live, '*' deleted), then each field's bytes
//   end     1     0x1A end of file
//
// Values in a record: C text padded with blanks; N and F right-aligned decimal text, blanks
// for Null; D "YYYYMMDD", blanks for Null; L 'T' / 'F', blank for Null; M B G P the memo's
// block number, ten digits right-aligned (FoxPro 3.0: 4 bytes little endian), blank or 0
// for none; FoxPro 3.0 binary values little endian: I 32-bit integer, Y 64-bit integer of
// 1/10000ths, B double, T Julian day and milliseconds since midnight (two 32-bit numbers).
// A FoxPro 3.0 field that may be Null has a bit in the hidden "_NullFlags" field ('0'):
// bit k of it (k counting those fields in order) set means Null.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace morvane {

//! The versions this driver writes, one per type specifier.
enum class XbaseVersion { Dbase3, Dbase4, Dbase5, FoxPro2, FoxPro3 };

//! The memo file layouts.
enum class XbaseMemoKind {
    None,
    Dbase3,  //!< .dbt, 512-byte blocks, text ended by 0x1A 0x1A
    Dbase4,  //!< .dbt, blocks start FF FF 08 00 and the length (header included)
    FoxPro,  //!< .fpt, big-endian block size in the header, blocks start type and length
};

struct XbaseFieldDescriptor {
    QString name;
    char type = 'C';
    int length = 0;
    int decimals = 0;
    quint8 flags = 0;
    int offset = 0;       //!< in the record, the flag byte being offset 0
    int nullBit = -1;     //!< bit of _NullFlags telling Null, -1 when none
    bool hidden = false;  //!< the _NullFlags field itself
};

struct XbaseHeader {
    quint8 version = 0x03;
    QDate lastUpdate;
    quint32 recordCount = 0;
    int headerLength = 0;
    int recordLength = 0;
    quint8 tableFlags = 0;
    quint8 languageDriver = 0;
    std::vector<XbaseFieldDescriptor> fields;  //!< the hidden _NullFlags field included
    int nullFlagsField = -1;                   //!< its index in fields, -1 when none

    //! True for the FoxPro 3.0 family (binary memo pointers, I Y T B fields).
    bool IsVisualFoxPro() const { return version == 0x30 || version == 0x31 || version == 0x32; }
    XbaseMemoKind MemoKind() const;
    bool HasMemoFields() const;
};

//! The memo file extension of a memo kind (".dbt", ".fpt"; empty for None).
QString MemoExtension(XbaseMemoKind kind);

//! Reads the header of the table file `path` from its first bytes. `bytes` holds at least
//! the whole header when the file has one (the caller reads up to kMaxXbaseHeaderBytes);
//! `fileSize` is the size of the file. Raises 3343 for a file that is no xBase
//! table (or a version this driver does not read) and 3049 for a damaged header (a
//! descriptor of unknown type or zero length, lengths that do not add up, a record count
//! the file is too short for), each naming the file.
XbaseHeader ParseXbaseHeader(const QByteArray& bytes, qint64 fileSize, const QString& path);

//! The header bytes of `header` (its fields, version, count, flags; lengths computed).
QByteArray BuildXbaseHeader(const XbaseHeader& header);

//! The most bytes ParseXbaseHeader needs.
constexpr int kMaxXbaseHeaderBytes = 32 + 32 * 2048 + 1 + 263;

}  // namespace morvane
