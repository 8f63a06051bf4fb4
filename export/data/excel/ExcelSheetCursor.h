// ExcelSheetCursor: the value cells of one sheet, in the order the sheet stream holds them
// (row by row in every file seen), read record by record so that memory stays flat. RK,
// MULRK, NUMBER, LABEL, RSTRING, LABELSST, BOOLERR and FORMULA (its cached result, with the
// STRING record that follows a text result) give cells; BLANK and MULBLANK give none.
// Embedded chart substreams are skipped. A sheet whose stream ends before its EOF record,
// or a record too short for its kind, raises 3049 naming the file.
#pragma once

#include "export/data/excel/ExcelFile.h"

#include <deque>

namespace morvane {

struct ExcelCell {
    enum Kind : quint8 { Number, Text, Boolean, Error };
    quint32 Row = 0;
    quint16 Column = 0;
    Kind Type = Number;
    CellStyle Style = CellStyle::General;
    bool Bold = false;
    double Value = 0;  //!< Number: the number; Boolean: 1 or 0
    QString String;    //!< Text
};

class ExcelSheetCursor {
  public:
    ExcelSheetCursor(std::shared_ptr<const ExcelFile> file, qint64 offset);

    //! The next value cell; false at the end of the sheet.
    bool Next(ExcelCell& cell);
    //! Back to the sheet's first cell.
    void Restart();
    const ExcelFile& File() const { return *file_; }

  private:
    //! Reads records until at least one cell is queued or the sheet ends.
    bool Fill();
    void Queue(const QByteArray& data, int column, ExcelCell::Kind kind, double value,
               QString text = QString());
    [[noreturn]] void Short() const;

    std::shared_ptr<const ExcelFile> file_;
    std::unique_ptr<BiffRecordReader> reader_;
    qint64 offset_;
    bool ended_ = false;
    int depth_ = 0;
    std::deque<ExcelCell> queue_;
    bool formulaText_ = false;  //!< the last queued cell waits for its STRING record
};

}  // namespace morvane
