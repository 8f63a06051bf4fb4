#include "export/data/sqlite/SqliteViewQuery.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"

#include <QRegularExpression>

namespace morvane {

SqliteViewQuery::SqliteViewQuery(std::weak_ptr<Database> database, QString name, QString createSql)
    : QueryDef(std::move(database), std::move(name), 0, true), select_(SelectOf(createSql)) {}

QString SqliteViewQuery::SelectOf(const QString& createSql) {
    static const QRegularExpression pattern(
        QStringLiteral(
            "^\\s*CREATE\\s+(?:TEMP\\s+|TEMPORARY\\s+)?VIEW\\s+(?:IF\\s+NOT\\s+EXISTS\\s+)?"
            "(?:\"(?:[^\"]|\"\")*\"|\\[[^\\]]*\\]|`[^`]*`|[^\\s(]+)\\s*"
            "(?:\\([^)]*\\)\\s*)?AS\\s+(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(createSql);
    return match.hasMatch() ? match.captured(1).trimmed() : createSql;
}

std::unique_ptr<Recordset> SqliteViewQuery::doOpenRecordset(Database& database, int type,
                                                            int options) {
    return database.OpenRecordset(Name(), type == dbOpenTable ? dbOpenSnapshot : type, options);
}

void SqliteViewQuery::doExecute(Database&, int) {
    // Not reached: QueryDef::Execute refuses queries that return records.
    throw EngineError::Of(ErrSelectQueryExecute);
}

}  // namespace morvane
