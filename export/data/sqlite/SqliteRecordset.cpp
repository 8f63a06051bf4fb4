#include "export/data/sqlite/SqliteRecordset.h"

#include "export/data/FieldValue.h"
#include "export/data/sqlite/SqliteDatabase.h"
#include "export/data/sqlite/SqliteTypes.h"

#include <sqlite3.h>
#include <QStringEncoder>
#include <QStringList>
#include <algorithm>

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
    Park();
    Release();
}

void SqliteRecordset::Release() {
    cursor_.Finalize();
    count_.Finalize();
    insert_.Finalize();
    insertGroup_.Finalize();
}

// Field types come from the declared column types; required flags from the table.
void SqliteRecordset::DefineFields(bool isTable) {
    SqliteStatement columns(database_.Connection(),
                            "PRAGMA table_info(" + QuoteIdentifier(source_) + ")",
                            database_.Path());
    QStringList names;
    std::vector<std::pair<int, QString>> key;  // primary key position, column name
    while (columns.Step()) {
        sqlite3_stmt* row = columns.Handle();
        const QString name =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 1)));
        AppendColumnField(
            Key(), fields_, types_, name,
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 2))),
            isTable && sqlite3_column_int(row, 3) != 0);
        names << name;
        if (sqlite3_column_int(row, 5) > 0) key.emplace_back(sqlite3_column_int(row, 5), name);
    }
    fields_.SetLocked(Key(), true);
    if (isTable) DefineOrder(names, key);
}

// Every read of a table, the first and each re-read after a park or a jump, names the same
// order, so that an OFFSET always counts the same rows whatever plan SQLite picks: rowid
// order (the table's storage order, read without sorting) or, for a table without rowid,
// its primary key order (its storage order too).
void SqliteRecordset::DefineOrder(const QStringList& names,
                                  std::vector<std::pair<int, QString>> key) {
    for (const char* alias : {"rowid", "_rowid_", "oid"}) {
        if (names.contains(QLatin1String(alias), Qt::CaseInsensitive)) continue;  // a column
        // A table without rowid has no such alias: the probe does not compile.
        const QByteArray probe =
            QByteArray("SELECT ") + alias + " FROM " + QuoteIdentifier(source_).toUtf8();
        sqlite3_stmt* statement = nullptr;
        const int status =
            sqlite3_prepare_v2(database_.Connection(), probe.constData(), -1, &statement, nullptr);
        sqlite3_finalize(statement);
        if (status != SQLITE_OK) break;
        order_ = QStringLiteral(" ORDER BY ") + QLatin1String(alias);
        reverseOrder_ = order_ + QStringLiteral(" DESC");
        rowidAlias_ = QLatin1String(alias);
        return;
    }
    std::sort(key.begin(), key.end());
    QStringList terms, reverse;
    for (const auto& [position, name] : key) {
        terms << QuoteIdentifier(name);
        reverse << QuoteIdentifier(name) + QStringLiteral(" DESC");
    }
    // A rowid table whose columns hide every rowid alias and that has no primary key keeps
    // SQLite's own order.
    if (terms.isEmpty()) return;
    order_ = QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
    reverseOrder_ = QStringLiteral(" ORDER BY ") + reverse.join(QStringLiteral(", "));
}

bool SqliteRecordset::doSeek(qint64 index) {
    database_.FlushWrites();
    if (index < 0) return false;
    if (!parked_ && index == index_) return LoadRow();
    KeepRowValues();
    if (index > 0 && index == countedRows_ - 1 && countedStamp_ == database_.ChangeStamp() &&
        !reverseOrder_.isEmpty()) {
        // The last record (MoveLast): read backwards, without stepping over all the others.
        cursor_ =
            SqliteStatement(database_.Connection(), "SELECT *" + from_ + reverseOrder_ + " LIMIT 1",
                            database_.Path());
        parked_ = false;
        index_ = index;
        if (!StepCursor()) return false;
        LoadRow();
        Park();  // this cursor cannot step on; the next move re-reads forwards
        return true;
    }
    // In rowid order the cursor also reads the rowid, after the fields, to anchor jumps.
    QString sql = QStringLiteral("SELECT *");
    qint64 skip = index;
    if (!rowidAlias_.isEmpty()) {
        sql += QStringLiteral(", ") + rowidAlias_ + from_;
        if (anchor_.index >= 0 && anchor_.index <= index &&
            anchor_.stamp == database_.ChangeStamp()) {
            sql += QStringLiteral(" WHERE ") + rowidAlias_ + QStringLiteral(" >= ") +
                   QString::number(anchor_.rowid);
            skip = index - anchor_.index;
        }
        sql += order_;
    } else {
        sql += from_ + order_;
    }
    if (skip > 0) sql += " LIMIT -1 OFFSET " + QString::number(skip);
    cursor_ = SqliteStatement(database_.Connection(), sql, database_.Path());
    parked_ = false;
    index_ = index;
    if (!StepCursor() || !LoadRow()) return false;
    if (index > 0 && !rowidAlias_.isEmpty()) Anchor(index);
    return true;
}

