#include "export/data/sqlite/SqliteTypes.h"

#include "export/data/FieldTypes.h"
#include "export/data/FieldValue.h"

#include <sqlite3.h>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUuid>

namespace morvane {

namespace {

// Declared type names (without size) with a fixed meaning; text and binary names use the
// size written in parentheses.
const QHash<QString, short>& NamedTypes() {
    static const QHash<QString, short> types = {
        {"BOOLEAN", dbBoolean},
        {"BOOL", dbBoolean},
        {"BIT", dbBoolean},
        {"YESNO", dbBoolean},
        {"LOGICAL", dbBoolean},
        {"TINYINT", dbByte},
        {"BYTE", dbByte},
        {"SMALLINT", dbInteger},
        {"INT2", dbInteger},
        {"SHORT", dbInteger},
        {"INTEGER", dbLong},
        {"INT", dbLong},
        {"MEDIUMINT", dbLong},
        {"INT4", dbLong},
        {"LONG", dbLong},
        {"COUNTER", dbLong},
        {"BIGINT", dbBigInt},
        {"INT8", dbBigInt},
        {"UNSIGNED BIG INT", dbBigInt},
        {"CURRENCY", dbCurrency},
        {"MONEY", dbCurrency},
        {"SMALLMONEY", dbCurrency},
        {"SINGLE", dbSingle},
        {"FLOAT4", dbSingle},
        {"REAL", dbDouble},
        {"DOUBLE", dbDouble},
        {"DOUBLE PRECISION", dbDouble},
        {"FLOAT", dbDouble},
        {"FLOAT8", dbDouble},
        {"NUMERIC", dbDouble},
        {"DECIMAL", dbDouble},
        {"NUMBER", dbDouble},
        {"DATE", dbDate},
        {"DATETIME", dbDate},
        {"TIMESTAMP", dbDate},
        {"TIME", dbDate},
        {"DATETIME2", dbDate},
        {"SMALLDATETIME", dbDate},
        {"BLOB", dbLongBinary},
        {"LONGBLOB", dbLongBinary},
        {"MEDIUMBLOB", dbLongBinary},
        {"IMAGE", dbLongBinary},
        {"LONGBINARY", dbLongBinary},
        {"BYTEA", dbLongBinary},
        {"OLEOBJECT", dbLongBinary},
        {"GUID", dbGUID},
        {"UUID", dbGUID},
        {"UNIQUEIDENTIFIER", dbGUID},
    };
    return types;
}

bool IsTextName(const QString& name) {
    static const QStringList names = {"VARCHAR",
                                      "NVARCHAR",
                                      "CHAR",
                                      "NCHAR",
                                      "CHARACTER",
                                      "VARYING CHARACTER",
                                      "NATIVE CHARACTER",
                                      "TEXT",
                                      "STRING",
                                      "VARCHAR2",
                                      "NVARCHAR2",
                                      "CLOB",
                                      "MEMO",
                                      "LONGTEXT",
                                      "MEDIUMTEXT",
                                      "NTEXT",
                                      "LONGCHAR"};
    return names.contains(name);
}

// SQLite's own affinity rules, for declared types we do not know by name.
SqliteColumnType ByAffinity(const QString& name, int size) {
    if (name.contains("INT")) return {dbLong, 4};
    if (name.contains("CHAR") || name.contains("CLOB") || name.contains("TEXT"))
        return size > 0 && size <= 255 ? SqliteColumnType{dbText, size}
                                       : SqliteColumnType{dbMemo, 0};
    if (name.contains("BLOB")) return {dbLongBinary, 0};
    return {dbDouble, 8};  // REAL and NUMERIC affinity
}

QVariant WholeNumber(sqlite3_int64 value) {
    if (value >= INT32_MIN && value <= INT32_MAX) return QVariant(static_cast<int>(value));
    return QVariant::fromValue(static_cast<qlonglong>(value));
}

QString ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

// The decimal value of `count` digits at text; false when one of them is no digit.
bool ReadDigits(const char* text, int count, int& value) {
    value = 0;
    for (int index = 0; index < count; ++index) {
        const char digit = text[index];
        if (digit < '0' || digit > '9') return false;
        value = value * 10 + (digit - '0');
    }
    return true;
}

bool ReadStoredTime(const char* text, int size, QTime& time) {
    int hour = 0, minute = 0, second = 0, msec = 0;
    if (size != 8 && size != 12) return false;
    if (text[2] != ':' || text[5] != ':' || (size == 12 && text[8] != '.')) return false;
    if (!ReadDigits(text, 2, hour) || !ReadDigits(text + 3, 2, minute) ||
        !ReadDigits(text + 6, 2, second) || (size == 12 && !ReadDigits(text + 9, 3, msec)))
        return false;
    time = QTime(hour, minute, second, msec);
    return time.isValid();
}

bool ReadStoredDay(const char* text, QDate& date) {
    int year = 0, month = 0, day = 0;
    if (text[4] != '-' || text[7] != '-' || !ReadDigits(text, 4, year) ||
        !ReadDigits(text + 5, 2, month) || !ReadDigits(text + 8, 2, day))
        return false;
    date = QDate(year, month, day);
    return date.isValid();
}

// The forms the engine stores Date/Time values in, read without the general parser because
// this runs for every date of every exported row. The result is the value ParseDateTimeText
// gives for the same text; anything else (other forms, out-of-range fields) answers an
// invalid QVariant and is left to ParseDateTimeText.
QVariant ReadStoredDate(const char* text, int size) {
    QDate date;
    QTime time;
    switch (ParseStoredDate(text, size, date, time)) {
        case 1:
            return date;
        case 2:
            return time;
        case 3:
            return QDateTime(date, time);
        default:
            return QVariant();
    }
}

QVariant ReadDate(sqlite3_stmt* statement, int column, int storage) {
    if (storage == SQLITE_INTEGER)  // SQLite's convention: seconds since 1970 (UTC)
        return QDateTime::fromSecsSinceEpoch(sqlite3_column_int64(statement, column),
                                             QTimeZone::utc());
    if (storage == SQLITE_FLOAT) {  // SQLite's convention: Julian day number
        const double julian = sqlite3_column_double(statement, column);
        const qint64 msecs = qRound64((julian - 2440587.5) * 86400000.0);
        return QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone::utc());
    }
    if (storage == SQLITE_TEXT) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        const QVariant stored = ReadStoredDate(bytes, sqlite3_column_bytes(statement, column));
        if (stored.isValid()) return stored;
    }
    const QString text = ColumnText(statement, column);
    const QVariant parsed = ParseDateTimeText(text);
    return parsed.isNull() ? QVariant(text) : parsed;
}

