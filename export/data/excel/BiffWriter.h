// BiffWriter: writes an ExcelWorkbook as a file of its version, byte layout as BiffFormat.h
// draws it:
//
//   BIFF8 / BIFF5 (OLE2 compound file through libgsf, stream "Workbook" / "Book"):
//     BOF(globals) CODEPAGE(1200 / 1252) WINDOW1 DATEMODE(0) FONT x6 FORMAT x3 XF x20 STYLE
//     BOUNDSHEET x sheets  [BIFF8: SST + CONTINUE]  EOF
//     per sheet: BOF(sheet) COLINFO x columns DIMENSIONS cells WINDOW2 EOF
//   BIFF4 / BIFF3 (plain stream, one sheet):
//     BOF(sheet) CODEPAGE(1252) FONT x6 FORMAT x4 XF x20 COLINFO x columns DIMENSIONS cells
//     WINDOW2 EOF
//
// Fonts 0 to 3 are plain, the following ones bold (index 4 does not exist). XF 0 to 14 are
// style XFs, 15 the plain cell XF, 16 date ("yyyy-mm-dd"), 17 date-time
// ("yyyy-mm-dd hh:mm:ss"), 18 time ("hh:mm:ss"), 19 bold (the field-name row). Cells:
// NUMBER for numbers and dates, BOOLERR for Booleans, LABELSST (BIFF8) or LABEL in
// Windows-1252 (BIFF3 to BIFF5) for texts. The file is written under a temporary name in
// its folder and renamed over the old one once complete, so a failure leaves the old file.
#pragma once

#include "export/data/excel/ExcelWorkbook.h"

namespace morvane {

class BiffWriter {
  public:
    //! Writes `book` to `path`. Raises 3043 (or 3026) when the file cannot be written.
    static void Write(const ExcelWorkbook& book, const QString& path);
    //! The XF index of a spooled style.
    static int XfOf(SpoolStyle style) { return 15 + static_cast<int>(style); }
};

}  // namespace morvane
