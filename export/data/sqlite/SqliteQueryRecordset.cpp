#include "export/data/sqlite/SqliteQueryRecordset.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/sqlite/SqliteDatabase.h"
#include "export/data/sqlite/SqliteParameterBinding.h"
#include "export/data/sqlite/SqliteQueryText.h"
#include "export/data/sqlite/SqliteTypes.h"

#include <sqlite3.h>

namespace morvane {

SqliteQueryRecordset::SqliteQueryRecordset(const std::shared_ptr<SqliteDatabase>& database,
                                           const QString& sql, const Parameters& parameters)
    : SqliteCursorRecordset(database, dbOpenSnapshot, false), sql_(sql), parameters_(parameters) {
    if (SqliteQueryText::Scan(sql_).Statements != 1) throw EngineError::Of(ErrInvalidOperation);
    database_.FlushWrites();
    DefineFields(Prepare());
    Start();
}

SqliteQueryRecordset::~SqliteQueryRecordset() = default;

SqliteStatement SqliteQueryRecordset::Prepare() const {
    SqliteStatement statement(database_.Connection(), sql_, database_.Path());
    sqlite3_stmt* handle = statement.Handle();
    // A statement that writes must not run merely because somebody opened the query.
    if (!handle || !sqlite3_stmt_readonly(handle) || sqlite3_column_count(handle) == 0)
        throw EngineError::Of(ErrInvalidOperation);
    BindQueryParameters(handle, parameters_);
    return statement;
}

// Field types come from the declared types of the columns the query reads; computed
// columns have none and read as Memo, as the columns of a view do.
void SqliteQueryRecordset::DefineFields(const SqliteStatement& statement) {
    sqlite3_stmt* handle = statement.Handle();
    const int count = sqlite3_column_count(handle);
    for (int column = 0; column < count; ++column) {
        AppendColumnField(Key(), fields_, types_,
                          QString::fromUtf8(sqlite3_column_name(handle, column)),
                          QString::fromUtf8(sqlite3_column_decltype(handle, column)));
    }
    fields_.SetLocked(Key(), true);
}

bool SqliteQueryRecordset::doSeek(qint64 index) {
    database_.FlushWrites();
    if (index < 0) return false;
    if (!parked_ && index == index_) return LoadRow();
    if (parked_ || index < index_) {
        KeepRowValues();
        cursor_ = Prepare();
        parked_ = false;
        index_ = -1;
    }
    while (index_ < index) {
        if (!StepCursor()) {
            index_ = index;
            return false;
        }
        ++index_;
    }
    return LoadRow();
}

qint64 SqliteQueryRecordset::doCount() {
    database_.FlushWrites();
    SqliteStatement counter = Prepare();
    qint64 count = 0;
    while (counter.Step()) ++count;
    return count;
}

void SqliteQueryRecordset::doInsert() {
    // Not reached: the recordset is not updatable, so AddNew already refused.
    throw EngineError::Of(ErrReadOnly);
}

void SqliteQueryRecordset::doClose() {
    Park();
}

}  // namespace morvane
