#include "export/engine/RecordsetDestination.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldValue.h"
#include "export/data/Recordset.h"

namespace morvane {

ExportDestination::~ExportDestination() = default;

void TableDestination::Convert(int, QVariant&) const {
    throw EngineError::Of(ErrInvalidOperation);
}

void TableDestination::StoreRecord(std::vector<QVariant>&) {
    throw EngineError::Of(ErrInvalidOperation);
}

RecordsetDestination::RecordsetDestination(std::shared_ptr<Database> database,
                                           std::unique_ptr<Recordset> table, bool closeDatabase)
    : database_(std::move(database)), table_(std::move(table)), closeDatabase_(closeDatabase) {}

RecordsetDestination::~RecordsetDestination() {
    Abandon();
}

void RecordsetDestination::BeginRecord() {
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
    return table_->Fields().Count();
}

void RecordsetDestination::Convert(int position, QVariant& value) const {
    const Field& field = table_->Fields().Item(position);
    if (HeldAsFieldType(value, field.Type(), field.Size())) return;
    value = ConvertFieldValue(value, field.Type(), field.Size(), field.Name());
}

void RecordsetDestination::StoreRecord(std::vector<QVariant>& values) {
    table_->AppendRecord(values);
}

void RecordsetDestination::EndRecord() {
    table_->Update();
}

void RecordsetDestination::DiscardRecord() noexcept {
    try {
        if (table_ && table_->IsOpen()) table_->CancelUpdate();
    } catch (...) {
        // Nothing of a discarded record reaches the table, whatever went wrong.
    }
}

void RecordsetDestination::Flush() {
    // Pending rows are committed when the recordset is closed; the source keeps reading
    // through its own cursor, so closing the destination recordset early costs nothing.
    if (table_ && table_->IsOpen()) table_->Close();
}

void RecordsetDestination::Close() {
    if (table_ && table_->IsOpen()) table_->Close();
    if (closeDatabase_ && database_ && database_->IsOpen()) database_->Close();
}

void RecordsetDestination::Abandon() noexcept {
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
