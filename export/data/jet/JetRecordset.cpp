#include "export/data/jet/JetRecordset.h"

#include "export/data/EngineError.h"
#include "export/data/jet/JetValue.h"

namespace morvane {

JetRecordset::JetRecordset(std::shared_ptr<Database> database, std::unique_ptr<JetCursor> cursor,
                           std::vector<int> columns, short type, std::function<void()> release)
    : Recordset(std::move(database), type, false),
      cursor_(std::move(cursor)),
      columns_(std::move(columns)),
      release_(std::move(release)) {
    const int version = cursor_->File().Header().Version();
    for (const int column : columns_) {
        const MdbColumn& definition = cursor_->Column(column);
        auto field = std::make_shared<Field>(QString::fromUtf8(definition.name),
                                             JetValue::EngineType(definition.col_type),
                                             JetValue::EngineSize(definition, version));
        field->SetRequired(cursor_->Required(column));
        field->SetDefinitionLocked(Key(), true);
        fields_.Append(field);
    }
    fields_.SetLocked(Key(), true);
    Start();
}

JetRecordset::~JetRecordset() {
    if (IsOpen()) doClose();
}

void JetRecordset::Load() {
    const auto& items = fields_.Items();
    for (size_t index = 0; index < columns_.size(); ++index)
        items[index]->LoadValue(Key(), cursor_->Value(columns_[index]));
}

bool JetRecordset::doSeek(qint64 index) {
    if (index < 0) return false;
    if (index == position_) return true;  // the fields already hold it
    if (index < position_) {
        cursor_->Rewind();
        position_ = -1;
    }
    while (position_ < index) {
        if (!cursor_->Next()) {
            cursor_->Rewind();
            position_ = -1;
            return false;
        }
        ++position_;
    }
    Load();
    return true;
}

bool JetRecordset::doNext() {
    return doSeek(position_ + 1);
}

qint64 JetRecordset::doCount() {
    cursor_->Rewind();
    qint64 count = 0;
    while (cursor_->Next()) ++count;
    cursor_->Rewind();
    position_ = -1;
    return count;
}

void JetRecordset::doInsert() {
    throw EngineError::Of(ErrReadOnly);
}

void JetRecordset::doClose() {
    cursor_.reset();
    if (release_) release_();
    release_ = nullptr;
}

}  // namespace morvane
