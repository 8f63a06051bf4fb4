// ExcelFile: an existing workbook opened for reading. Open() finds the BIFF stream (the
// "Workbook" or "Book" stream of an OLE2 compound file through libgsf, or the file itself
// for BIFF3/BIFF4 worksheets), reads the workbook globals once (code page, date system,
// fonts, number formats, XF records, the sheet list and, in BIFF8, the shared string
// table) and hands out independent readers of the stream for the sheet cursors.
//
// Failures name the file: 3024 missing, 3051 not readable, 3343 not a workbook (or a
// version these drivers do not read), 3049 damaged (broken compound file, record past the
// end, string table index out of range, ...), 3251 encrypted (password-protected).
// Nothing is ever written through this class.
#pragma once

#include "export/data/excel/BiffFormat.h"
#include "export/data/excel/BiffRecordReader.h"

#include <QString>
#include <memory>
#include <vector>

namespace morvane {

//! What the number format of a cell makes of its number.
enum class CellStyle : quint8 { General = 0, Date = 1, DateTime = 2, Time = 3 };

//! The formatting of one XF record the drivers care about.
struct XfInfo {
    CellStyle Style = CellStyle::General;
    bool Bold = false;
};

struct ExcelSheetInfo {
    QString Name;
    qint64 Offset = 0;  //!< stream offset of the sheet's BOF record
};

class ExcelFile {
  public:
    //! Opens and reads the globals of `path`; a one-sheet file's sheet is named `oneSheetName`.
    static std::shared_ptr<ExcelFile> Open(const QString& path, const QString& oneSheetName);
    ~ExcelFile();

    Biff Version() const { return version_; }
    const QString& Path() const { return path_; }
    const std::vector<ExcelSheetInfo>& Sheets() const { return sheets_; }
    int CodePage() const { return codePage_; }
    bool Date1904() const { return date1904_; }

    //! A new reader of the workbook stream, at its start.
    std::unique_ptr<BiffRecordReader> OpenStream() const;
    //! Shared string `index`; raises 3049 naming the file when out of range.
    const QString& SharedString(quint32 index) const;
    //! The XF record `index` (General, not bold, when there is none).
    XfInfo Xf(int index) const;
    //! A text of the record `data` at `at` with a length field of `lengthBytes` (1 or 2):
    //! BIFF8 Unicode strings (flags byte, compressed or UTF-16), else code-page bytes.
    //! Advances `at`; raises 3049 when it runs past the record.
    QString ReadText(const QByteArray& data, int& at, int lengthBytes,
                     const BiffRecordReader& reader) const;

    //! The style a number format string gives (date, time, date-time or general).
    static CellStyle StyleOfFormat(const QString& format);

  private:
    ExcelFile() = default;
    void ReadGlobals(BiffRecordReader& reader, quint16 bofType, const QString& oneSheetName);
    void ReadSharedStrings(BiffRecordReader& reader);

    QString path_;
    GsfInput* stream_ = nullptr;
    Biff version_ = Biff::V8;
    int codePage_ = 1252;
    bool date1904_ = false;
    std::vector<ExcelSheetInfo> sheets_;
    std::vector<QString> strings_;
    std::vector<bool> fontBold_;            //!< by font index (index 4 does not exist in the file)
    std::vector<std::pair<int, int>> xfs_;  //!< font index and format index of each XF
    std::vector<std::pair<int, CellStyle>> formats_;  //!< format index and style
    std::vector<XfInfo> xfInfo_;
};

}  // namespace morvane
