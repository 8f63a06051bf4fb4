// SqliteRecordset: a recordset on a table or view of a native database. It keeps one
// running "SELECT" statement as its cursor and copies the current row into its fields, so
// memory does not grow with the table. Moving forward steps the cursor; jumping (MoveLast,
// Move back, MoveFirst after reading) re-runs the statement with an OFFSET; counting runs
// "SELECT count(*)". Rows come in the table's storage order (rowid order).
#pragma once

#include "export/data/sqlite/SqliteCursorRecordset.h"

#include <QString>
#include <memory>

namespace morvane {

class SqliteDatabase;

class SqliteRecordset : public SqliteCursorRecordset {
  public:
    SqliteRecordset(const std::shared_ptr<SqliteDatabase>& database, const QString& source,
                    bool isTable, short type, bool updatable);
    ~SqliteRecordset() override;

  protected:
    bool doSeek(qint64 index) override;
    qint64 doCount() override;
    void doInsert() override;
    void doClose() override;

  private:
    void DefineFields(bool isTable);
    void Release();

    QString source_;
    QString from_;  //!< "FROM "source""
    SqliteStatement count_;
    SqliteStatement insert_;
};

}  // namespace morvane
