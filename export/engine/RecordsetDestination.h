// RecordsetDestination: a destination table filled through a recordset, the way every
// table kind (the native format and the file-format drivers) is written: AddNew, then
// field i by position receives Null for an empty value text, else the value (the typed
// source value when the host left a scalar's text alone, the text otherwise), converted
// by the engine to the field's type; then Update.
//
// Held records (AllowHeldRecords): when the recordset's driver appends from any thread and
// the database is not the source's, whole records (StoreRecord) are stored by a writer
// thread (BackgroundRecordStore) while the run reads on. A failure is raised by a later
// StoreRecord, by StoreHeldRecords, or by any other call, which first waits for the
// records held; after a failure, Abandon drops the records after the failed one, so the
// table holds what it would hold had the run stopped at that record.
//
// Closing closes the recordset and then the database, unless the database is shared with
// the source (a table exported into another table of the source's own file), which stays
// open for the source.
#pragma once

#include "export/engine/ExportDestination.h"

#include <QString>
#include <memory>
#include <vector>

namespace morvane {

class BackgroundRecordStore;
class Database;
class Recordset;

class RecordsetDestination : public TableDestination {
  public:
    //! `closeDatabase` false: the database belongs to somebody else (the source).
    RecordsetDestination(std::shared_ptr<Database> database, std::unique_ptr<Recordset> table,
                         bool closeDatabase);
    ~RecordsetDestination() override;

    void BeginRecord() override;
    void Deliver(const FieldDelivery& value) override;
    void EndRecord() override;
    bool StoresWholeRecords() const override { return true; }
    int FieldCount() const override;
    void Convert(int position, QVariant& value) const override;
    bool StoresDateTimeByParts(int position) const override;
    void StoreRecord(std::vector<QVariant>& values) override;
    void AllowHeldRecords() override;
    void StoreHeldRecords() override;
    void DiscardRecord() noexcept override;

    void Flush() override;
    void Close() override;
    void Abandon() noexcept override;

  private:
    //! The type, size and name of a destination field, read once: converting on the run's
    //! thread must not touch the recordset the writer thread is filling.
    struct FieldShape {
        short type = 0;
        int size = 0;
        QString name;
    };

    std::shared_ptr<Database> database_;
    std::unique_ptr<Recordset> table_;
    bool closeDatabase_;
    std::vector<FieldShape> shapes_;
    bool holdRecords_ = false;
    std::unique_ptr<BackgroundRecordStore> store_;
};

}  // namespace morvane
