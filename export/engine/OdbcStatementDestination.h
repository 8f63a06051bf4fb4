// OdbcStatementDestination: rows of an ODBC table, one "INSERT INTO" statement per record
// passed straight through to the data source (Execute with option 64).
//
// The statement is "INSERT INTO " table "(" field list ") VALUES (" value list ")", the
// lists joined with "," and no spaces. Corrections over a plain text join, each of which
// would otherwise make the data source refuse or corrupt rows:
//   - a Null value is NULL, never an empty item;
//   - a scalar whose text the host left alone is written as a typed literal (OdbcLiteral):
//     dates as ODBC escape clauses, numbers with "." whatever the regional setting,
//     Booleans as a literal a Boolean or integer column accepts; a scalar whose text the
//     host changed is written as the host left it (apostrophes doubled);
//   - text values (and char columns) are in apostrophes, apostrophes doubled;
//   - the table and field names are quoted with the data source's identifier quote.
// Fields of no value (binary) are left out of the statement; their columns stay Null.
//
// Rows go in transactions of kBatchRows, committed when full, on Flush and Close; a stop
// (Abandon) commits what was reported as exported.
#pragma once

#include "export/engine/ExportDestination.h"

#include <QStringList>
#include <memory>

namespace morvane {

class Database;

class OdbcStatementDestination : public TableDestination {
  public:
    static constexpr int kBatchRows = 2000;

    OdbcStatementDestination(std::shared_ptr<Database> database, const QString& tableName);
    ~OdbcStatementDestination() override;

    void BeginRecord() override;
    void Deliver(const FieldDelivery& value) override;
    void EndRecord() override;
    void DiscardRecord() noexcept override;
    bool StoresAtFieldStage() const override { return true; }

    void Flush() override;
    void Close() override;
    void Abandon() noexcept override;

    //! The statement of the record delivered so far (what EndRecord runs).
    QString Statement() const;

  private:
    void Commit();

    std::shared_ptr<Database> database_;
    QString table_;
    QString names_;
    QString values_;
    bool inTransaction_ = false;
    int pendingRows_ = 0;
};

}  // namespace morvane
