#include "export/data/sqlite/SqliteStoredQuery.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/sqlite/SqliteDatabase.h"
#include "export/data/sqlite/SqliteQueryRecordset.h"
#include "export/data/sqlite/SqliteQueryText.h"

namespace morvane {

namespace {

constexpr short kSelectQuery = 0;
constexpr short kCrossTabQuery = 16;
constexpr short kPassThroughQuery = 112;

// Only a native database makes these queries, so the database is always one.
SqliteDatabase& NativeDatabase(Database& database) {
    return static_cast<SqliteDatabase&>(database);
}

}  // namespace

SqliteStoredQuery::SqliteStoredQuery(std::weak_ptr<Database> database, QString name, short type,
                                     bool returnsRecords, QString sql)
    : QueryDef(std::move(database), std::move(name), type, returnsRecords), sql_(std::move(sql)) {
    for (const QString& parameter : SqliteQueryText::Scan(sql_).ParameterNames)
        parameters_.Append(Key(), Parameter(parameter));
}

bool SqliteStoredQuery::ReturnsRecordsFor(short type, const QString& sql) {
    if (type == kSelectQuery || type == kCrossTabQuery) return true;
    return type == kPassThroughQuery && SqliteQueryText::Scan(sql).ReturnsRows();
}

std::unique_ptr<Recordset> SqliteStoredQuery::doOpenRecordset(Database& database, int type, int) {
    if (type != 0 && type != dbOpenTable && type != dbOpenDynaset && type != dbOpenSnapshot)
        throw EngineError::Of(ErrInvalidArgument);
    auto native = std::static_pointer_cast<SqliteDatabase>(database.shared_from_this());
    return std::make_unique<SqliteQueryRecordset>(native, sql_, parameters_);
}

void SqliteStoredQuery::doExecute(Database& database, int) {
    NativeDatabase(database).RunStoredQuery(sql_, parameters_);
}

}  // namespace morvane
