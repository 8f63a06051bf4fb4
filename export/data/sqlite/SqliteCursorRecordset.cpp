#include "export/data/sqlite/SqliteCursorRecordset.h"

#include "export/data/FieldTypes.h"
#include "export/data/sqlite/SqliteDatabase.h"
#include "export/data/sqlite/SqliteTypes.h"

#include <sqlite3.h>
#include <QDateTime>
#include <QTimeZone>

namespace morvane {
namespace {

// True when local time never jumps (no daylight saving or other change of offset, as in
// UTC): a local date-time then keeps exactly the date and time of day it is built from, so
// a stored date-time can be handed out as its parts.
bool LocalTimeHasNoGaps() {
    static const bool noGaps = [] {
        const QTimeZone zone = QTimeZone::systemTimeZone();
        if (!zone.isValid()) return false;
        const auto transitions =
            zone.transitions(QDateTime(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc()),
                             QDateTime(QDate(9999, 12, 31), QTime(23, 59), QTimeZone::utc()));
        for (const QTimeZone::OffsetData& transition : transitions)
            if (transition.offsetFromUtc != transitions.first().offsetFromUtc) return false;
        return true;
    }();
    return noGaps;
}

}  // namespace

SqliteCursorRecordset::SqliteCursorRecordset(const std::shared_ptr<SqliteDatabase>& database,
                                             short type, bool updatable)
    : Recordset(database, type, updatable), database_(*database) {
    database_.Attach(this);
}

SqliteCursorRecordset::~SqliteCursorRecordset() {
    KeepRowValues();  // the fields may outlive the recordset: nothing may point here
    cursor_.Finalize();
    database_.Detach(this);
}

void SqliteCursorRecordset::Park() {
    KeepRowValues();
    cursor_.Finalize();
    parked_ = true;
}

bool SqliteCursorRecordset::doNext() {
    if (parked_) return doSeek(index_ + 1);
    // Stepping needs no commit: rows written on this connection are visible to its own
    // cursors, and committing on every step would cost one disk sync per record when a
    // table is exported into the source's own file.
    ++index_;
    return StepCursor() && LoadRow();
}

qint64 SqliteCursorRecordset::doChangeStamp() {
    return database_.ChangeStamp();
}

bool SqliteCursorRecordset::StepCursor() {
    // A step to the next row leaves the fields deferred: LoadRow points them at it. A step
    // that finds no row, or fails, leaves nothing to read them from.
    bool found = false;
    try {
        found = cursor_.Step();
    } catch (...) {
        ForgetRowValues();
        throw;
    }
    if (!found) {
        ForgetRowValues();
        Park();
    }
    return found;
}

bool SqliteCursorRecordset::LoadRow() {
    const auto& items = fields_.Items();
    for (size_t column = 0; column < items.size(); ++column)
        items[column]->DeferValue(Key(), this, static_cast<int>(column));
    deferred_ = true;
    return true;
}

QVariant SqliteCursorRecordset::DeferredValue(int column) const {
    return ReadColumnValue(cursor_.Handle(), column, types_[static_cast<size_t>(column)]);
}

void SqliteCursorRecordset::KeepRowValues() {
    if (!deferred_) return;
    deferred_ = false;
    for (const auto& field : fields_.Items())
        if (field->IsDeferred(Key())) field->Value();
}

void SqliteCursorRecordset::ForgetRowValues() {
    if (!deferred_) return;
    deferred_ = false;
    for (const auto& field : fields_.Items())
        if (field->IsDeferred(Key())) field->LoadValue(Key(), QVariant());
}

void SqliteCursorRecordset::ReadRaw(int ordinal, RawValue& out) {
    const auto column = static_cast<size_t>(ordinal);
    // Only a value still on the cursor's row is read raw; one already converted (or
    // written by AddNew) is the field's.
    if (!deferred_ || column >= types_.size() || !fields_.Items()[column]->IsDeferred(Key())) {
        Recordset::ReadRaw(ordinal, out);
        return;
    }
    // One call that takes the connection's mutex; the value calls below take none. The
    // value is only read here, by the thread using the connection, before the next step.
    sqlite3_value* value = sqlite3_column_value(cursor_.Handle(), ordinal);
    const int storage = sqlite3_value_type(value);
    if (storage == SQLITE_NULL) {
        out.kind = RawValue::Kind::Null;
        return;
    }
    // The forms below are the values ReadColumnValue gives for the same column.
    switch (types_[column]) {
        case dbBoolean:
        case dbByte:
        case dbInteger:
        case dbLong:
        case dbBigInt:
            if (storage != SQLITE_INTEGER) break;
            out.kind = RawValue::Kind::Integer;
            out.integer = sqlite3_value_int64(value);
            return;
        case dbCurrency:
        case dbDouble:
        case dbFloat:
            if (storage != SQLITE_INTEGER && storage != SQLITE_FLOAT) break;
            out.kind = RawValue::Kind::Real;
            out.real = sqlite3_value_double(value);
            return;
        case dbSingle:
            if (storage != SQLITE_INTEGER && storage != SQLITE_FLOAT) break;
            out.kind = RawValue::Kind::Real;
            out.real = static_cast<float>(sqlite3_value_double(value));
            return;
        case dbDate:
        case dbTime:
        case dbTimeStamp: {
            if (storage != SQLITE_TEXT) break;
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            const int form =
                text ? ParseStoredDate(text, sqlite3_value_bytes(value), out.date, out.time) : 0;
            if (form == 1) {
                out.kind = RawValue::Kind::Date;
                return;
            }
            if (form == 2) {
                out.kind = RawValue::Kind::Time;
                return;
            }
            if (form == 3 && LocalTimeHasNoGaps()) {
                out.kind = RawValue::Kind::DateTime;
                return;
            }
            break;
        }
        case dbText:
        case dbMemo:
        case dbChar:
            out.kind = RawValue::Kind::Text;
            out.text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            out.size = sqlite3_value_bytes(value);
            if (!out.text) out.size = 0;  // out of memory reads as empty, as ColumnText does
            return;
        default:
            break;
    }
    Recordset::ReadRaw(ordinal, out);
}

}  // namespace morvane
