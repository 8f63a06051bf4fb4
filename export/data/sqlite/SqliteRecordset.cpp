#include "export/data/sqlite/SqliteRecordset.h"

#include "export/data/sqlite/SqliteDatabase.h"
#include "export/data/sqlite/SqliteTypes.h"

#include <sqlite3.h>
#include <QStringList>

namespace morvane {

SqliteRecordset::SqliteRecordset(const std::shared_ptr<SqliteDatabase>& database,
                                 const QString& source, bool isTable, short type, bool updatable)
    : SqliteCursorRecordset(database, type, updatable),
      source_(source),
      from_(" FROM " + QuoteIdentifier(source)) {
    DefineFields(isTable);
    Start();
}

SqliteRecordset::~SqliteRecordset() {
    Release();
}

void SqliteRecordset::Release() {
    cursor_.Finalize();
    count_.Finalize();
    insert_.Finalize();
}

// Field types come from the declared column types; required flags from the table.
void SqliteRecordset::DefineFields(bool isTable) {
    SqliteStatement columns(database_.Connection(),
                            "PRAGMA table_info(" + QuoteIdentifier(source_) + ")",
                            database_.Path());
    while (columns.Step()) {
        sqlite3_stmt* row = columns.Handle();
        AppendColumnField(
            fields_, types_,
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 1))),
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 2))),
            isTable && sqlite3_column_int(row, 3) != 0);
    }
    fields_.SetLocked(true);
}

bool SqliteRecordset::doSeek(qint64 index) {
    database_.FlushWrites();
    if (index < 0) return false;
    if (!parked_ && index == index_) return LoadRow();
    const QString sql = index == 0
                            ? "SELECT *" + from_
                            : "SELECT *" + from_ + " LIMIT -1 OFFSET " + QString::number(index);
    cursor_ = SqliteStatement(database_.Connection(), sql, database_.Path());
    parked_ = false;
    index_ = index;
    if (!cursor_.Step()) {
        Park();
        return false;
    }
    return LoadRow();
}

qint64 SqliteRecordset::doCount() {
    database_.FlushWrites();
    if (!count_.IsValid())
        count_ =
            SqliteStatement(database_.Connection(), "SELECT count(*)" + from_, database_.Path());
    count_.Reset();
    const qint64 count = count_.Step() ? sqlite3_column_int64(count_.Handle(), 0) : 0;
    count_.Reset();
    return count;
}

void SqliteRecordset::doInsert() {
    const auto& items = fields_.Items();
    if (!insert_.IsValid()) {
        QStringList names;
        QStringList marks;
        for (const auto& field : items) {
            names << QuoteIdentifier(field->Name());
            marks << QStringLiteral("?");
        }
        insert_ = SqliteStatement(database_.Connection(),
                                  "INSERT INTO " + QuoteIdentifier(source_) + " (" +
                                      names.join(", ") + ") VALUES (" + marks.join(", ") + ")",
                                  database_.Path());
    }
    database_.NoteInsert();
    insert_.Reset();
    for (size_t column = 0; column < items.size(); ++column)
        BindValue(insert_.Handle(), static_cast<int>(column) + 1, items[column]->Value());
    insert_.Step();
    insert_.Reset();
}

void SqliteRecordset::doClose() {
    database_.FlushWrites();
    Release();
}

}  // namespace morvane
