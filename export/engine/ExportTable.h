// ExportTable: the destination table of a database export (CreateExportTable). It opens
// the destination database through the engine (creating a missing native file), works out
// the table name, and creates a table whose fields copy the name, size, type and required
// flag of the selected source fields, in export order. Failures are reported to the user
// here; the caller only learns whether it may go on.
//
//   kind                   database opened               connect         table name
//   4 Access               the file                      (none)          base of SourceName
//   5-7 Paradox 3/4/5      FileDirectory(file)           "Paradox 3.X;"  file name to first "."
//   8-10 dBASE III/IV/5    FileDirectory(file)           "Dbase III;"    file name to first "."
//   11-14 FoxPro 2.0-3.0   FileDirectory(file)           "FoxPro 2.0;"   file name to first "."
//   15 ODBC                ""                            DestConnect     file name to first "."
//   16-19 Excel 3/4/5/97   the file                      "Excel 3.0;"    base of SourceName
//   20-22 Lotus            the file                      "Lotus WK1;"    file name to first "."
//
// A native destination that is the source's own file reuses the source's database, so
// the source's read cursor and the destination's writes share one connection.
//
// Usage (the export session does this):
//   ExportTableRequest request{...};
//   ExportTableResult result;
//   if (!CreateExportTable(exportFile, request, result)) return;   // already reported
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace morvane {

class Database;
class ExportCaller;
class Prompter;
class Recordset;

//! What CreateExportTable reads of its session.
struct ExportTableRequest {
    ExportTableRequest(ExportCaller& caller, Prompter& prompter)
        : caller(caller), prompter(prompter) {}

    ExportCaller& caller;  //!< its OverWrite property answers the "already exists" question
    Prompter& prompter;
    int typeFormat = 0;
    QString sourceName;
    Recordset* source = nullptr;
    QStringList selectedFields;          //!< export order
    QString exportFile;                  //!< for the stage-2 heading
    QString destConnect;                 //!< the ODBC connect string
    QString odbcUserId;                  //!< the logon's user id (owner-qualified existing tables)
    std::shared_ptr<Database> sourceDb;  //!< reused when the destination is the same file
};

struct ExportTableResult {
    std::shared_ptr<Database> database;  //!< DestDb
    QString tableName;                   //!< DestTableName
    bool sharedWithSource = false;       //!< database is the source's: never close it
};

//! Where a kind's destination database is: the name and connect string OpenDatabase gets,
//! and the file-type text of the missing-driver message.
struct DestinationDatabase {
    QString name;
    QString connect;
    QString fileTypeText;
};

DestinationDatabase DestinationDatabaseFor(int typeFormat, const QString& rsToDB,
                                           const QString& destConnect);
QString DestinationTableName(int typeFormat, const QString& sourceName, const QString& rsToDB);
//! The type a destination field of kind `typeFormat` gets for a source field of `type`.
short DestinationFieldType(short type, int typeFormat);

//! True when the destination table exists and result is filled; false when the run must
//! stop (the user has been told why, or declined to overwrite).
bool CreateExportTable(const QString& rsToDB, const ExportTableRequest& request,
                       ExportTableResult& result);

}  // namespace morvane
