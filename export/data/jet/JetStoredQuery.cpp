#include "export/data/jet/JetStoredQuery.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/jet/JetRecordset.h"

#include <mdbsql.h>

namespace morvane {

namespace {

bool ReturnsRecordsFor(short type) {
    return type == 0 || type == 16 || type == 112 || type == 128;
}

// Releases libmdb's SQL state (mdb_sql_exit frees the object too) without closing the
// file it borrowed.
void FreeSql(MdbSQL* sql) {
    sql->mdb = nullptr;
    mdb_sql_exit(sql);
}

}  // namespace

JetStoredQuery::JetStoredQuery(std::weak_ptr<Database> database, std::shared_ptr<JetFile> file,
                               QString name, short type, JetQuerySql definition)
    : QueryDef(std::move(database), std::move(name), type, ReturnsRecordsFor(type)),
      file_(std::move(file)),
      definition_(std::move(definition)) {
    for (const auto& parameter : definition_.Parameters())
        parameters_.Append(Key(), Parameter(parameter.first, parameter.second));
}

QString JetStoredQuery::Unsupported() const {
    switch (Type()) {
        case 0:
            return definition_.SimpleSelectProblem();
        case 16:
            return QStringLiteral("a crosstab query");
        case 112:
            return QStringLiteral("a pass-through query needs its server");
        case 128:
            return QStringLiteral("a union query");
        default:
            return QStringLiteral("an action query");
    }
}

void JetStoredQuery::RaiseCannotRun(const QString& why) const {
    throw EngineError::Of(ErrNotSupported, QStringLiteral("the query '%1' cannot be opened: the Jet reader cannot run %2.").arg(Name(), why));
}

std::unique_ptr<Recordset> JetStoredQuery::doOpenRecordset(Database& database, int type, int) {
    const QString problem = Unsupported();
    if (!problem.isEmpty()) RaiseCannotRun(problem);
    MdbSQL* sql = mdb_sql_init();
    sql->mdb = file_->Handle();
    const QByteArray text = definition_.MdbSql().toUtf8();
    if (!mdb_sql_run_query(sql, text.constData()) || !sql->cur_table ||
        sql->cur_table->num_cols == 0) {
        const QString message = QString::fromUtf8(sql->error_msg);
        FreeSql(sql);
        RaiseCannotRun(QStringLiteral("its SQL (%1)").arg(message));
    }
    std::vector<int> columns;
    auto cursor = std::make_unique<JetCursor>(file_, sql->cur_table, JetCursor::Borrowed);
    for (guint index = 0; index < sql->columns->len; ++index) {
        const auto* column = static_cast<MdbSQLColumn*>(g_ptr_array_index(sql->columns, index));
        const int ordinal = cursor->ColumnIndex(QByteArray(column->name));
        if (ordinal < 0) {
            cursor.reset();
            FreeSql(sql);
            RaiseCannotRun(QStringLiteral("its column list"));
        }
        columns.push_back(ordinal);
    }
    return std::make_unique<JetRecordset>(
        database.shared_from_this(), std::move(cursor), std::move(columns),
        static_cast<short>(type == 0 ? dbOpenSnapshot : type), [sql] { FreeSql(sql); });
}

void JetStoredQuery::doExecute(Database&, int) {
    throw EngineError::Of(ErrReadOnly);
}

}  // namespace morvane
