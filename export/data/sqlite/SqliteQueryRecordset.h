// SqliteQueryRecordset: the read-only snapshot of a stored query of a native database: the
// records its SQL text returns with its parameters bound. Like the table recordsets it
// streams: one running statement is the cursor and only the current row is held. Moving
// forward steps the cursor; moving back re-runs the statement and steps to the record;
// counting runs a second copy of the statement to its end (a query's rows cannot be
// counted without running it). Parameter values are taken when the recordset opens.
//
// The text must be one statement that only reads (SELECT, WITH ... SELECT, VALUES);
// anything else raises 3219, so opening a query never changes the database.
#pragma once

#include "export/data/Parameters.h"
#include "export/data/sqlite/SqliteCursorRecordset.h"

#include <QString>
#include <memory>
#include <vector>

namespace morvane {

class SqliteDatabase;

class SqliteQueryRecordset : public SqliteCursorRecordset {
  public:
    SqliteQueryRecordset(const std::shared_ptr<SqliteDatabase>& database, const QString& sql,
                         const Parameters& parameters);
    ~SqliteQueryRecordset() override;

  protected:
    bool doSeek(qint64 index) override;
    qint64 doCount() override;
    void doInsert() override;
    void doClose() override;

  private:
    SqliteStatement Prepare() const;
    void DefineFields(const SqliteStatement& statement);

    QString sql_;
    morvane::Parameters parameters_;
};

}  // namespace morvane
