// LotusSheet: one worksheet file (WK1 or WK3) opened for reading: the database of the
// "Lotus WK1" and "Lotus WK3" drivers is the file and its table the file's one sheet. The
// first row holding a cell gives the field names, every following row is a record (empty
// rows between records are records of Nulls, empty rows at the end are none).
//
// Opening maps the file read-only and walks its records once, checking every length and
// cell position against the file (LotusFormat.h draws the layout). It keeps an index of
// 8 bytes per cell (offset, row, column) and one entry per row, so memory is bounded by the
// format's 8,192 x 256 cells whatever order the cells come in; values are decoded only for
// the record asked for. The file is never written through this object.
//
// Field types come from the first kTypeRows records: a column of numbers is 7 Double, one
// of numbers shown with a date or time format (WK1) is 8 Date/Time, anything else 10 Text
// of 255. Worksheets have no Boolean cells (Booleans are written as 1 and 0).
//
// Usage:
//   auto sheet = LotusSheet::Open(path);
//   std::vector<QVariant> values;
//   for (qint64 i = 0; i < sheet->RecordCount(); ++i) sheet->ReadRecord(i, values);
#pragma once

#include "export/data/lotus/LotusFormat.h"

#include <QFile>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace morvane {

struct LotusColumn {
    QString Name;
    short Type = 10;
    int Size = 255;
};

class LotusSheet {
  public:
    static constexpr int kTypeRows = 8;

    //! Opens the existing file `path`. Raises 3051 when it cannot be read, 3343 when it is
    //! not a worksheet file, 3049 naming the damage when a record or cell is out of bounds.
    static std::shared_ptr<LotusSheet> Open(const QString& path);

    LotusVersion Version() const { return version_; }
    const QString& Path() const { return path_; }
    const std::vector<LotusColumn>& Columns() const { return columns_; }
    qint64 RecordCount() const { return recordCount_; }
    //! Values of record `index` (0-based, REQUIRES: below RecordCount()), converted to the
    //! column types; a cell that does not fit its column's type is read as its text.
    void ReadRecord(qint64 index, std::vector<QVariant>& values) const;

    // For appending to the file (LotusSheetWriter::Continue).
    const uchar* Bytes() const { return data_; }
    //! Where the end-of-file record starts.
    qint64 EndOffset() const { return endOffset_; }
    //! Offset of the WK1 RANGE record's body, -1 when the file has none.
    qint64 RangeOffset() const { return rangeOffset_; }
    int FirstColumn() const { return firstColumn_; }
    //! The sheet row the next record goes to.
    int NextRow() const { return nextRow_; }

  private:
    struct Cell {
        quint32 Offset;  //!< of the record's header
        quint16 Row;
        quint8 Column;
        quint8 Unused;
    };
    struct Value {
        enum Kind { None, NumberKind, DateKind, TextKind } Is = None;
        double Number = 0;
        bool Time = false;
        QString Text;
    };

    LotusSheet() = default;
    void Scan();
    void Index();
    void TypeColumns();
    Value Decode(const Cell& cell) const;
    [[noreturn]] void Damaged(const QString& what) const;

    QString path_;
    QFile file_;
    const uchar* data_ = nullptr;
    qint64 size_ = 0;
    LotusVersion version_ = LotusVersion::Wk1;
    std::vector<Cell> cells_;
    std::vector<quint32> rowStart_;  //!< first cell of each row from the header row on
    int headerRow_ = 0;
    int firstColumn_ = 0;
    qint64 recordCount_ = 0;
    qint64 endOffset_ = 0;
    qint64 rangeOffset_ = -1;
    int nextRow_ = 1;
    std::vector<LotusColumn> columns_;
};

}  // namespace morvane
