#include "export/engine/ExportTable.h"

#include "export/common/ErrorReport.h"
#include "export/common/FileNames.h"
#include "export/common/Prompter.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/TableDef.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/engine/ExportCaller.h"
#include "export/engine/TypeConnect.h"

#include <QFileInfo>

namespace morvane {

namespace {

using K = TypeConnect;

const QString kLocale = QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0");
constexpr int kVersion30 = 32;

bool SameFile(const QString& a, const QString& b) {
    const QString left = QFileInfo(a).canonicalFilePath();
    return !left.isEmpty() && left == QFileInfo(b).canonicalFilePath();
}

//! Opens (or, for a missing native file, creates and then opens) the destination database.
std::shared_ptr<Database> OpenDestination(const QString& rsToDB, const ExportTableRequest& request,
                                          const DestinationDatabase& where, bool* shared) {
    *shared = false;
    if (request.typeFormat == K::Access) {
        if (request.sourceDb && request.sourceDb->IsOpen() &&
            SameFile(request.sourceDb->Name(), rsToDB)) {
            *shared = true;
            return request.sourceDb;
        }
        try {
            return DBEngine::Instance().OpenDatabase(where.name);
        } catch (const EngineError& error) {
            if (error.Number() != ErrFileNotFoundEngine) throw;
        }
        DBEngine::Instance().CreateDatabase(rsToDB, kLocale, kVersion30)->Close();
        return DBEngine::Instance().OpenDatabase(where.name);
    }
    return DBEngine::Instance().OpenDatabase(where.name, 0, false, where.connect);
}

//! The ODBC check: a table of that exact name, or owned by the user ("UID.name").
bool OdbcTableExists(Database& db, const QString& tableName, const QString& userId) {
    const QString owned = (userId + QLatin1Char('.') + tableName).toUpper();
    TableDefs& tables = db.TableDefs();
    for (int index = 0; index < tables.Count(); ++index) {
        const QString& name = tables.Item(index).Name();
        if (name == tableName || name.toUpper() == owned) return true;
    }
    return false;
}

std::shared_ptr<TableDef> DefineTable(Database& db, const QString& tableName,
                                      const ExportTableRequest& request) {
    auto tableDef = db.CreateTableDef(tableName);
    for (const QString& name : request.selectedFields) {
        if (!request.source)
            throw RuntimeError(ErrObjectNotSet,
                               QStringLiteral("Object variable or With block variable not set"));
        const Field& source = request.source->Fields().Item(name);
        auto field = tableDef->CreateField(name);
        field->SetSize(source.Size());
        field->SetRequired(source.Required());
        field->SetType(DestinationFieldType(source.Type(), request.typeFormat));
        tableDef->Fields().Append(field);
    }
    return tableDef;
}

//! Appends the table; on 3010 replaces the existing one when OverWrite is set or the user
//! agrees. False when the user declined.
bool AppendTable(Database& db, const std::shared_ptr<TableDef>& tableDef,
                 const ExportTableRequest& request) {
    for (;;) {
        try {
            db.TableDefs().Append(tableDef);
            return true;
        } catch (const EngineError& error) {
            if (error.Number() != ErrTableExists) throw;
        }
        if (!request.caller.OverWrite()) {
            const MsgResult answer =
                request.prompter.MsgBox(QStringLiteral("Table already exists - overwrite?"),
                                        MsgButtons::OKCancel, MsgIcon::Question, QString(), 2);
            if (answer != MsgResult::OK) return false;
        }
        db.TableDefs().Delete(tableDef->Name());
    }
}

void ReportMissingDriver(Prompter& prompter, const QString& fileTypeText) {
    prompter.MsgBox(QStringLiteral("The software components for this type of file (") +
                        fileTypeText + QStringLiteral(") is not installed on your computer.") +
                        QStringLiteral("\r\n") +
                        QStringLiteral("Contact your system administrator."),
                    MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Error"));
}

}  // namespace

DestinationDatabase DestinationDatabaseFor(int typeFormat, const QString& rsToDB,
                                           const QString& destConnect) {
    static const char* const kConnects[] = {
        "",           "Paradox 3.X;", "Paradox 4.X;", "Paradox 5.X;", "Dbase III;",  "Dbase IV;",
        "Dbase 5.0;", "FoxPro 2.0;",  "FoxPro 2.5;",  "FoxPro 2.6;",  "FoxPro 3.0;", "",
        "Excel 3.0;", "Excel 4.0;",   "Excel 5.0;",   "Excel 97;",    "Lotus WK1;",  "Lotus WK1;",
        "Lotus WK3;"};
    if (typeFormat == K::ODBC) return {QString(), destConnect, QStringLiteral("ODBC")};
    if (typeFormat < K::Access || typeFormat > K::Lotus3) return {rsToDB, QString(), QString()};
    const QString connect = QString::fromLatin1(kConnects[typeFormat - K::Access]);
    const bool inDirectory = typeFormat >= K::Paradox3 && typeFormat <= K::FOXPRO30;
    return {inDirectory ? FileDirectory(rsToDB) : rsToDB, connect, connect};
}

QString DestinationTableName(int typeFormat, const QString& sourceName, const QString& rsToDB) {
    if (typeFormat == K::Access || (typeFormat >= K::Excel3 && typeFormat <= K::Excel97))
        return FileBaseName(sourceName);
    const QString file = NameAfterLast(rsToDB, QStringLiteral("/"));
    const qsizetype dot = file.indexOf(QLatin1Char('.'));
    return dot < 0 ? file : file.left(dot);
}

short DestinationFieldType(short type, int typeFormat) {
    switch (type) {
        case dbLongBinary:
            return typeFormat == K::Paradox3 || typeFormat >= K::Excel3 ? short(dbBinary) : type;
        case dbMemo:
            return typeFormat == K::Paradox3 ? short(dbBinary) : type;
        case dbVarBinary:
            return typeFormat >= K::Paradox4 ? short(dbBinary) : type;
        default:
            break;
    }
    // The data-source-only types: the file formats have no such columns. Numeric and
    // decimal become Double (an Integer column would drop every fraction and overflow
    // above 32767). The native format and ODBC keep them.
    const bool fileKind = typeFormat >= K::Paradox3 && typeFormat != K::ODBC;
    if (!fileKind) return type;
    switch (type) {
        case dbBigInt:
            return dbLong;
        case dbChar:
            return dbText;
        case dbNumeric:
        case dbDecimal:
        case dbFloat:
            return dbDouble;
        case dbTime:
        case dbTimeStamp:
            return dbDate;
        default:
            return type;
    }
}

namespace {

//! Closes a destination database the run will not use (never the source's own).
void Release(ExportTableResult& result) {
    if (result.database && !result.sharedWithSource) {
        try {
            result.database->Close();
        } catch (...) {
            // Closing after a reported failure: nothing more to tell the user.
        }
    }
    result.database.reset();
}

}  // namespace

bool CreateExportTable(const QString& rsToDB, const ExportTableRequest& request,
                       ExportTableResult& result) {
    result = ExportTableResult();
    int stage = 1;
    const DestinationDatabase where =
        DestinationDatabaseFor(request.typeFormat, rsToDB, request.destConnect);
    try {
        result.database = OpenDestination(rsToDB, request, where, &result.sharedWithSource);
        result.tableName = DestinationTableName(request.typeFormat, request.sourceName, rsToDB);
        if (request.typeFormat == K::ODBC &&
            OdbcTableExists(*result.database, result.tableName, request.odbcUserId))
            return true;
        stage = 2;
        // Replacing the very table being read would destroy the source mid-run: in the
        // source's own file, a table of the source's name is never deleted or asked about.
        if (result.sharedWithSource &&
            result.tableName.compare(request.sourceName, Qt::CaseInsensitive) == 0)
            throw EngineError::Of(ErrTableExists, result.tableName);
        const auto tableDef = DefineTable(*result.database, result.tableName, request);
        if (AppendTable(*result.database, tableDef, request)) return true;
    } catch (const std::exception& error) {
        const auto* engine = dynamic_cast<const EngineError*>(&error);
        if (engine && engine->Number() == ErrDriverNotInstalled)
            ReportMissingDriver(request.prompter, where.fileTypeText);
        ErrorContext() = stage == 1 ? QStringLiteral("Error in opening DataBase ") + rsToDB
                                    : QStringLiteral("Error in creating export table '") +
                                          request.exportFile + QLatin1Char('\'');
        ShowError(request.prompter, error);
    }
    Release(result);
    return false;
}

}  // namespace morvane
