// ParameterRows: one SQL statement with "?" parameter markers, prepared once on a data
// source and run for many rows of values. Rows are collected on the client and sent
// together as one parameter array per Execute where the data source takes arrays, so that
// many rows share one round trip and the statement is parsed once; a data source that
// takes no arrays, or has no transactions to undo a failed array with, gets one row per
// Execute (Capacity() 1).
//
// The values of the next row are staged (SetNull, SetText, SetValue) and AddRow moves them
// to the pending rows. A value goes as text in the form the data source reads for its
// kind: numbers with "." (declared as numeric), dates and times in ISO form (declared as
// date, time or timestamp), everything else as character data, so that the data source
// converts each value to its column's type as it converts the literals of OdbcLiteral.
//
// Usage:
//   auto rows = PrepareParameterRows(db, "INSERT INTO t(a,b) VALUES (?,?)", 2, 1000);
//   if (!rows) ...;                       // not a data source of the ODBC driver
//   rows->SetValue(0, QVariant(42), dbLong);
//   rows->SetText(1, QStringLiteral("O'Brien"));
//   if (!rows->AddRow()) { rows->Execute(); rows->AddRow(); }
//   ...
//   rows->Execute();
#pragma once

#include <QString>
#include <QVariant>
#include <memory>

namespace morvane {

class Database;

class ParameterRows {
  public:
    virtual ~ParameterRows();

    //! The most rows one Execute sends.
    virtual int Capacity() const = 0;
    virtual int PendingRows() const = 0;

    //! Stages parameter `parameter` (0-based) of the next row as Null.
    virtual void SetNull(int parameter) = 0;
    //! Stages character data.
    virtual void SetText(int parameter, const QString& text) = 0;
    //! Stages a value of an engine field of type `type` (as OdbcValueOf writes it).
    virtual void SetValue(int parameter, const QVariant& value, short type) = 0;
    //! Moves the staged values to the pending rows and clears them. False, the values
    //! staying staged, when the pending rows are full (Capacity, or the memory their
    //! buffers may take) or a value's kind differs from that parameter's pending values:
    //! Execute first. A row always joins when nothing is pending.
    virtual bool AddRow() = 0;

    //! Runs the pending rows; on success they are dropped. Raises the data source's error
    //! (3146) when any row fails, keeping them: which rows of a failed array were stored
    //! is the data source's affair (undo them with a rollback).
    virtual void Execute() = 0;
    //! Runs pending row `row` (0-based) alone; raises as Execute. The rows stay pending.
    virtual void ExecuteRow(int row) = 0;
    //! Drops the pending rows and the staged values.
    virtual void Clear() = 0;
};

//! Prepares `sql` with `parameters` markers on `database` for arrays of up to `capacity`
//! rows. Null when `database` is not one of the ODBC driver (or the driver is not built);
//! raises the data source's error when it refuses the statement.
std::unique_ptr<ParameterRows> PrepareParameterRows(const std::shared_ptr<Database>& database,
                                                    const QString& sql, int parameters,
                                                    int capacity);

}  // namespace morvane
