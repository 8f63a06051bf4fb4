// SqliteRecordset: a recordset on a table or view of a native database. It keeps one
// running "SELECT" statement as its cursor and copies the current row into its fields, so
// memory does not grow with the table. Moving forward steps the cursor; jumping (MoveLast,
// Move back, MoveFirst after reading) re-runs the statement with an OFFSET; counting runs
// "SELECT count(*)". Rows come in the table's storage order (rowid order).
#pragma once

#include "export/data/Recordset.h"
#include "export/data/sqlite/SqliteStatement.h"

#include <QString>
#include <memory>

namespace morvane {

class SqliteDatabase;

class SqliteRecordset : public Recordset {
  public:
    SqliteRecordset(const std::shared_ptr<SqliteDatabase>& database, const QString& source,
                    bool isTable, short type, bool updatable);
    ~SqliteRecordset() override;

    //! Releases the cursor; the next move re-runs the statement at the current record.
    void Park();

  protected:
    bool doSeek(qint64 index) override;
    bool doNext() override;
    qint64 doCount() override;
    void doInsert() override;
    void doClose() override;

  private:
    void DefineFields(bool isTable);
    bool LoadRow();
    void Release();

    SqliteDatabase& database_;
    QString source_;
    QString from_;  //!< "FROM "source""
    SqliteStatement cursor_;
    SqliteStatement count_;
    SqliteStatement insert_;
    qint64 index_ = -1;   //!< index of the row the cursor stands on
    bool parked_ = true;  //!< the cursor is not running
    std::vector<short> types_;
};

}  // namespace morvane
