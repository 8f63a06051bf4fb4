#include "export/data/odbc/OdbcColumnData.h"

#include "export/data/FieldTypes.h"

#include <QDateTime>
#include <QUuid>

namespace morvane {

namespace {

QVariant ColumnBytes(const OdbcHandle& statement, int column) {
    QByteArray bytes;
    char buffer[8192];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN code = SQLGetData(statement.Get(), static_cast<SQLUSMALLINT>(column),
                                          SQL_C_BINARY, buffer, sizeof buffer, &indicator);
        if (code == SQL_NO_DATA) break;
        OdbcCheck(code, statement);
        if (indicator == SQL_NULL_DATA) return QVariant();
        const SQLLEN piece = (indicator == SQL_NO_TOTAL || indicator > SQLLEN(sizeof buffer))
                                 ? SQLLEN(sizeof buffer)
                                 : indicator;
        bytes.append(buffer, static_cast<qsizetype>(piece));
        if (code == SQL_SUCCESS) break;
    }
    return bytes;
}

template <typename T>
bool ColumnFixed(const OdbcHandle& statement, int column, SQLSMALLINT cType, T* value) {
    SQLLEN indicator = 0;
    OdbcCheck(SQLGetData(statement.Get(), static_cast<SQLUSMALLINT>(column), cType, value,
                         sizeof(T), &indicator),
              statement);
    return indicator != SQL_NULL_DATA;
}

}  // namespace

bool OdbcFetch(const OdbcHandle& statement) {
    const SQLRETURN code = SQLFetch(statement.Get());
    if (code == SQL_NO_DATA) return false;
    OdbcCheck(code, statement);
    return true;
}

QVariant ColumnText(const OdbcHandle& statement, int column) {
    QString text;
    SQLWCHAR buffer[4096];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN code = SQLGetData(statement.Get(), static_cast<SQLUSMALLINT>(column),
                                          SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        if (code == SQL_NO_DATA) break;
        OdbcCheck(code, statement);
        if (indicator == SQL_NULL_DATA) return QVariant();
        // Each piece but the last fills the buffer up to its terminating zero.
        const SQLLEN capacity = SQLLEN(sizeof buffer) - SQLLEN(sizeof(SQLWCHAR));
        const SQLLEN bytes =
            (indicator == SQL_NO_TOTAL || indicator > capacity) ? capacity : indicator;
        text += QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer),
                                   static_cast<qsizetype>(bytes / SQLLEN(sizeof(SQLWCHAR))));
        if (code == SQL_SUCCESS) break;
    }
    return text;
}

QVariant ColumnInteger(const OdbcHandle& statement, int column) {
    SQLBIGINT value = 0;
    if (!ColumnFixed(statement, column, SQL_C_SBIGINT, &value)) return QVariant();
    return QVariant::fromValue(static_cast<qlonglong>(value));
}

QVariant ColumnValue(const OdbcHandle& statement, int column, short type) {
    switch (type) {
        case dbBoolean: {
            const QVariant number = ColumnInteger(statement, column);
            return number.isNull() ? QVariant() : QVariant(number.toLongLong() != 0);
        }
        case dbByte:
        case dbInteger:
        case dbLong: {
            const QVariant number = ColumnInteger(statement, column);
            return number.isNull() ? QVariant() : QVariant(static_cast<int>(number.toLongLong()));
        }
        case dbBigInt:
            return ColumnInteger(statement, column);
        case dbSingle: {
            SQLREAL value = 0;
            return ColumnFixed(statement, column, SQL_C_FLOAT, &value) ? QVariant(value)
                                                                       : QVariant();
        }
        case dbCurrency:
        case dbDouble:
        case dbFloat: {
            SQLDOUBLE value = 0;
            return ColumnFixed(statement, column, SQL_C_DOUBLE, &value) ? QVariant(value)
                                                                        : QVariant();
        }
        case dbDate:
        case dbTimeStamp: {
            SQL_TIMESTAMP_STRUCT when{};
            if (!ColumnFixed(statement, column, SQL_C_TYPE_TIMESTAMP, &when)) return QVariant();
            return QDateTime(QDate(when.year, when.month, when.day),
                             QTime(when.hour, when.minute, when.second,
                                   static_cast<int>(when.fraction / 1000000)));
        }
        case dbTime: {
            SQL_TIME_STRUCT when{};
            if (!ColumnFixed(statement, column, SQL_C_TYPE_TIME, &when)) return QVariant();
            return QTime(when.hour, when.minute, when.second);
        }
        case dbGUID: {
            const QVariant text = ColumnText(statement, column);
            return text.isNull() ? QVariant() : QVariant::fromValue(QUuid(text.toString()));
        }
        case dbBinary:
        case dbLongBinary:
        case dbVarBinary:
            return ColumnBytes(statement, column);
        default:
            return ColumnText(statement, column);
    }
}

}  // namespace morvane
