#include "export/data/QueryDef.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/Recordset.h"

namespace morvane {

QueryDef::QueryDef(std::weak_ptr<Database> database, QString name, short type, bool returnsRecords)
    : database_(std::move(database)),
      name_(std::move(name)),
      type_(type),
      returnsRecords_(returnsRecords) {}

QueryDef::~QueryDef() = default;

Database& QueryDef::OpenDatabase() const {
    const std::shared_ptr<Database> database = database_.lock();
    if (!database || !database->IsOpen()) throw EngineError::Of(ErrObjectInvalid);
    return *database;
}

std::unique_ptr<Recordset> QueryDef::OpenRecordset(int type, int options) {
    // Held when the query came from QueryDefs; a caller's reference stays valid meanwhile.
    const std::shared_ptr<QueryDef> keepAlive = weak_from_this().lock();
    Database& database = OpenDatabase();
    if (!returnsRecords_) throw EngineError::Of(ErrInvalidOperation);
    return doOpenRecordset(database, type, options);
}

void QueryDef::Execute(int options) {
    // The statement may change the schema, which makes QueryDefs drop its list (and with it
    // its reference to this query) on its next use.
    const std::shared_ptr<QueryDef> keepAlive = weak_from_this().lock();
    Database& database = OpenDatabase();
    if (returnsRecords_) throw EngineError::Of(ErrSelectQueryExecute);
    doExecute(database, options);
}

}  // namespace morvane
