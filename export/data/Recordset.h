// Recordset: the records of a table or query, walked one at a time. Recordsets stream:
// only the current record is held in memory whatever the size of the source; MoveLast
// counts the records without loading them. After opening, the first record is current
// (Eof() is true at once for an empty source).
//
// The public calls check state (open, current record, pending AddNew) and call the
// protected virtuals each driver implements: position on a record by its 0-based index,
// step to the next one, count, insert, close.
//
// RecordCount: for table type (1) always the exact count; for other types the number of
// records reached so far, exact after MoveLast.
//
// Usage:
//   auto rs = db->OpenRecordset("Orders", dbOpenTable);
//   for (; !rs->Eof(); rs->MoveNext()) use(rs->Fields().Item(0).Value());
//   rs->AddNew(); rs->Fields().Item("Qty").SetValue("3"); rs->Update();
#pragma once

#include "export/data/DriverKey.h"
#include "export/data/Fields.h"
#include "export/data/RawValue.h"

#include <QtGlobal>
#include <memory>
#include <vector>

namespace morvane {

class Database;

class Recordset {
  public:
    virtual ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    short Type() const { return type_; }
    bool Updatable() const { return updatable_; }
    bool IsOpen() const { return open_; }
    morvane::Fields& Fields() { return fields_; }

    //! Raise 3021 "No current record." on an empty recordset.
    void MoveFirst();
    void MoveLast();
    //! REQUIRES: a current record (else 3021). Past the last record, Eof() becomes true.
    void MoveNext();
    //! Moves `rows` records from the current one (negative: backwards). REQUIRES: a current
    //! record (else 3021). Before the first record Bof() becomes true, past the last Eof().
    void Move(qint64 rows);
    bool Eof() const;
    bool Bof() const;
    qint64 RecordCount();

    //! Column `ordinal` (0-based, REQUIRES: in range) of the current record without
    //! converting it to a QVariant when the driver can give it plainly (RawValue.h). The
    //! general form, used by drivers that offer nothing more, is the field's value.
    virtual void ReadRaw(int ordinal, RawValue& out);

    //! Starts a new record: every field becomes Null and writable. 3027 when read-only.
    void AddNew();
    //! Stores the new record. REQUIRES: a pending AddNew (else 3020).
    void Update();
    //! Drops a pending AddNew.
    void CancelUpdate();
    //! Stores a whole new record at once: what AddNew, SetValue of every field and Update
    //! do, for values already converted to their fields' types (ConvertFieldValue), one per
    //! field in field order. The fields keep the current record; `values` is left with
    //! unspecified contents. For writers that append many records: no per-field calls.
    //! A date-time is stored by its date and time of day; its time zone is not looked at
    //! (writers may hand over UTC date-times, which cost no time-zone conversion to build).
    //! Raises what AddNew and Update raise.
    void AppendRecord(std::vector<QVariant>& values);
    //! Stores `count` whole records (as AppendRecord takes them) at once, all or none: when
    //! one of them fails, none is stored and a failure is raised that need not name the
    //! record (store them one by one to find it). False, with nothing stored, when the
    //! driver does not store groups of that size. The records keep their values.
    bool AppendRecords(std::vector<QVariant>* records, size_t count);
    //! True when AppendRecord may run on another thread than the one that opened the
    //! recordset, as long as nothing else uses the recordset or its database meanwhile: the
    //! driver's inserts share no state with other databases (a writer thread).
    virtual bool AppendsFromAnyThread() const { return false; }
    void Close();

  protected:
    Recordset(std::shared_ptr<Database> database, short type, bool updatable);

    //! Loads record `index` (0-based) into the fields; false when there is no such record.
    virtual bool doSeek(qint64 index) = 0;
    //! Loads the record after the current one; false when there is none.
    virtual bool doNext() = 0;
    virtual qint64 doCount() = 0;
    //! Inserts the values now held by the fields.
    virtual void doInsert() = 0;
    //! Inserts `count` records of values at once, all or none (AppendRecords); false when
    //! the driver does not (the default).
    virtual bool doInsertGroup(const std::vector<QVariant>* records, size_t count);
    virtual void doClose() = 0;
    //! A stamp that changes whenever the source's records may have changed (any write through
    //! this connection or another); a count taken under the same stamp is still exact. -1
    //! (the default) means the driver cannot tell, and every count is taken afresh.
    virtual qint64 doChangeStamp() { return -1; }

    //! The key to the driver hooks (DriverKey.h), for the drivers that derive from Recordset.
    static DriverKey Key() { return DriverKey(); }
    //! Drivers call this once their fields are defined, to position on the first record.
    void Start();
    Database& OwnerDatabase() const { return *database_; }

    morvane::Fields fields_;

  private:
    void CheckOpen() const;
    //! What AppendRecord and AppendRecords do first: open and updatable (else raises), no
    //! AddNew pending.
    void StartAppending();
    //! Raises unless `values` has one value per field and none Null in a required field.
    void CheckAppendable(const std::vector<QVariant>& values) const;
    void CheckCurrent() const;
    void Arrive(bool found, qint64 index);
    void EndAddNew();
    //! The exact count: the known one while the source is unchanged, else counted afresh.
    qint64 FreshCount();
    void SetKnownCount(qint64 count);

    std::shared_ptr<Database> database_;
    short type_;
    bool updatable_;
    bool open_ = true;
    bool adding_ = false;
    qint64 current_ = -1;  //!< index of the current record; -1 before the first
    bool eof_ = true;
    bool bof_ = true;
    qint64 reached_ = 0;           //!< records reached so far (RecordCount for non-table types)
    qint64 knownCount_ = -1;       //!< exact count when known
    qint64 countStamp_ = -1;       //!< doChangeStamp() when knownCount_ was taken
    std::vector<QVariant> saved_;  //!< the current record's values during AddNew
};

}  // namespace morvane
