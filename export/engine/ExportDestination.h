// ExportDestination: where an export run puts its records. The run owns the stage markers,
// the error handling and "resume right after the failed operation"; a destination only does
// the operations, each of which either succeeds or raises.
//
// Three families:
//   TextFileDestination   the text kinds: the run formats whole records and writes them;
//   RecordsetDestination  the table kinds: AddNew, one value per field by position, Update;
//   OdbcStatementDestination  ODBC: one INSERT statement per record, passed through.
// The table and ODBC families share the record interface of TableDestination, so a new
// file-format driver needs no run code: it is opened through the engine and filled through
// a recordset like any table.
//
// Every destination is flushed before the summary is shown (Flush), closed at the end
// (Close), and released without raising after a stop (Abandon).
#pragma once

#include "export/engine/ValueClass.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace morvane {

class ExportDestination {
  public:
    virtual ~ExportDestination();

    //! Makes everything delivered so far durable; raises when it cannot.
    virtual void Flush() = 0;
    //! Flushes and releases the destination; raises when the final write fails.
    virtual void Close() = 0;
    //! Releases the destination after a stop, never raising. What was reported as exported
    //! is kept where the destination can still keep it; a pending record is discarded.
    virtual void Abandon() noexcept = 0;
};

//! One field value handed to a table or ODBC destination.
struct FieldDelivery {
    int position = 0;               //!< 0-based position in the selected-field list
    const QString* name = nullptr;  //!< the source field's name
    short type = 0;                 //!< the source field's engine type code
    ValueClass valueClass = ValueClass::NoValue;
    const QString* text = nullptr;  //!< the value text after the host's event and formatting
    //! The source value when the text is still the default text of a scalar (the host left
    //! it alone) and not empty, else null: a destination then stores the typed value
    //! instead of reading back a regional text. When no host handles the field event, the
    //! text is left empty (it is never built) wherever this is set.
    const QVariant* typedValue = nullptr;
    bool sourceNull = false;  //!< the source value was Null
};

class TableDestination : public ExportDestination {
  public:
    //! Starts a record (stage 9).
    virtual void BeginRecord() = 0;
    //! Delivers one field's value (stage 10); a failure leaves the field out.
    virtual void Deliver(const FieldDelivery& value) = 0;
    //! Stores the record (stage 11 for tables; stage 10 for ODBC, whose statement runs here).
    virtual void EndRecord() = 0;
    //! Drops a record begun but not stored (the run stopped or was cancelled).
    virtual void DiscardRecord() noexcept = 0;
    //! True when the destination also takes whole records of converted values (Convert,
    //! StoreRecord) instead of BeginRecord, Deliver per field and EndRecord.
    virtual bool StoresWholeRecords() const { return false; }
    //! Fields of the destination record (StoresWholeRecords destinations).
    virtual int FieldCount() const { return 0; }
    //! Converts `value` (not Null) in place for the field at `position`, as delivering it
    //! would convert it; raises where delivering it would fail.
    virtual void Convert(int position, QVariant& value) const;
    //! True when the field at `position` keeps a date-time by its date and time of day
    //! alone, so that Convert and StoreRecord take one built without a time zone (UTC) as
    //! they take the local date-time of the same parts.
    virtual bool StoresDateTimeByParts(int position) const;
    //! Stores a record of converted values, one per field (stage 11); `values` is left with
    //! unspecified contents.
    virtual void StoreRecord(std::vector<QVariant>& values);
    //! True when the record is stored by EndRecord's statement at stage 10 (ODBC).
    virtual bool StoresAtFieldStage() const { return false; }

    //! The run promises to call StoreHeldRecords after its last record, at the stage of
    //! EndRecord: from now on EndRecord may hold records back and store several at once
    //! (ODBC: one parameter array per round trip), and still have a failure reported like
    //! the record's own. Without the promise every record is stored by its own EndRecord.
    virtual void AllowHeldRecords() {}
    //! Stores the records held back; raises the failing record's error (the records before
    //! it are stored, none after it).
    virtual void StoreHeldRecords() {}
};

}  // namespace morvane
