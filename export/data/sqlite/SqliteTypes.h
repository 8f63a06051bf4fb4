// SqliteTypes: how engine field types live in a SQLite file. A table created through the
// engine declares each column with the type name below, so it reads back with the same
// type code and size; columns of other SQLite files are mapped from their declared type
// (docs/engine.md has the full table). Values are read into the QVariant representation
// of FieldTypes.h and bound from it.
//
//   code  declared as        code  declared as        code  declared as
//   1     BOOLEAN            6     SINGLE             11    BLOB
//   2     TINYINT            7     DOUBLE             12    TEXT
//   3     SMALLINT           8     DATETIME           15    GUID
//   4     INTEGER            9     BINARY(n)          16    BIGINT
//   5     CURRENCY           10    VARCHAR(n)
#pragma once

#include "export/data/Fields.h"

#include <QString>
#include <QVariant>
#include <vector>

struct sqlite3_stmt;

namespace morvane {

//! A column's engine type code and declared size.
struct SqliteColumnType {
    short Type = 0;
    int Size = 0;
};

//! The engine type of a declared SQLite column type (any case; may be empty).
SqliteColumnType MapDeclaredType(const QString& declared);
//! The declared type a new column of engine type `type` and size `size` gets.
QString DeclaredTypeFor(short type, int size);
//! Column `column` of the current row as a value of engine type `type`. A stored value the
//! type cannot represent (text in a numeric column, say) comes back as text.
QVariant ReadColumnValue(sqlite3_stmt* statement, int column, short type);
//! The forms the engine stores Date/Time values in, parsed: "yyyy-MM-dd" gives a date
//! (answers 1), "HH:mm:ss[.zzz]" a time (2), "yyyy-MM-dd HH:mm:ss[.zzz]" both (3); any other
//! text, or a field out of range, answers 0.
int ParseStoredDate(const char* text, int size, QDate& date, QTime& time);
//! Binds `value` (already converted to the field's type) to parameter `index` (1-based).
void BindValue(sqlite3_stmt* statement, int index, const QVariant& value);

//! Appends the recordset field of one result column, locked against definition changes:
//! its type and size come from the declared type, and a name already present gets a
//! numeric suffix (a view or query may repeat a column name; field names are unique).
//! The column's type code is appended to types.
void AppendColumnField(DriverKey key, Fields& fields, std::vector<short>& types,
                       const QString& columnName, const QString& declaredType,
                       bool required = false);

//! Loads the current row of statement into the fields, column by column.
void LoadColumnValues(DriverKey key, const Fields& fields, const std::vector<short>& types,
                      sqlite3_stmt* row);

}  // namespace morvane
