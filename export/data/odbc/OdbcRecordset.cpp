#include "export/data/odbc/OdbcRecordset.h"

#include "export/data/FieldTypes.h"
#include "export/data/odbc/OdbcColumnData.h"
#include "export/data/odbc/OdbcDatabase.h"
#include "export/data/odbc/OdbcLiteral.h"
#include "export/data/odbc/OdbcTypes.h"

#include <QStringList>

namespace morvane {

OdbcRecordset::OdbcRecordset(const std::shared_ptr<OdbcDatabase>& database, const QString& from,
                             short type, bool updatable, bool appendOnly)
    : Recordset(database, type, updatable),
      database_(*database),
      from_(from),
      select_(QStringLiteral("SELECT * FROM ") + from +
              (appendOnly ? QStringLiteral(" WHERE 1 = 0") : QString())) {
    Execute();
    SQLSMALLINT columns = 0;
    OdbcCheck(SQLNumResultCols(cursor_.Get(), &columns), cursor_);
    for (SQLSMALLINT column = 1; column <= columns; ++column) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        OdbcCheck(SQLDescribeColW(cursor_.Get(), static_cast<SQLUSMALLINT>(column), name, 256,
                                  &nameLength, &sqlType, &size, &digits, &nullable),
                  cursor_);
        const short engineType = EngineTypeOfSql(sqlType, static_cast<long long>(size));
        QString fieldName =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(name), qMin<int>(nameLength, 255));
        auto field = std::make_shared<Field>(fieldName, engineType,
                                             engineType == dbText ? static_cast<int>(size) : 0);
        field->SetRequired(nullable == SQL_NO_NULLS);
        fields_.Append(field);
        field->SetDefinitionLocked(Key(), true);
        types_.push_back(engineType);
    }
    fields_.SetLocked(Key(), true);
    Start();
}

OdbcRecordset::~OdbcRecordset() {
    doClose();
}

void OdbcRecordset::Execute() {
    cursor_ = database_.NewStatement();
    std::u16string sql = ToOdbcText(select_);
    OdbcCheck(SQLExecDirectW(cursor_.Get(), OdbcText(sql), static_cast<SQLINTEGER>(sql.size())),
              cursor_);
    index_ = -1;
    done_ = false;
}

bool OdbcRecordset::FetchRow() {
    if (done_ || !OdbcFetch(cursor_)) {
        done_ = true;
        return false;
    }
    ++index_;
    const auto& items = fields_.Items();
    for (size_t column = 0; column < items.size(); ++column)
        items[column]->LoadValue(
            Key(), ColumnValue(cursor_, static_cast<int>(column) + 1, types_[column]));
    return true;
}

bool OdbcRecordset::doSeek(qint64 index) {
    if (index < 0) return false;
    if (!cursor_.IsValid() || index <= index_) Execute();
    while (index_ < index)
        if (!FetchRow()) return false;
    return true;
}

bool OdbcRecordset::doNext() {
    if (!cursor_.IsValid()) return doSeek(index_ + 1);
    return FetchRow();
}

qint64 OdbcRecordset::doCount() {
    OdbcHandle statement = database_.NewStatement();
    std::u16string sql = ToOdbcText(QStringLiteral("SELECT COUNT(*) FROM ") + from_);
    OdbcCheck(SQLExecDirectW(statement.Get(), OdbcText(sql), static_cast<SQLINTEGER>(sql.size())),
              statement);
    if (!OdbcFetch(statement)) return 0;
    return ColumnInteger(statement, 1).toLongLong();
}

void OdbcRecordset::doInsert() {
    QStringList names;
    QStringList values;
    for (const auto& field : fields_.Items()) {
        const QVariant& value = field->Value();
        if (value.isNull()) continue;
        if (field->Type() == dbBinary || field->Type() == dbLongBinary ||
            field->Type() == dbVarBinary)
            throw EngineError::Of(ErrOdbcCallFailed,
                                  QStringLiteral("Binary values cannot be inserted (field '%1').")
                                      .arg(field->Name()));
        names << database_.QuoteIdentifier(field->Name());
        values << OdbcLiteral(value, field->Type());
    }
    QString sql = QStringLiteral("INSERT INTO ") + from_;
    if (names.isEmpty())
        sql += QStringLiteral(" DEFAULT VALUES");
    else
        sql += QLatin1Char('(') + names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
               values.join(QLatin1Char(',')) + QLatin1Char(')');
    database_.Run(sql);
}

void OdbcRecordset::doClose() {
    // Once the database has disconnected, its statements are gone with the connection;
    // freeing one again would touch freed memory.
    if (database_.IsOpen())
        cursor_.Free();
    else
        cursor_.Forget();
}

}  // namespace morvane
