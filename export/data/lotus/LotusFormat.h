// LotusFormat: the byte layout of the two Lotus 1-2-3 worksheet files this engine reads and
// writes, and the conversions of their values. Hand-written from the published worksheet
// file format descriptions (no library on Debian reads or writes these files); text goes
// through the system's ICU converter "LMBCS-1" (Lotus Multi-Byte Character Set, group 1).
//
// Both files are a sequence of records, every number little-endian:
//
//   +0  u16 record type   +2  u16 body length n   +4  n bytes of body
//
// WK1 (1-2-3 Release 2), as written here:
//
//   BOF      00 00 | 02 00 | 06 04                      revision 0x0406
//   RANGE    06 00 | 08 00 | c0 r0 c1 r1 (u16 each)     the used range, patched on finish
//   COLW1    08 00 | 03 00 | col u16, width u8          one per column (characters)
//   LABEL    0F 00 | n     | fmt u8, col u16, row u16, prefix ' " ^ \, text, NUL
//   NUMBER   0E 00 | 0D 00 | fmt u8, col u16, row u16, IEEE double
//   EOF      01 00 | 00 00
//
//   also read: BLANK 0C (fmt, col, row), INTEGER 0D (fmt, col, row, i16), FORMULA 10
//   (fmt, col, row, double value, formula), STRING 33 (the text value of the formula
//   before it, laid out like LABEL). fmt: bit 7 protected, bits 6-4 kind (7 = special),
//   bits 3-0 decimals or the special format (2-4, 9, 10 dates, 7, 8, 11, 12 times).
//
// WK3 (1-2-3 Release 3), as written here:
//
//   BOF      00 00 | 1A 00 | 00 10 (revision 0x1000), 04 00, 4 x 00, last row u16,
//                            sheets u8, last col u8, 4 x 00, LMBCS group u8 (01), 02,
//                            8 x 00                     last row/col patched on finish
//   COLW     07 00 | n     | sheet u8, 3 x 00, then (col u8, width u8) pairs
//   LABEL    16 00 | n     | row u16, sheet u8, col u8, prefix, text, NUL
//   NUMBER   17 00 | 0E 00 | row u16, sheet u8, col u8, 10-byte extended float
//   EOF      01 00 | 00 00
//
//   also read: SMALLNUM 18 (row, sheet, col, packed i16), FORMULA 19 (row, sheet, col,
//   10-byte value, formula), FORMULASTRING 1A (row, sheet, col, text), NUMBER 27
//   (row, sheet, col, IEEE double), ERR 14 and NA 15 (Null). Only sheet 0 is read.
//
// Any other record type is skipped: worksheet files carry many settings records this
// engine has no use for.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QtGlobal>

namespace morvane {

enum class LotusVersion { Wk1, Wk3 };

namespace LotusRecord {
constexpr quint16 Bof = 0x00, Eof = 0x01, Range = 0x06, ColumnWidth3 = 0x07, ColumnWidth1 = 0x08,
                  Blank = 0x0C, Integer = 0x0D, Number = 0x0E, Label = 0x0F, Formula = 0x10,
                  FormulaString1 = 0x33, ErrorCell3 = 0x14, NaCell3 = 0x15, Label3 = 0x16,
                  Number3 = 0x17, SmallNumber3 = 0x18, Formula3 = 0x19, FormulaString3 = 0x1A,
                  Double3 = 0x27;
}  // namespace LotusRecord

namespace LotusLimits {
//! Rows of one worksheet in both formats (the field names take the first).
constexpr int Rows = 8192;
constexpr int Columns = 256;
//! Widest column written, in characters.
constexpr int ColumnWidthCap = 40;
}  // namespace LotusLimits

namespace LotusCode {
constexpr quint16 Wk1Revision = 0x0406, Wk3Revision = 0x1000;
//! WK1 format bytes written: unprotected, special kind, general / D4 date / D8 time.
constexpr quint8 General = 0x71, Date = 0x79, Time = 0x7B;
}  // namespace LotusCode

//! "Lotus WK1" / "Lotus WK3".
QString LotusTypeName(LotusVersion version);

inline quint16 LotusU16(const uchar* p) {
    return static_cast<quint16>(p[0] | (p[1] << 8));
}
void LotusPutU16(QByteArray& out, quint16 value);
void LotusPatchU16(QByteArray& out, int offset, quint16 value);

//! The 10-byte extended float of WK3 numbers.
QByteArray LotusEncodeExtended(double value);
double LotusDecodeExtended(const uchar* p);
//! A WK3 SMALLNUM's value.
double LotusDecodeSmallNumber(qint16 packed);

//! A date, time or date-time as a worksheet serial number (days since 1899-12-30, with the
//! worksheet calendar's 29 February 1900 kept). False for dates before 1900-01-01.
bool LotusSerialOf(const QVariant& value, double& serial);
//! The value of a serial number shown with a date (`time` false) or time format.
QVariant LotusDateOf(double serial, bool time);
//! True for a WK1 format byte that shows a date; `time` is set for time formats.
bool LotusIsDateFormat(quint8 format, bool& time);

//! Text in LMBCS group 1 (characters outside the group take their group prefix); NUL
//! characters are dropped.
QByteArray LotusEncodeText(const QString& text);
QString LotusDecodeText(const char* data, int size);

}  // namespace morvane
