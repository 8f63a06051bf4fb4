#include "export/data/sqlite/SqliteStatus.h"

#include <sqlite3.h>
#include <QRegularExpression>

namespace morvane {

namespace {

EngineError SqlError(const QString& message, const QString& path) {
    static const QRegularExpression noTable(QStringLiteral("^no such (?:table|view): (.*)$"));
    static const QRegularExpression exists(QStringLiteral("^(?:table|view) (.*) already exists$"));
    QRegularExpressionMatch match = noTable.match(message);
    if (match.hasMatch())
        return EngineError::Raise(
            ErrInputTableNotFound,
            QStringLiteral("The engine cannot find the input table or query '%1'. Make sure it "
                           "exists and that its name is spelled correctly.")
                .arg(match.captured(1)));
    match = exists.match(message);
    if (match.hasMatch())
        return EngineError::Raise(ErrTableExists,
                                  QStringLiteral("Table '%1' already exists.")
                                      .arg(match.captured(1).remove(QLatin1Char('"'))));
    Q_UNUSED(path);
    return EngineError::Raise(ErrSqlError,
                              QStringLiteral("Invalid SQL statement: %1.").arg(message));
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
            return EngineError::Raise(
                ErrDuplicateValue,
                QStringLiteral("The changes were not made because they would create duplicate "
                               "values in the index, primary key, or relationship (%1).")
                    .arg(message));
        default:
            break;
    }
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return EngineError::Raise(
                ErrFileInUse, QStringLiteral("Could not use '%1'; file already in use.").arg(path));
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return EngineError::Raise(
                ErrCannotOpenFile,
                QStringLiteral("Cannot open the file '%1'. It is not accessible: you may need "
                               "permission to use it, or it is not a file.")
                    .arg(path));
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return EngineError::Raise(
                ErrUnrecognizedFormat,
                QStringLiteral("Unrecognized database format '%1'.").arg(path));
        case SQLITE_READONLY:
            return EngineError::Raise(
                ErrReadOnly, QStringLiteral("Cannot update. Database or object is read-only."));
        case SQLITE_FULL:
            return EngineError::Raise(3026, QStringLiteral("Not enough space on disk."));
        case SQLITE_IOERR:
            return EngineError::Raise(3043,
                                      QStringLiteral("Disk or network error (%1).").arg(message));
        case SQLITE_CONSTRAINT:
            return EngineError::Raise(
                3317, QStringLiteral("One or more values are prohibited by a rule of the table "
                                     "(%1).")
                          .arg(message));
        case SQLITE_MISMATCH:
            return EngineError::Raise(ErrConversion, QStringLiteral("Data type conversion error."));
        case SQLITE_TOOBIG:
            return EngineError::Raise(
                ErrFieldTooSmall,
                QStringLiteral("The field is too small to accept the amount of data you "
                               "attempted to add."));
        case SQLITE_NOMEM:
        case SQLITE_INTERRUPT:
            return EngineError::Raise(3035, QStringLiteral("System resource exceeded."));
        default:
            return SqlError(message, path);
    }
}

EngineError SqliteFailure(sqlite3* connection, const QString& path) {
    return SqliteFailure(sqlite3_extended_errcode(connection),
                         QString::fromUtf8(sqlite3_errmsg(connection)), path);
}

}  // namespace morvane
