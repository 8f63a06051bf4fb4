// The export session's CreateExportTable: the destination table of a database kind.
#include "export/wizard/ExportSession.h"

#include "export/control/TypeConnect.h"
#include "export/data/Database.h"
#include "export/data/odbc/OdbcLogon.h"
#include "export/engine/ExportTable.h"

namespace morvane {

bool ExportSession::CreateExportTable(const QString& rsToDB) {
    ExportTableRequest request{*caller_, prompter_};
    request.typeFormat = Setting.TypeFormat;
    request.sourceName = SourceName;
    request.source = SourceRs.get();
    request.selectedFields = SelFields;  // the run delivers by position in this list
    request.exportFile = ExportFile;
    request.destConnect = DestConnect;
    if (Setting.TypeFormat == TypeConnect::ODBC) request.odbcUserId = OdbcLogon::Instance().UID();
    request.sourceDb = SourceDb;
    ExportTableResult result;
    const bool created = morvane::CreateExportTable(rsToDB, request, result);
    DestDb = result.database;
    DestTableName = result.tableName;
    return created;
}

}  // namespace morvane
