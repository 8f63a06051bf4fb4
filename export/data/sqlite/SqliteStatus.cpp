#include "export/data/sqlite/SqliteStatus.h"

#include <sqlite3.h>
#include <QRegularExpression>

namespace morvane {

namespace {

EngineError SqlError(const QString& message, const QString& path) {
    static const QRegularExpression noTable(QStringLiteral("^no such (?:table|view): (.*)$"));
    static const QRegularExpression exists(QStringLiteral("^(?:table|view) (.*) already exists$"));
    QRegularExpressionMatch match = noTable.match(message);
    if (match.hasMatch()) return EngineError::Of(ErrInputTableNotFound, match.captured(1));
    match = exists.match(message);
    if (match.hasMatch())
        return EngineError::Of(ErrTableExists, match.captured(1).remove(QLatin1Char('"')));
    Q_UNUSED(path);
    return EngineError::Of(ErrSqlError, message);
}

}  // namespace

EngineError SqliteFailure(int code, const QString& message, const QString& path) {
    switch (code) {
        case SQLITE_CONSTRAINT_NOTNULL:
            return EngineError::Raise(ErrRequiredNull,
                                      QStringLiteral("A required field cannot contain a Null "
                                                     "value (%1).")
                                          .arg(message));
        case SQLITE_CONSTRAINT_UNIQUE:
        case SQLITE_CONSTRAINT_PRIMARYKEY:
            return EngineError::Of(ErrDuplicateValue, message);
        default:
            break;
    }
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return EngineError::Of(ErrFileInUse, path);
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return EngineError::Of(ErrCannotOpenFile, path);
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return EngineError::Of(ErrUnrecognizedFormat, path);
        case SQLITE_READONLY:
            return EngineError::Of(ErrReadOnly);
        case SQLITE_FULL:
            return EngineError::Of(ErrDiskFull);
        case SQLITE_IOERR:
            return EngineError::Of(ErrDiskIO, message);
        case SQLITE_CONSTRAINT:
            return EngineError::Of(ErrRuleViolation, message);
        case SQLITE_MISMATCH:
            return EngineError::Of(ErrConversion);
        case SQLITE_TOOBIG:
            return EngineError::Raise(
                ErrFieldTooSmall,
                QStringLiteral("The field is too small to accept the amount of data you "
                               "attempted to add."));
        case SQLITE_NOMEM:
        case SQLITE_INTERRUPT:
            return EngineError::Of(ErrResourceExceeded);
        default:
            return SqlError(message, path);
    }
}

EngineError SqliteFailure(sqlite3* connection, const QString& path) {
    return SqliteFailure(sqlite3_extended_errcode(connection),
                         QString::fromUtf8(sqlite3_errmsg(connection)), path);
}

}  // namespace morvane
