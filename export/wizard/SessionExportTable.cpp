// The export session's CreateExportTable: the destination table of a database kind.
#include "export/wizard/ExportSession.h"

#include "export/data/Database.h"
#include "export/data/odbc/OdbcLogon.h"
#include "export/engine/ExportTable.h"
#include "export/engine/TypeConnect.h"

namespace morvane {

bool ExportSession::CreateExportTable(const QString& rsToDB) {
    ExportTableRequest request{*caller_, prompter_};
    request.typeFormat = setting_.TypeFormat;
    request.sourceName = source_.Name();
    request.source = source_.Rs();
    request.selectedFields = lists_.Selected().Names();  // the run delivers by position
    request.exportFile = destination_.File;
    request.destConnect = destination_.Connect;
    if (setting_.TypeFormat == TypeConnect::ODBC) request.odbcUserId = OdbcLogon::Instance().UID();
    request.sourceDb = source_.SharedDb();
    ExportTableResult result;
    const bool created = morvane::CreateExportTable(rsToDB, request, result);
    destination_.Db = result.database;
    destination_.TableName = result.tableName;
    return created;
}

}  // namespace morvane
