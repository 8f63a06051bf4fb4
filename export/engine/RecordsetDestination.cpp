#include "export/engine/RecordsetDestination.h"

#include "export/engine/BackgroundRecordStore.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/FieldValue.h"
#include "export/data/Recordset.h"

namespace morvane {

ExportDestination::~ExportDestination() = default;

void TableDestination::Convert(int, QVariant&) const {
    throw EngineError::Of(ErrInvalidOperation);
}

bool TableDestination::StoresDateTimeByParts(int) const {
    return false;
}

void TableDestination::StoreRecord(std::vector<QVariant>&) {
    throw EngineError::Of(ErrInvalidOperation);
}

RecordsetDestination::RecordsetDestination(std::shared_ptr<Database> database,
                                           std::unique_ptr<Recordset> table, bool closeDatabase)
    : database_(std::move(database)), table_(std::move(table)), closeDatabase_(closeDatabase) {
    for (const auto& field : table_->Fields().Items())
        shapes_.push_back(FieldShape{field->Type(), field->Size(), field->Name()});
}

RecordsetDestination::~RecordsetDestination() {
    Abandon();
}

void RecordsetDestination::BeginRecord() {
    StoreHeldRecords();
    table_->AddNew();
}

void RecordsetDestination::Deliver(const FieldDelivery& value) {
    Field& field = table_->Fields().Item(value.position);
    if (value.typedValue)
        field.SetValue(*value.typedValue);
    else if (value.text->isEmpty())
        field.SetValue(QVariant());
    else
        field.SetValue(*value.text);
}

int RecordsetDestination::FieldCount() const {
    return static_cast<int>(shapes_.size());
}

void RecordsetDestination::Convert(int position, QVariant& value) const {
    if (position < 0 || static_cast<size_t>(position) >= shapes_.size())
        throw EngineError::Of(ErrItemNotFound);
    const FieldShape& shape = shapes_[static_cast<size_t>(position)];
    if (HeldAsFieldType(value, shape.type, shape.size)) return;
    value = ConvertFieldValue(value, shape.type, shape.size, shape.name);
}

bool RecordsetDestination::StoresDateTimeByParts(int position) const {
    // A date field takes a date-time as it is (ConvertFieldValue leaves it alone), and every
    // driver stores it by its date and time of day (Recordset::AppendRecord).
    if (position < 0 || static_cast<size_t>(position) >= shapes_.size()) return false;
    return IsDateTimeType(shapes_[static_cast<size_t>(position)].type);
}

void RecordsetDestination::StoreRecord(std::vector<QVariant>& values) {
    if (!store_ && holdRecords_) {
        Recordset& table = *table_;
        store_ = std::make_unique<BackgroundRecordStore>(
            [&table](std::vector<QVariant>& record) { table.AppendRecord(record); },
            [&table](std::vector<QVariant>* records, size_t count) {
                return table.AppendRecords(records, count);
            });
    }
    if (store_) {
        store_->Add(values);
        return;
    }
    table_->AppendRecord(values);
}

void RecordsetDestination::AllowHeldRecords() {
    holdRecords_ = closeDatabase_ && table_ && table_->IsOpen() && table_->AppendsFromAnyThread();
}

void RecordsetDestination::StoreHeldRecords() {
    if (store_) store_->Finish();
}

void RecordsetDestination::EndRecord() {
    StoreHeldRecords();
    table_->Update();
}

void RecordsetDestination::DiscardRecord() noexcept {
    try {
        // Records held are not this record: they stay, unless the run is abandoned.
        if (table_ && table_->IsOpen()) table_->CancelUpdate();
    } catch (...) {
        // Nothing of a discarded record reaches the table, whatever went wrong.
    }
}

void RecordsetDestination::Flush() {
    StoreHeldRecords();
    // Pending rows are committed when the recordset is closed; the source keeps reading
    // through its own cursor, so closing the destination recordset early costs nothing.
    if (table_ && table_->IsOpen()) table_->Close();
}

void RecordsetDestination::Close() {
    StoreHeldRecords();
    store_.reset();
    if (table_ && table_->IsOpen()) table_->Close();
    if (closeDatabase_ && database_ && database_->IsOpen()) database_->Close();
}

void RecordsetDestination::Abandon() noexcept {
    if (store_) {
        // The records handed over were reported as exported and are stored, unless one of
        // them failed: then the run stopped at that record, and those after it go.
        try {
            if (store_->StoppedAtFailure())
                store_->Drop();
            else
                store_->Finish();
        } catch (...) {
            store_->Drop();
        }
        store_.reset();
    }
    DiscardRecord();
    try {
        Close();
    } catch (...) {
        // A stopped run has reported its error already; the handles are released anyway.
    }
    if (closeDatabase_ && database_) {
        try {
            if (database_->IsOpen()) database_->Close();
        } catch (...) {
        }
    }
}

}  // namespace morvane
