// SqliteCursorRecordset: what the table and the query recordsets of a native database share.
// One running statement is the cursor and only the current row is held in the fields, so
// memory does not grow with the source. Moving forward steps the cursor; a recordset can be
// parked (its cursor released) before the database changes its schema, and picks up again
// at its current record on the next move. Subclasses say how to run the statement at a
// given record (doSeek) and how to count.
#pragma once

#include "export/data/Recordset.h"
#include "export/data/sqlite/SqliteStatement.h"

#include <memory>
#include <vector>

namespace morvane {

class SqliteDatabase;

class SqliteCursorRecordset : public Recordset {
  public:
    ~SqliteCursorRecordset() override;

    //! Releases the cursor; the next move re-runs the statement at the current record.
    void Park();

  protected:
    //! Registers with the database, which parks the recordset before schema changes.
    SqliteCursorRecordset(const std::shared_ptr<SqliteDatabase>& database, short type,
                          bool updatable);

    bool doNext() override;
    //! Copies the cursor's current row into the fields.
    bool LoadRow();

    SqliteDatabase& database_;
    SqliteStatement cursor_;
    qint64 index_ = -1;         //!< index of the row the cursor stands on
    bool parked_ = true;        //!< the cursor is not running
    std::vector<short> types_;  //!< the type code of each column
};

}  // namespace morvane
