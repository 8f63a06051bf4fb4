// ExcelRecordset: the records of one sheet (ExcelSheetLayout), streamed through an
// ExcelSheetCursor: only the current row's cells are held. Moving back restarts the cursor
// and walks forward; RecordCount takes one counting pass. AddNew/Update hand the row to the
// database's workbook model; the recordset reads the file again (written anew) on its next
// move, at the same record.
#pragma once

#include "export/data/Recordset.h"
#include "export/data/excel/ExcelSheetLayout.h"

namespace morvane {

class ExcelDatabase;

class ExcelRecordset : public Recordset {
  public:
    ExcelRecordset(std::shared_ptr<ExcelDatabase> database, QString sheet, short type,
                   bool updatable);

    bool AppendsFromAnyThread() const override { return true; }

  protected:
    bool doSeek(qint64 index) override;
    bool doNext() override;
    qint64 doCount() override;
    void doInsert() override;
    void doClose() override;
    qint64 doChangeStamp() override;

  private:
    //! Opens the file as it is now when it was written since; true when it did.
    bool Refresh();
    void Reopen();
    //! Reads forward to record `index`; false when there is none.
    bool LoadAt(qint64 index);

    ExcelDatabase* database_;
    QString sheet_;
    std::shared_ptr<const ExcelFile> file_;
    std::unique_ptr<ExcelSheetCursor> cursor_;
    qint64 offset_ = 0;
    qint64 headerRow_ = -1;
    qint64 stamp_ = -1;
    qint64 position_ = -1;  //!< the record the fields hold; -1 before the first
    bool pending_ = false;  //!< cell_ was read ahead and belongs to a later row
    ExcelCell cell_;
    qint64 lastRow_ = 0;
};

}  // namespace morvane
