#include "export/data/odbc/OdbcTypes.h"

#include "export/data/FieldTypes.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
#include <QStringList>

namespace morvane {

short EngineTypeOfSql(int sqlType, long long size) {
    switch (sqlType) {
        case SQL_BIT:
            return dbBoolean;
        case SQL_TINYINT:
            return dbByte;
        case SQL_SMALLINT:
            return dbInteger;
        case SQL_INTEGER:
            return dbLong;
        case SQL_BIGINT:
            return dbBigInt;
        case SQL_REAL:
            return dbSingle;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return dbDouble;
        case SQL_NUMERIC:
            return dbNumeric;
        case SQL_DECIMAL:
            return dbDecimal;
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
            return size > 0 && size <= 255 ? dbText : dbMemo;
        case SQL_LONGVARCHAR:
        case SQL_WLONGVARCHAR:
            return dbMemo;
        case SQL_TYPE_DATE:
        case SQL_DATE:
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return dbDate;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return dbTime;
        case SQL_GUID:
            return dbGUID;
        case SQL_BINARY:
        case SQL_VARBINARY:
            return size > 0 && size <= 510 ? dbBinary : dbLongBinary;
        case SQL_LONGVARBINARY:
            return dbLongBinary;
        default:
            return dbMemo;  // anything else is read as its text
    }
}

std::vector<OdbcTypeChoice> SqlTypeChoices(short engineType, int size) {
    switch (engineType) {
        case dbBoolean:
            return {{SQL_BIT}, {SQL_SMALLINT}, {SQL_INTEGER}};
        case dbByte:
            return {{SQL_TINYINT}, {SQL_SMALLINT}, {SQL_INTEGER}};
        case dbInteger:
            return {{SQL_SMALLINT}, {SQL_INTEGER}};
        case dbLong:
            return {{SQL_INTEGER}, {SQL_BIGINT}};
        case dbBigInt:
            return {{SQL_BIGINT}, {SQL_NUMERIC, 19, 0}, {SQL_DECIMAL, 19, 0}};
        case dbCurrency:
            return {{SQL_NUMERIC, 19, 4}, {SQL_DECIMAL, 19, 4}, {SQL_DOUBLE}};
        case dbSingle:
            return {{SQL_REAL}, {SQL_FLOAT}, {SQL_DOUBLE}};
        case dbDouble:
        case dbFloat:
            return {{SQL_DOUBLE}, {SQL_FLOAT}, {SQL_REAL}};
        case dbNumeric:
        case dbDecimal:
            return {{SQL_NUMERIC, 38, 10}, {SQL_DECIMAL, 38, 10}, {SQL_DOUBLE}};
        case dbDate:
        case dbTimeStamp:
            return {{SQL_TYPE_TIMESTAMP}, {SQL_TIMESTAMP}, {SQL_TYPE_DATE}};
        case dbTime:
            return {{SQL_TYPE_TIME}, {SQL_TIME}, {SQL_TYPE_TIMESTAMP}};
        case dbGUID:
            return {{SQL_GUID}, {SQL_CHAR, 38}, {SQL_VARCHAR, 38}};
        case dbMemo:
            return {{SQL_LONGVARCHAR}, {SQL_WLONGVARCHAR}, {SQL_VARCHAR, 8000}};
        case dbBinary:
        case dbVarBinary:
            return {{SQL_VARBINARY, size > 0 ? size : 255},
                    {SQL_BINARY, size > 0 ? size : 255},
                    {SQL_LONGVARBINARY}};
        case dbLongBinary:
            return {{SQL_LONGVARBINARY}, {SQL_VARBINARY, 8000}};
        case dbText:
        case dbChar:
        default:
            return {{SQL_VARCHAR, size > 0 ? size : 50},
                    {SQL_WVARCHAR, size > 0 ? size : 50},
                    {SQL_CHAR, size > 0 ? size : 50}};
    }
}

QString SqlTypeDeclaration(const QString& typeName, const QString& createParams,
                           const OdbcTypeChoice& choice) {
    QStringList values;
    const QStringList params = createParams.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& param : params) {
        const QString name = param.trimmed().toLower();
        if (name.contains(QLatin1String("scale"))) {
            if (choice.scale >= 0) values << QString::number(choice.scale);
        } else if (choice.precision > 0) {
            values << QString::number(choice.precision);
        }
    }
    if (values.isEmpty()) return QString(typeName).remove(QStringLiteral("()"));
    const QString list = values.join(QLatin1Char(','));
    const qsizetype open = typeName.indexOf(QStringLiteral("()"));
    if (open >= 0) return typeName.left(open + 1) + list + typeName.mid(open + 1);
    return typeName + QLatin1Char('(') + list + QLatin1Char(')');
}

}  // namespace morvane