QVariant ReadNumber(sqlite3_stmt* statement, int column, int storage, short type) {
    if (storage == SQLITE_TEXT || storage == SQLITE_BLOB) return ColumnText(statement, column);
    switch (type) {
        case dbBoolean:
            return sqlite3_column_int64(statement, column) != 0;
        case dbByte:
        case dbInteger:
        case dbLong:
            if (storage == SQLITE_INTEGER)
                return WholeNumber(sqlite3_column_int64(statement, column));
            return sqlite3_column_double(statement, column);
        case dbBigInt:
            if (storage == SQLITE_INTEGER)
                return QVariant::fromValue(
                    static_cast<qlonglong>(sqlite3_column_int64(statement, column)));
            return sqlite3_column_double(statement, column);
        case dbSingle:
            return static_cast<float>(sqlite3_column_double(statement, column));
        default:
            return sqlite3_column_double(statement, column);
    }
}

}  // namespace

SqliteColumnType MapDeclaredType(const QString& declared) {
    static const QRegularExpression pattern(
        QStringLiteral("^([^(]*?)\\s*(?:\\(\\s*(\\d+)[^)]*\\))?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(declared.trimmed().toUpper());
    const QString name = match.captured(1).simplified();
    const int size = match.captured(2).toInt();
    if (name.isEmpty()) return {dbMemo, 0};
    if (name == "BINARY" || name == "VARBINARY")
        return size > 0 && size <= 510 ? SqliteColumnType{dbBinary, size}
                                       : SqliteColumnType{dbLongBinary, 0};
    if (IsTextName(name))
        return size > 0 && size <= 255 ? SqliteColumnType{dbText, size}
                                       : SqliteColumnType{dbMemo, 0};
    const auto named = NamedTypes().constFind(name);
    if (named != NamedTypes().constEnd()) return {named.value(), 0};
    return ByAffinity(name, size);
}

QString DeclaredTypeFor(short type, int size) {
    switch (type) {
        case dbBoolean:
            return QStringLiteral("BOOLEAN");
        case dbByte:
            return QStringLiteral("TINYINT");
        case dbInteger:
            return QStringLiteral("SMALLINT");
        case dbLong:
            return QStringLiteral("INTEGER");
        case dbCurrency:
            return QStringLiteral("CURRENCY");
        case dbSingle:
            return QStringLiteral("SINGLE");
        case dbDouble:
        case dbFloat:
        case dbNumeric:
        case dbDecimal:
            return QStringLiteral("DOUBLE");
        case dbDate:
        case dbTime:
        case dbTimeStamp:
            return QStringLiteral("DATETIME");
        case dbBinary:
        case dbVarBinary:
            return QStringLiteral("BINARY(%1)").arg(size > 0 ? size : 255);
        case dbText:
        case dbChar:
            return QStringLiteral("VARCHAR(%1)").arg(size > 0 ? size : 50);
        case dbLongBinary:
            return QStringLiteral("BLOB");
        case dbGUID:
            return QStringLiteral("GUID");
        case dbBigInt:
            return QStringLiteral("BIGINT");
        default:
            return QStringLiteral("TEXT");
    }
}

QVariant ReadColumnValue(sqlite3_stmt* statement, int column, short type) {
    const int storage = sqlite3_column_type(statement, column);
    if (storage == SQLITE_NULL) return QVariant();
    switch (type) {
        case dbBoolean:
        case dbByte:
        case dbInteger:
        case dbLong:
        case dbBigInt:
        case dbCurrency:
        case dbSingle:
        case dbDouble:
        case dbFloat:
            return ReadNumber(statement, column, storage, type);
        case dbDate:
        case dbTime:
        case dbTimeStamp:
            return ReadDate(statement, column, storage);
        case dbBinary:
        case dbLongBinary:
        case dbVarBinary: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
            return QByteArray(bytes, sqlite3_column_bytes(statement, column));
        }
        case dbGUID: {
            if (storage == SQLITE_BLOB && sqlite3_column_bytes(statement, column) == 16) {
                const auto* bytes =
                    static_cast<const char*>(sqlite3_column_blob(statement, column));
                return QVariant::fromValue(QUuid::fromRfc4122(QByteArray(bytes, 16)));
            }
            const QString text = ColumnText(statement, column);
            const QUuid uuid(text);
            return uuid.isNull() ? QVariant(text) : QVariant::fromValue(uuid);
        }
        default:
            return ColumnText(statement, column);
    }
}

int ParseStoredDate(const char* text, int size, QDate& date, QTime& time) {
    if (size == 10) return ReadStoredDay(text, date) ? 1 : 0;
    if (size == 8 || size == 12) return ReadStoredTime(text, size, time) ? 2 : 0;
    if ((size == 19 || size == 23) && text[10] == ' ' && ReadStoredDay(text, date) &&
        ReadStoredTime(text + 11, size - 11, time))
        return 3;
    return 0;
}

void BindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (value.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    // The plain types are read where the variant holds them, as toLongLong and toDouble
    // would give them, without the general conversion those take.
    const void* held = value.constData();
    switch (value.typeId()) {
        case QMetaType::Bool:
            sqlite3_bind_int(statement, index, *static_cast<const bool*>(held) ? 1 : 0);
            return;
        case QMetaType::Int:
            sqlite3_bind_int64(statement, index, *static_cast<const int*>(held));
            return;
        case QMetaType::LongLong:
            sqlite3_bind_int64(statement, index, *static_cast<const qlonglong*>(held));
            return;
        case QMetaType::Double:
            sqlite3_bind_double(statement, index, *static_cast<const double*>(held));
            return;
        case QMetaType::Float:
            sqlite3_bind_double(statement, index, *static_cast<const float*>(held));
            return;
        case QMetaType::QDate:
        case QMetaType::QTime:
        case QMetaType::QDateTime: {
            char stored[kDateTimeStorageChars];
            const int size = DateTimeStorageChars(value, stored);
            if (size >= 0) {
                sqlite3_bind_text(statement, index, stored, size, SQLITE_TRANSIENT);
                return;
            }
            const QByteArray text = DateTimeStorageText(value).toUtf8();
            sqlite3_bind_text(statement, index, text.constData(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT);
            return;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob(statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                              SQLITE_TRANSIENT);
            return;
        }
        default: {
            const QByteArray text = value.typeId() == QMetaType::QUuid
                                        ? value.toUuid().toString().toUtf8()
                                        : value.toString().toUtf8();
            sqlite3_bind_text(statement, index, text.constData(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT);
        }
    }
}

void AppendColumnField(DriverKey key, Fields& fields, std::vector<short>& types,
                       const QString& columnName, const QString& declaredType, bool required) {
    QString name = columnName;
    for (int suffix = 1; fields.IndexOf(name) >= 0; ++suffix)
        name = columnName + QLatin1Char('_') + QString::number(suffix);
    const SqliteColumnType column = MapDeclaredType(declaredType);
    auto field = std::make_shared<Field>(name, column.Type, column.Size);
    field->SetRequired(required);
    field->SetDefinitionLocked(key, true);
    fields.Append(field);
    types.push_back(column.Type);
}

void LoadColumnValues(DriverKey key, const Fields& fields, const std::vector<short>& types,
                      sqlite3_stmt* row) {
    const auto& items = fields.Items();
    for (size_t column = 0; column < items.size(); ++column)
        items[column]->LoadValue(key,
                                 ReadColumnValue(row, static_cast<int>(column), types[column]));
}

}  // namespace morvane