void SqliteRecordset::Anchor(qint64 index) {
    sqlite3_stmt* row = cursor_.Handle();
    const int rowidColumn = sqlite3_column_count(row) - 1;
    anchor_ = RowidAnchor{index, sqlite3_column_int64(row, rowidColumn), database_.ChangeStamp()};
}

qint64 SqliteRecordset::doCount() {
    database_.FlushWrites();
    if (!count_.IsValid())
        count_ =
            SqliteStatement(database_.Connection(), "SELECT count(*)" + from_, database_.Path());
    const qint64 stamp = database_.ChangeStamp();
    count_.Reset();
    const qint64 count = count_.Step() ? sqlite3_column_int64(count_.Handle(), 0) : 0;
    count_.Reset();
    countedRows_ = count;
    countedStamp_ = stamp;
    return count;
}

namespace {

// Binds one value of an insert. Dates and texts are written into `bytes` (kept by the
// caller with its capacity) and bound in place: the buffer outlives the step that reads it.
void BindInsertValue(sqlite3_stmt* statement, int index, const QVariant& value, QByteArray& bytes) {
    const int type = value.typeId();
    if (type == QMetaType::QDate || type == QMetaType::QTime || type == QMetaType::QDateTime) {
        if (bytes.size() < kDateTimeStorageChars) bytes.resize(kDateTimeStorageChars);
        // A null or unstorable value is left to BindValue.
        const int size = DateTimeStorageChars(value, bytes.data());
        if (size >= 0) {
            sqlite3_bind_text(statement, index, bytes.constData(), size, SQLITE_STATIC);
            return;
        }
    }
    if (type != QMetaType::QString) {
        BindValue(statement, index, value);
        return;
    }
    const QString& text = *static_cast<const QString*>(value.constData());
    QStringEncoder encoder(QStringEncoder::Utf8);
    bytes.resize(encoder.requiredSpace(text.size()));
    const char* end = encoder.appendToBuffer(bytes.data(), text);
    sqlite3_bind_text(statement, index, bytes.constData(),
                      static_cast<int>(end - bytes.constData()), SQLITE_STATIC);
}

}  // namespace

QString SqliteRecordset::InsertSql(size_t rows) const {
    QStringList names;
    QStringList marks;
    for (const auto& field : fields_.Items()) {
        names << QuoteIdentifier(field->Name());
        marks << QStringLiteral("?");
    }
    const QString row = "(" + marks.join(", ") + ")";
    QStringList values;
    for (size_t index = 0; index < rows; ++index) values << row;
    return "INSERT INTO " + QuoteIdentifier(source_) + " (" + names.join(", ") + ") VALUES " +
           values.join(", ");
}

void SqliteRecordset::doInsert() {
    const auto& items = fields_.Items();
    if (!insert_.IsValid())
        insert_ = SqliteStatement(database_.Connection(), InsertSql(1), database_.Path());
    database_.NoteInsert();
    insert_.Reset();
    insertTexts_.resize(items.size());
    for (size_t column = 0; column < items.size(); ++column)
        BindInsertValue(insert_.Handle(), static_cast<int>(column) + 1, items[column]->Value(),
                        insertTexts_[column]);
    insert_.Step();
    insert_.Reset();
}

bool SqliteRecordset::doInsertGroup(const std::vector<QVariant>* records, size_t count) {
    // One statement of many rows saves SQLite's per-statement work (opening the table,
    // finding its last rowid) on all but one of them, about a third of an insert's cost.
    // A statement is all or nothing: when a row fails, SQLite undoes the whole statement.
    const size_t columns = fields_.Items().size();
    const auto limit = static_cast<size_t>(
        sqlite3_limit(database_.Connection(), SQLITE_LIMIT_VARIABLE_NUMBER, -1));
    if (count < 2 || columns == 0 || columns * count > limit) return false;
    if (!insertGroup_.IsValid() || insertGroupRows_ != count) {
        insertGroup_ = SqliteStatement(database_.Connection(), InsertSql(count), database_.Path());
        insertGroupRows_ = count;
    }
    for (size_t row = 0; row < count; ++row) database_.NoteInsert();
    insertGroup_.Reset();
    insertTexts_.resize(columns * count);
    int index = 1;
    for (size_t row = 0; row < count; ++row)
        for (size_t column = 0; column < columns; ++column, ++index)
            BindInsertValue(insertGroup_.Handle(), index, records[row][column],
                            insertTexts_[static_cast<size_t>(index - 1)]);
    try {
        insertGroup_.Step();
    } catch (...) {
        insertGroup_.Reset();
        throw;
    }
    insertGroup_.Reset();
    return true;
}

void SqliteRecordset::doClose() {
    database_.FlushWrites();
    Park();
    Release();
}

}  // namespace morvane
