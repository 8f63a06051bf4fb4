// RecordsetDestination: a destination table filled through a recordset, the way every
// table kind (the native format and the file-format drivers) is written: AddNew, then
// field i by position receives Null for an empty value text, else the value (the typed
// source value when the host left a scalar's text alone, the text otherwise), converted
// by the engine to the field's type; then Update.
//
// Closing closes the recordset and then the database, unless the database is shared with
// the source (a table exported into another table of the source's own file), which stays
// open for the source.
#pragma once

#include "export/engine/ExportDestination.h"

#include <memory>

namespace morvane {

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
    void StoreRecord(std::vector<QVariant>& values) override;
    void DiscardRecord() noexcept override;

    void Flush() override;
    void Close() override;
    void Abandon() noexcept override;

  private:
    std::shared_ptr<Database> database_;
    std::unique_ptr<Recordset> table_;
    bool closeDatabase_;
};

}  // namespace morvane
