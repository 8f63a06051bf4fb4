#include "export/data/Recordset.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"

namespace morvane {

namespace {

// Moves forward by stepping up to this many records; longer jumps seek by index.
constexpr qint64 kStepLimit = 64;

[[noreturn]] void NoCurrentRecord() {
    throw EngineError::Of(ErrNoCurrentRecord);
}

}  // namespace

Recordset::Recordset(std::shared_ptr<Database> database, short type, bool updatable)
    : database_(std::move(database)), type_(type), updatable_(updatable) {}

Recordset::~Recordset() = default;

void Recordset::Start() {
    Arrive(doSeek(0), 0);
}

void Recordset::CheckOpen() const {
    if (!open_ || !database_->IsOpen()) throw EngineError::Of(ErrObjectInvalid);
}

void Recordset::CheckCurrent() const {
    if (eof_ || bof_) NoCurrentRecord();
}

void Recordset::Arrive(bool found, qint64 index) {
    if (found) {
        current_ = index;
        eof_ = bof_ = false;
        reached_ = std::max(reached_, index + 1);
    } else if (index < 0) {
        current_ = -1;
        bof_ = true;
        eof_ = knownCount_ == 0;
    } else {
        current_ = index;
        eof_ = true;
        bof_ = index == 0;
        // Reached by stepping: there is no record at `index` but there is one before it.
        SetKnownCount(index);
        reached_ = index;
    }
}

void Recordset::MoveFirst() {
    CheckOpen();
    CancelUpdate();
    if (!doSeek(0)) {
        Arrive(false, 0);
        NoCurrentRecord();
    }
    Arrive(true, 0);
}

void Recordset::MoveLast() {
    CheckOpen();
    CancelUpdate();
    // A count taken earlier may be stale: rows may have gone since. When the last record
    // is not where the count puts it, the records are counted again and the move retried.
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0) knownCount_ = -1;
        const qint64 count = FreshCount();
        if (count == 0) {
            Arrive(false, 0);
            NoCurrentRecord();
        }
        if (doSeek(count - 1)) {
            Arrive(true, count - 1);
            return;
        }
    }
    knownCount_ = -1;
    NoCurrentRecord();  // the source keeps shrinking under us
}

void Recordset::MoveNext() {
    CheckOpen();
    CheckCurrent();
    CancelUpdate();
    Arrive(doNext(), current_ + 1);
}

void Recordset::Move(qint64 rows) {
    CheckOpen();
    CheckCurrent();
    CancelUpdate();
    const qint64 target = current_ + rows;
    if (rows == 0) return;
    if (target < 0) {
        Arrive(false, -1);
        return;
    }
    if (rows > 0 && rows <= kStepLimit) {
        qint64 index = current_;
        while (index < target) {
            if (!doNext()) {
                Arrive(false, index + 1);
                return;
            }
            ++index;
        }
        Arrive(true, target);
        return;
    }
    if (doSeek(target)) {
        Arrive(true, target);
    } else {  // somewhere past the end: the exact count stays unknown
        current_ = target;
        eof_ = true;
        bof_ = false;
    }
}

bool Recordset::Eof() const {
    return eof_;
}
bool Recordset::Bof() const {
    return bof_;
}

qint64 Recordset::RecordCount() {
    CheckOpen();
    if (type_ == dbOpenTable) return FreshCount();
    return knownCount_ >= 0 ? knownCount_ : reached_;
}

qint64 Recordset::FreshCount() {
    const qint64 stamp = doChangeStamp();
    if (knownCount_ < 0 || stamp < 0 || stamp != countStamp_) {
        knownCount_ = doCount();
        countStamp_ = stamp;  // taken before counting: a change while counting shows next time
    }
    return knownCount_;
}

void Recordset::SetKnownCount(qint64 count) {
    knownCount_ = count;
    countStamp_ = doChangeStamp();
}

void Recordset::ReadRaw(int ordinal, RawValue& out) {
    out.kind = RawValue::Kind::Variant;
    out.variant = &fields_.Item(ordinal).Value();
}

void Recordset::AddNew() {
    CheckOpen();
    if (!updatable_) throw EngineError::Of(ErrReadOnly);
    CancelUpdate();
    adding_ = true;
    saved_.clear();
    for (const auto& field : fields_.Items()) {
        // Moved, not copied: a record is added per exported row.
        saved_.push_back(field->TakeValue());
        field->SetValueWritable(true);
    }
}

void Recordset::Update() {
    CheckOpen();
    if (!adding_) throw EngineError::Of(ErrUpdateWithoutAddNew);
    for (const auto& field : fields_.Items()) {
        if (field->Required() && field->Value().isNull())
            throw EngineError::Of(ErrRequiredNull, field->Name());
    }
    doInsert();
    if (knownCount_ >= 0) ++knownCount_;
    EndAddNew();
}

void Recordset::StartAppending() {
    CheckOpen();
    if (!updatable_) throw EngineError::Of(ErrReadOnly);
    CancelUpdate();
}

void Recordset::CheckAppendable(const std::vector<QVariant>& values) const {
    const auto& items = fields_.Items();
    if (values.size() != items.size()) throw EngineError::Of(ErrInvalidOperation);
    for (size_t column = 0; column < items.size(); ++column)
        if (items[column]->Required() && values[column].isNull())
            throw EngineError::Of(ErrRequiredNull, items[column]->Name());
}

void Recordset::AppendRecord(std::vector<QVariant>& values) {
    StartAppending();
    CheckAppendable(values);
    const auto& items = fields_.Items();
    // The new values take the fields' places while the driver inserts them; the current
    // record's values wait in `values` and come back whatever happens.
    for (size_t column = 0; column < items.size(); ++column)
        items[column]->SwapValue(values[column]);
    try {
        doInsert();
    } catch (...) {
        for (size_t column = 0; column < items.size(); ++column)
            items[column]->SwapValue(values[column]);
        throw;
    }
    for (size_t column = 0; column < items.size(); ++column)
        items[column]->SwapValue(values[column]);
    if (knownCount_ >= 0) ++knownCount_;
}

bool Recordset::AppendRecords(std::vector<QVariant>* records, size_t count) {
    StartAppending();
    for (size_t record = 0; record < count; ++record) CheckAppendable(records[record]);
    if (!doInsertGroup(records, count)) return false;
    if (knownCount_ >= 0) knownCount_ += static_cast<qint64>(count);
    return true;
}

bool Recordset::doInsertGroup(const std::vector<QVariant>*, size_t) {
    return false;
}

void Recordset::CancelUpdate() {
    if (adding_) EndAddNew();
}

// Leaves the adding state; the record that was current before AddNew is current again.
void Recordset::EndAddNew() {
    adding_ = false;
    const auto& items = fields_.Items();
    for (size_t column = 0; column < items.size(); ++column) {
        items[column]->SetValueWritable(false);
        items[column]->LoadValue(DriverKey(),
                                 column < saved_.size() ? std::move(saved_[column]) : QVariant());
    }
    saved_.clear();
}

void Recordset::Close() {
    if (!open_) return;
    open_ = false;
    adding_ = false;
    doClose();
}

}  // namespace morvane
