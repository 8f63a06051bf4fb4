// ExcelWorkbook: the workbook being written. Each sheet keeps its cells in a spool file
// (16 bytes a cell, in the order they were added, row by row), so that memory stays flat
// however many rows are exported; only the distinct texts are held in memory, in the one
// string table (BIFF8 writes it as the shared string table, BIFF3 to BIFF5 write the texts
// in the cells). BiffWriter turns the whole workbook into a file; the driver writes it again
// after every change, after reading the sheets that were already there into the model.
#pragma once

#include <string>

#include "export/data/excel/BiffFormat.h"

#include <QHash>
#include <QString>
#include <QTemporaryFile>
#include <functional>
#include <memory>
#include <vector>

namespace morvane {

//! How a spooled cell is written.
enum class SpoolStyle : quint8 { General = 0, Date = 1, DateTime = 2, Time = 3, Bold = 4 };

struct SpooledCell {
    enum Kind : quint8 { Number = 0, Text = 1, Boolean = 2 };
    quint32 Row = 0;
    quint16 Column = 0;
    Kind Type = Number;
    SpoolStyle Style = SpoolStyle::General;
    double Value = 0;    //!< Number: the number; Boolean: 1 or 0
    quint32 String = 0;  //!< Text: index in the workbook's string table
};

//! The distinct texts of a workbook, by first use.
class ExcelStrings {
  public:
    quint32 Intern(const QString& text);
    const QString& At(quint32 index) const { return items_[index]; }
    quint32 Count() const { return static_cast<quint32>(items_.size()); }

  private:
    QHash<QString, quint32> index_;
    std::vector<QString> items_;
};

class ExcelSheetModel {
  public:
    explicit ExcelSheetModel(QString name);

    const QString& Name() const { return name_; }
    void Rename(const QString& name) { name_ = name; }
    //! Rows in use (the index of the next row to write).
    quint32 Rows() const { return rows_; }
    //! Columns in use.
    int Columns() const { return columns_; }
    //! Column widths in characters, by column (empty: none written).
    std::vector<int>& Widths() { return widths_; }
    const std::vector<int>& Widths() const { return widths_; }

    //! Adds a cell. REQUIRES: cells come row by row.
    void Add(const SpooledCell& cell, const ExcelStrings& strings);
    //! Marks `row` as used even when it holds no cell.
    void UseRow(quint32 row) { rows_ = std::max(rows_, row + 1); }
    //! Calls `visit` for every cell in the order added.
    void ForEach(const std::function<void(const SpooledCell&)>& visit) const;

    qint64 Cells(SpooledCell::Kind kind) const { return counts_[kind]; }
    //! The characters of all text cells (for the size of BIFF3 to BIFF5 label records).
    qint64 TextCharacters() const { return textCharacters_; }

  private:
    void FlushBuffer() const;

    QString name_;
    quint32 rows_ = 0;
    int columns_ = 0;
    std::vector<int> widths_;
    qint64 counts_[3] = {0, 0, 0};
    qint64 textCharacters_ = 0;
    mutable QTemporaryFile spool_;
    //! Cells not yet spooled. A std::string: appending 16 bytes to it costs a fraction of
    //! a QByteArray append, and every cell is appended.
    mutable std::string buffer_;
};

struct ExcelWorkbook {
    Biff Version = Biff::V8;
    std::vector<std::unique_ptr<ExcelSheetModel>> Sheets;
    ExcelStrings Strings;

    //! The sheet named `name` (any case), null when none.
    ExcelSheetModel* Find(const QString& name) const;
};

}  // namespace morvane
