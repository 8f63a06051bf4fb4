// OdbcStatementDestination: rows of an ODBC table, one "INSERT INTO" per record.
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
// Each record's statement is passed straight through (Execute with 64) by its EndRecord,
// in transactions of kBatchRows, committed when full, on Flush and Close; a stop (Abandon)
// commits what was reported as exported.
//
// Held records (AllowHeldRecords, for a run that calls StoreHeldRecords after its last
// record): the statement is prepared once with a "?" for each value (ParameterRows) and
// the records go as parameter arrays of kArrayRows, many rows per round trip, each value
// sent as its literal's bare text and kind, so that the data source converts it as it
// would the literal. A record whose statement cannot be written that way (a scalar text
// the host changed is SQL text, not a value; another field list) goes as its own literal
// statement, after the rows before it; so does every record where the data source cannot
// prepare the statement. A held record is stored when its array runs: at a later
// record's EndRecord, at StoreHeldRecords, Flush, Close or Abandon. An array runs in a
// transaction of its own; when it fails, it is rolled back and its records run again one
// at a time, so that the failure raised is the failing record's own, with the data
// source's message, the records before it are stored (committed by Flush, Close or
// Abandon) and none after it.
#pragma once

#include "export/engine/ExportDestination.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace morvane {

class Database;
class ParameterRows;

class OdbcStatementDestination : public TableDestination {
  public:
    static constexpr int kBatchRows = 2000;
    static constexpr int kArrayRows = 1000;

    OdbcStatementDestination(std::shared_ptr<Database> database, const QString& tableName);
    ~OdbcStatementDestination() override;

    void BeginRecord() override;
    void Deliver(const FieldDelivery& value) override;
    void EndRecord() override;
    void DiscardRecord() noexcept override;
    bool StoresAtFieldStage() const override { return true; }
    void AllowHeldRecords() override;
    void StoreHeldRecords() override;

    void Flush() override;
    void Close() override;
    void Abandon() noexcept override;

    //! The literal statement of the record delivered so far.
    QString Statement() const;

  private:
    //! One delivered value: how it goes into the statement.
    enum class ItemKind : char { Null, Text, Typed, HostText };
    struct Item {
        int position = 0;
        const QString* name = nullptr;
        short type = 0;
        ItemKind kind = ItemKind::Null;
        QString text;    //!< Text and HostText
        QVariant value;  //!< Typed
    };

    bool Prepared();
    bool FitsPrepared() const;
    void StageRecord();
    void RunPending();
    void RunOneByOne();
    void RunLiteral();
    void Begin();
    void Commit();

    std::shared_ptr<Database> database_;
    QString table_;
    std::vector<Item> items_;  //!< the record's values; reused, items_[0, count_) are live
    size_t count_ = 0;
    std::vector<int> preparedPositions_;  //!< the field positions of the prepared statement
    std::unique_ptr<ParameterRows> rows_;
    bool holdRecords_ = false;
    bool prepareTried_ = false;
    bool inTransaction_ = false;
    int pendingRows_ = 0;  //!< rows in the open transaction
};

}  // namespace morvane
