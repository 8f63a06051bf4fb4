// LotusSheetWriter: writes a worksheet file (WK1 or WK3; LotusFormat.h draws the layout)
// one record at a time. A new file gets the field names as its first row (as labels: the
// formats keep bold and other type styles in companion files, .FMT/.ALL for WK1 and .FM3
// for WK3, which other programs would not find, so the header is not bold) and one
// column width per field, fitted to the field's size and capped at 40 characters.
// Continuing an existing file copies its records and adds rows after its last one.
//
// The file is written through QSaveFile: until Finish the previous file (if any) stays
// as it was, and Finish patches the used range into the header and puts the new file in
// place at once. A record that would pass the format's 8,192 rows raises 3251 naming the
// limit and leaves what was written intact, so the file Finish puts in place is complete.
//
// Cells by value type: numbers (and Booleans as 1/0) as numbers, WK3 numbers as 10-byte
// extended floats; dates, times and date-times as serial numbers (WK1 with a date or time
// format); text, GUIDs and binary values (as 0x and hex digits) as left-aligned labels in
// LMBCS; Null as no cell.
//
// Usage:
//   auto writer = LotusSheetWriter::Create(path, LotusVersion::Wk1, columns);
//   writer->WriteRecord(values);
//   writer->Finish();
#pragma once

#include "export/data/lotus/LotusSheet.h"

#include <QSaveFile>
#include <memory>

namespace morvane {

class LotusSheetWriter {
  public:
    //! A new file at `path` holding the field names of `columns`. Raises 3251 for more
    //! than 256 columns, 3051 when the file cannot be made.
    static std::unique_ptr<LotusSheetWriter> Create(const QString& path, LotusVersion version,
                                                    const std::vector<LotusColumn>& columns);
    //! The file of `sheet` with rows to be added after its last one.
    static std::unique_ptr<LotusSheetWriter> Continue(const LotusSheet& sheet);

    //! Writes one row; `values` in column order. Raises 3251 when the sheet is full, 3163
    //! when a text is longer than a label can hold.
    void WriteRecord(const std::vector<QVariant>& values, const std::vector<LotusColumn>& columns);
    //! Rows written by this writer.
    qint64 Written() const { return written_; }
    //! Puts the file in place. Raises 3026/3043 when it cannot be written.
    void Finish();
    //! Drops the file being written; the previous file stays.
    void Abandon();

  private:
    LotusSheetWriter(const QString& path, LotusVersion version);
    void Open();
    void Cell(int row, int column, const QVariant& value, const LotusColumn& definition);
    void Label(int row, int column, const QString& text, const LotusColumn& definition);
    void Number(int row, int column, double number, quint8 format);
    void Record(quint16 type, const QByteArray& body);
    void Flush();
    [[noreturn]] void Failed();

    QString path_;
    LotusVersion version_;
    QSaveFile file_;
    QByteArray buffer_;
    QByteArray body_;
    qint64 rangeOffset_ = -1;  //!< WK1: the RANGE body; WK3: the BOF body
    int firstColumn_ = 0;
    int lastColumn_ = 0;
    int nextRow_ = 0;
    qint64 written_ = 0;
};

}  // namespace morvane
