#include "export/data/xbase/XbaseRecordset.h"

#include "export/data/EngineError.h"
#include "export/data/xbase/XbaseDatabase.h"
#include "export/data/xbase/XbaseTypes.h"

namespace morvane {

XbaseRecordset::XbaseRecordset(std::shared_ptr<Database> database, const QString& path, short type,
                               bool updatable, bool appendOnly,
                               const std::vector<XbaseSessionField>& sessionFields, bool hexBinary)
    : Recordset(std::move(database), type, updatable),
      path_(path),
      appendOnly_(appendOnly),
      hexBinary_(hexBinary),
      file_(std::make_unique<XbaseTableFile>(path, hexBinary)) {
    const XbaseHeader& header = file_->Header();
    const auto& columns = file_->Columns();
    for (size_t column = 0; column < columns.size(); ++column) {
        const auto& descriptor = header.fields[static_cast<size_t>(columns[column])];
        XbaseEngineType engine = EngineTypeOf(descriptor, header.IsVisualFoxPro());
        if (sessionFields.size() == columns.size() && sessionFields[column].type != 0)
            engine = {sessionFields[column].type, sessionFields[column].size};
        types_.push_back(engine.type);
        sizes_.push_back(engine.size);
        auto field = std::make_shared<Field>(descriptor.name, engine.type, engine.size);
        field->SetDefinitionLocked(Key(), true);
        fields_.Append(field);
    }
    fields_.SetLocked(Key(), true);
    scratch_.resize(columns.size());
    Start();
}

XbaseRecordset::~XbaseRecordset() {
    static_cast<XbaseDatabase&>(OwnerDatabase()).Unregister(this);
    try {
        FlushWrites();
    } catch (...) {  // a destructor cannot report; Close does
    }
}

qint64 XbaseRecordset::NextLive(qint64 physical) {
    for (;; ++physical) {
        const char* record = file_->Record(physical);
        if (!record) return -1;
        if (record[0] != '*') return physical;
    }
}

void XbaseRecordset::Leave() {
    if (!onRow_) return;
    onRow_ = false;
    for (const auto& field : fields_.Items())
        if (field->IsDeferred(Key())) field->LoadValue(Key(), QVariant());
}

bool XbaseRecordset::Arrive(qint64 physical, qint64 logical) {
    if (physical < 0) {
        Leave();
        return false;
    }
    const char* record = file_->Record(physical);
    row_ = QByteArray(record, file_->Header().recordLength);
    physical_ = physical;
    logical_ = logical;
    onRow_ = true;
    const auto& items = fields_.Items();
    for (size_t column = 0; column < items.size(); ++column)
        items[column]->DeferValue(Key(), this, static_cast<int>(column));
    return true;
}

bool XbaseRecordset::doSeek(qint64 index) {
    FlushWrites();
    if (appendOnly_ || index < 0) return Arrive(-1, -1);
    const qint64 stamp = file_->ChangeStamp();
    if (allLive_ && stamp == liveStamp_)
        return Arrive(index < file_->PhysicalCount() ? index : -1, index);
    qint64 physical = -1;
    qint64 logical = -1;
    if (onRow_ && logical_ <= index) physical = physical_, logical = logical_;
    while (logical < index) {
        physical = NextLive(physical + 1);
        if (physical < 0) return Arrive(-1, -1);
        ++logical;
    }
    return Arrive(physical, logical);
}

bool XbaseRecordset::doNext() {
    FlushWrites();
    if (appendOnly_ || !onRow_) return Arrive(-1, -1);
    return Arrive(NextLive(physical_ + 1), logical_ + 1);
}

qint64 XbaseRecordset::doCount() {
    FlushWrites();
    const qint64 stamp = file_->ChangeStamp();
    qint64 live = 0;
    const qint64 total = file_->PhysicalCount();
    for (qint64 physical = 0; physical < total; ++physical)
        if (file_->Record(physical)[0] != '*') ++live;
    allLive_ = live == total;
    liveStamp_ = stamp;
    // The current row's copy stays valid: the window moved, row_ did not.
    return live;
}

qint64 XbaseRecordset::doChangeStamp() {
    FlushWrites();
    return file_->ChangeStamp();
}

void XbaseRecordset::doInsert() {
    if (!writer_) writer_ = std::make_unique<XbaseTableWriter>(path_, hexBinary_);
    char* record = writer_->NewRecord();
    const auto& columns = file_->Columns();
    const auto& items = fields_.Items();
    for (size_t column = 0; column < items.size(); ++column)
        writer_->Codec().Write(columns[column], items[column]->Value(), types_[column], record,
                               writer_->Memo());
    writer_->Append();
}

void XbaseRecordset::FlushWrites() {
    if (!writer_ || !writer_->Pending()) return;
    writer_->Flush();
    file_->Refresh();
}

void XbaseRecordset::doClose() {
    // Values not read yet are converted while the row is at hand.
    for (const auto& field : fields_.Items()) {
        if (!field->IsDeferred(Key())) continue;
        try {
            field->Value();
        } catch (const EngineError&) {  // a damaged memo: the value is Null
            field->LoadValue(Key(), QVariant());
        }
    }
    onRow_ = false;
    if (writer_) {
        writer_->Flush();
        writer_.reset();
    }
}

QVariant XbaseRecordset::DeferredValue(int column) const {
    const auto index = static_cast<size_t>(column);
    return file_->Codec().Read(file_->Columns()[index], row_.constData(), types_[index],
                               sizes_[index], file_->Memo());
}

void XbaseRecordset::ReadRaw(int ordinal, RawValue& out) {
    const auto column = static_cast<size_t>(ordinal);
    if (onRow_ && column < types_.size() && fields_.Items()[column]->IsDeferred(Key()) &&
        file_->Codec().ReadRaw(file_->Columns()[column], row_.constData(), types_[column], out,
                               scratch_[column]))
        return;
    Recordset::ReadRaw(ordinal, out);
}

}  // namespace morvane
