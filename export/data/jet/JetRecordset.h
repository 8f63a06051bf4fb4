// JetRecordset: the records of a Jet table, or of a select query run by libmdb's SQL
// engine, read through a JetCursor: only the current record is held, so memory stays flat
// whatever the table's size. Moving backwards or seeking restarts the cursor and walks
// forward; MoveLast counts the rows in one pass. Read-only: AddNew raises 3027.
#pragma once

#include "export/data/Recordset.h"
#include "export/data/jet/JetCursor.h"

#include <functional>
#include <memory>
#include <vector>

namespace morvane {

class JetRecordset : public Recordset {
  public:
    //! Reads `columns` (cursor column ordinals, in field order) through `cursor`;
    //! `release` runs when the recordset closes, after the cursor is gone.
    JetRecordset(std::shared_ptr<Database> database, std::unique_ptr<JetCursor> cursor,
                 std::vector<int> columns, short type, std::function<void()> release = {});
    ~JetRecordset() override;

  protected:
    bool doSeek(qint64 index) override;
    bool doNext() override;
    qint64 doCount() override;
    void doInsert() override;
    void doClose() override;

  private:
    void Load();

    std::unique_ptr<JetCursor> cursor_;
    std::vector<int> columns_;
    std::function<void()> release_;
    qint64 position_ = -1;  //!< index of the row the cursor stands on; -1 before the first
};

}  // namespace morvane
