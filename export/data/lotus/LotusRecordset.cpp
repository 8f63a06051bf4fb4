#include "export/data/lotus/LotusRecordset.h"

#include "export/data/EngineError.h"
#include "export/data/FieldValue.h"
#include "export/data/lotus/LotusDatabase.h"

namespace morvane {

LotusRecordset::LotusRecordset(std::shared_ptr<LotusDatabase> database,
                               std::shared_ptr<LotusSheet> sheet, std::vector<LotusColumn> columns,
                               short type, bool updatable)
    : Recordset(database, type, updatable),
      lotus_(std::move(database)),
      sheet_(std::move(sheet)),
      columns_(std::move(columns)) {
    for (const LotusColumn& column : columns_) {
        auto field = std::make_shared<Field>(column.Name, column.Type, column.Size);
        field->SetDefinitionLocked(Key(), true);
        fields_.Append(field);
    }
    fields_.SetLocked(Key(), true);
    Start();
}

LotusRecordset::~LotusRecordset() {
    if (IsOpen()) {
        try {
            doClose();
        } catch (const EngineError&) {
            // A destructor cannot report; Close reports the same failure when called.
        }
    }
}

bool LotusRecordset::doSeek(qint64 index) {
    if (!sheet_ || index < 0 || index >= sheet_->RecordCount()) return false;
    sheet_->ReadRecord(index, values_);
    const auto& items = fields_.Items();
    const auto& stored = sheet_->Columns();
    for (size_t column = 0; column < items.size() && column < values_.size(); ++column) {
        QVariant& value = values_[column];
        // A table defined this session reads in its own types where the value allows.
        if (!value.isNull() && column < stored.size() &&
            stored[column].Type != columns_[column].Type) {
            try {
                value = ConvertFieldValue(value, columns_[column].Type, columns_[column].Size,
                                          columns_[column].Name);
            } catch (const EngineError&) {
                DbErrors().Clear();
            }
        }
        items[column]->LoadValue(Key(), value);
    }
    position_ = index;
    return true;
}

bool LotusRecordset::doNext() {
    return doSeek(position_ + 1);
}

qint64 LotusRecordset::doCount() {
    return sheet_ ? sheet_->RecordCount() : 0;
}

void LotusRecordset::doInsert() {
    std::vector<QVariant> values;
    values.reserve(fields_.Items().size());
    for (const auto& field : fields_.Items()) values.push_back(field->Value());
    lotus_->AppendRecord(values);
    wrote_ = true;
}

void LotusRecordset::doClose() {
    // The file this recordset added to is put in place when it closes.
    if (wrote_ && lotus_->IsOpen()) {
        wrote_ = false;
        lotus_->FinishWriting();
    }
    sheet_.reset();
}

}  // namespace morvane
