// BiffFormat: the record numbers, versions and limits of the binary workbook formats the
// Excel drivers read and write, as the code uses them.
//
// A BIFF stream is a sequence of records, each
//
//   +0  u16 record number      +2  u16 length n of the data      +4  n bytes of data
//
// all little-endian. Data longer than the version's record limit (2,080 bytes up to BIFF5,
// 8,224 in BIFF8) goes on in CONTINUE records. Excel 3.0 and 4.0 files are one plain BIFF3 /
// BIFF4 worksheet stream: BOF, the formatting records (FONT, FORMAT, XF), DIMENSIONS, the
// cells, EOF. Excel 5.0 and 97 files are an OLE2 compound file (read and written through
// libgsf) whose stream "Book" (BIFF5) or "Workbook" (BIFF8) holds the workbook globals
// (BOF, CODEPAGE, FONT, FORMAT, XF, one BOUNDSHEET per sheet with the stream offset of its
// BOF, BIFF8: the shared string table SST, EOF), then one substream per sheet:
//
//   BOF(sheet)  DIMENSIONS  COLINFO...  cells (NUMBER, LABEL / LABELSST, BOOLERR, RK,
//   MULRK, FORMULA [+ STRING], BLANK, ...)  WINDOW2  EOF
//
// A cell record starts with u16 row, u16 column, u16 XF index; the XF names a FONT and a
// FORMAT, and a number is a date when its format is a date format. Dates are days since
// 1899-12-30 (DATEMODE 1: since 1904-01-01), the time of day the fraction.
#pragma once

#include <QString>
#include <QtGlobal>

namespace morvane {

//! The BIFF versions of the four Excel types.
enum class Biff { V3 = 3, V4 = 4, V5 = 5, V8 = 8 };

namespace biff {

enum Record : quint16 {
    Bof2 = 0x0009,
    Bof3 = 0x0209,
    Bof4 = 0x0409,
    Bof = 0x0809,
    Eof = 0x000A,
    Continue = 0x003C,
    CodePage = 0x0042,
    DateMode = 0x0022,
    FilePass = 0x002F,
    Font = 0x0031,
    Font34 = 0x0231,
    Format3 = 0x001E,
    Format = 0x041E,
    Xf3 = 0x0243,
    Xf4 = 0x0443,
    Xf = 0x00E0,
    Style = 0x0293,
    BoundSheet = 0x0085,
    Sst = 0x00FC,
    Window1 = 0x003D,
    Window2 = 0x023E,
    Dimensions = 0x0200,
    ColInfo = 0x007D,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Rk = 0x027E,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    LabelSst = 0x00FD,
    RString = 0x00D6,
    Formula = 0x0006,
    Formula3 = 0x0206,
    Formula4 = 0x0406,
    ShrFmla = 0x04BC,
};

//! BOF substream types.
enum SubstreamType : quint16 {
    Globals = 0x0005,
    Worksheet = 0x0010,
    Chart = 0x0020,
    MacroSheet = 0x0040,
    Workspace = 0x0100,
};

//! Rows of a sheet: 16,384 up to BIFF5, 65,536 in BIFF8; columns: 256.
inline int MaxRows(Biff version) {
    return version == Biff::V8 ? 65536 : 16384;
}
constexpr int MaxColumns = 256;

//! The most data bytes one record carries.
inline int MaxRecordData(Biff version) {
    return version == Biff::V8 ? 8224 : 2080;
}

//! The type specifier of a version ("Excel 97", ...), for messages.
inline QString TypeName(Biff version) {
    switch (version) {
        case Biff::V3:
            return QStringLiteral("Excel 3.0");
        case Biff::V4:
            return QStringLiteral("Excel 4.0");
        case Biff::V5:
            return QStringLiteral("Excel 5.0");
        case Biff::V8:
            break;
    }
    return QStringLiteral("Excel 97");
}

//! True for the one-sheet formats (BIFF3 and BIFF4 worksheet files).
inline bool OneSheet(Biff version) {
    return version == Biff::V3 || version == Biff::V4;
}

}  // namespace biff
}  // namespace morvane
