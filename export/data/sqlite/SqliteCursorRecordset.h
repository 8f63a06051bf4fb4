// SqliteCursorRecordset: what the table and the query recordsets of a native database share.
// One running statement is the cursor and only the current row is held, so memory does not
// grow with the source. Moving forward steps the cursor; a recordset can be parked (its
// cursor released) before the database changes its schema, and picks up again at its
// current record on the next move. Subclasses say how to run the statement at a given
// record (doSeek) and how to count.
//
// The current row's values are converted to field values only when a field's Value() is
// read (Field::DeferValue); ReadRaw hands out numbers and UTF-8 text straight from the
// statement. Before the cursor leaves a row (park, close, a new statement) the values read
// so far are kept and the rest converted; a step past the end leaves the fields Null.
#pragma once

#include "export/data/Recordset.h"
#include "export/data/sqlite/SqliteStatement.h"

#include <memory>
#include <vector>

namespace morvane {

class SqliteDatabase;

class SqliteCursorRecordset : public Recordset, private FieldValueSource {
  public:
    ~SqliteCursorRecordset() override;

    //! Releases the cursor; the next move re-runs the statement at the current record.
    void Park();

    void ReadRaw(int ordinal, RawValue& out) override;

  protected:
    //! Registers with the database, which parks the recordset before schema changes.
    SqliteCursorRecordset(const std::shared_ptr<SqliteDatabase>& database, short type,
                          bool updatable);

    bool doNext() override;
    qint64 doChangeStamp() override;
    //! Makes the cursor's current row the fields' values (converted on first use).
    bool LoadRow();
    //! Steps the cursor; at the end (or on failure) the fields become Null and the recordset
    //! is parked.
    bool StepCursor();
    //! Converts the values still deferred, before the cursor leaves its row.
    void KeepRowValues();

    SqliteDatabase& database_;
    SqliteStatement cursor_;
    qint64 index_ = -1;         //!< index of the row the cursor stands on
    bool parked_ = true;        //!< the cursor is not running
    std::vector<short> types_;  //!< the type code of each column

  private:
    QVariant DeferredValue(int column) const override;
    void ForgetRowValues();

    bool deferred_ = false;  //!< some fields still read from the cursor's row
};

}  // namespace morvane
