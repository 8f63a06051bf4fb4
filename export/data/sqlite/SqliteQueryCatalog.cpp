#include "export/data/sqlite/SqliteQueryCatalog.h"

#include "export/data/sqlite/SqliteStatement.h"

#include <sqlite3.h>

namespace morvane {

namespace {

QString ColumnText(sqlite3_stmt* row, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, column)));
}

void BindText(sqlite3_stmt* statement, int index, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
}

}  // namespace

const QString& SqliteQueryCatalog::TableName() {
    static const QString name = QStringLiteral("morvane_queries");
    return name;
}

void SqliteQueryCatalog::Run(const QString& sql) const {
    SqliteStatement statement(connection_, sql, path_);
    while (statement.Step()) {
    }
}

bool SqliteQueryCatalog::Exists() const {
    SqliteStatement statement(
        connection_,
        "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = '" + TableName() + "'", path_);
    return statement.Step();
}

std::vector<SqliteQueryCatalog::Entry> SqliteQueryCatalog::Entries() const {
    std::vector<Entry> entries;
    if (!Exists()) return entries;
    SqliteStatement list(
        connection_,
        "SELECT Name, Type, ReturnsRecords, SQL FROM " + TableName() + " ORDER BY rowid", path_);
    while (list.Step()) {
        sqlite3_stmt* row = list.Handle();
        entries.push_back({ColumnText(row, 0), static_cast<short>(sqlite3_column_int(row, 1)),
                           sqlite3_column_int(row, 2) != 0, ColumnText(row, 3)});
    }
    return entries;
}

void SqliteQueryCatalog::Add(const Entry& entry) {
    Run("CREATE TABLE IF NOT EXISTS " + TableName() +
        " (Name TEXT NOT NULL UNIQUE COLLATE NOCASE, Type INTEGER NOT NULL, "
        "ReturnsRecords BOOLEAN NOT NULL, SQL TEXT NOT NULL)");
    SqliteStatement insert(
        connection_,
        "INSERT INTO " + TableName() + " (Name, Type, ReturnsRecords, SQL) VALUES (?1, ?2, ?3, ?4)",
        path_);
    BindText(insert.Handle(), 1, entry.Name);
    sqlite3_bind_int(insert.Handle(), 2, entry.Type);
    sqlite3_bind_int(insert.Handle(), 3, entry.ReturnsRecords ? 1 : 0);
    BindText(insert.Handle(), 4, entry.SQL);
    insert.Step();
}

bool SqliteQueryCatalog::Remove(const QString& name) {
    if (!Exists()) return false;
    SqliteStatement remove(connection_, "DELETE FROM " + TableName() + " WHERE Name = ?1", path_);
    BindText(remove.Handle(), 1, name);
    remove.Step();
    remove.Finalize();
    if (sqlite3_changes(connection_) == 0) return false;
    SqliteStatement left(connection_, "SELECT count(*) FROM " + TableName(), path_);
    if (left.Step() && sqlite3_column_int(left.Handle(), 0) == 0) {
        left.Finalize();
        Run("DROP TABLE " + TableName());
    }
    return true;
}

}  // namespace morvane
