#include "export/data/sqlite/SqliteDatabase.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/ObjectNames.h"
#include "export/data/sqlite/SqliteParameterBinding.h"
#include "export/data/sqlite/SqlitePassword.h"
#include "export/data/sqlite/SqliteQueryCatalog.h"
#include "export/data/sqlite/SqliteQueryRecordset.h"
#include "export/data/sqlite/SqliteQueryText.h"
#include "export/data/sqlite/SqliteRecordset.h"
#include "export/data/sqlite/SqliteStatement.h"
#include "export/data/sqlite/SqliteStatus.h"
#include "export/data/sqlite/SqliteStoredQuery.h"
#include "export/data/sqlite/SqliteTypes.h"
#include "export/data/sqlite/SqliteViewQuery.h"

#include <sqlite3.h>
#include <QFileInfo>
#include <algorithm>

namespace morvane {

namespace {

constexpr int kBusyTimeoutMs = 3000;
// Written into the file header of every database the engine creates.
constexpr int kApplicationId = 0x4D52564E;

bool IsSystemName(const QString& name) {
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("morvane_"), Qt::CaseInsensitive);
}

}  // namespace

SqliteDatabase::SqliteDatabase(const QString& path, const QString& connect, sqlite3* connection,
                               bool readOnly)
    : Database(path, connect), connection_(connection), readOnly_(readOnly) {}

SqliteDatabase::~SqliteDatabase() {
    if (!IsOpen()) return;
    try {
        Close();
    } catch (const EngineError&) {
        // A destructor cannot report; Close already rolled the pending rows back.
    }
}

sqlite3* SqliteDatabase::Connect(const QString& path, int flags) {
    sqlite3* connection = nullptr;
    // A connection is used by one thread at a time (its database object's), so SQLite's
    // per-call locking only costs time on every step and bind.
    const int code = sqlite3_open_v2(path.toUtf8().constData(), &connection,
                                     flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        const EngineError error = SqliteFailure(code, QString(), path);
        sqlite3_close_v2(connection);
        throw error;
    }
    sqlite3_extended_result_codes(connection, 1);
    sqlite3_busy_timeout(connection, kBusyTimeoutMs);
    return connection;
}

std::shared_ptr<SqliteDatabase> SqliteDatabase::Open(const QString& path,
                                                     const OpenOptions& options,
                                                     const QString& connect,
                                                     const ConnectInfo& info) {
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists()) throw EngineError::Of(ErrFileNotFoundEngine, path);
    if (!file.isFile()) throw SqliteFailure(SQLITE_CANTOPEN, QString(), path);
    const int flags = options.ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    std::shared_ptr<SqliteDatabase> database(
        new SqliteDatabase(path, connect, Connect(path, flags), options.ReadOnly));
    if (options.Options != 0) database->Run(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
    // Reading the schema proves the file is a database and that nobody holds it locked.
    database->Run(QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    if (!SqlitePassword::Matches(database->connection_, path, info.Password())) {
        database->Close();
        throw EngineError::Of(ErrNotValidPassword);
    }
    return database;
}

std::shared_ptr<SqliteDatabase> SqliteDatabase::Create(const QString& path) {
    if (path.isEmpty()) throw EngineError::Of(ErrInvalidArgument);
    if (QFileInfo::exists(path)) throw EngineError::Of(ErrDatabaseExists, path);
    std::shared_ptr<SqliteDatabase> database(new SqliteDatabase(
        path, QString(), Connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), false));
    // Writing the header makes the file exist on disk at once.
    database->Run(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId));
    return database;
}

void SqliteDatabase::Run(const QString& sql) {
    SqliteStatement statement(connection_, sql, Path());
    while (statement.Step()) {
    }
}

void SqliteDatabase::Attach(SqliteCursorRecordset* recordset) {
    recordsets_.push_back(recordset);
}

void SqliteDatabase::Detach(SqliteCursorRecordset* recordset) {
    recordsets_.erase(std::remove(recordsets_.begin(), recordsets_.end(), recordset),
                      recordsets_.end());
}

void SqliteDatabase::NoteInsert() {
    if (!writing_ && sqlite3_get_autocommit(connection_)) {
        Run(QStringLiteral("BEGIN"));
        writing_ = true;
    }
    if (++pendingRows_ >= kBatchRows) FlushWrites();
}

void SqliteDatabase::FlushWrites() {
    pendingRows_ = 0;
    if (!writing_) return;
    writing_ = false;
    try {
        Run(QStringLiteral("COMMIT"));
    } catch (const EngineError&) {
        if (!sqlite3_get_autocommit(connection_))
            sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

qint64 SqliteDatabase::ChangeStamp() {
    const qint64 changes = sqlite3_total_changes64(connection_);
    unsigned version = 0;
    sqlite3_file_control(connection_, "main", SQLITE_FCNTL_DATA_VERSION, &version);
    if (changes != seenChanges_ || version != seenVersion_) {
        ++stamp_;
        seenChanges_ = changes;
        seenVersion_ = version;
    }
    return stamp_;
}

void SqliteDatabase::PrepareForSchemaChange() {
    FlushWrites();
    for (SqliteCursorRecordset* recordset : recordsets_) recordset->Park();
}

void SqliteDatabase::CheckWritable() const {
    if (readOnly_) RaiseReadOnly();
}

bool SqliteDatabase::SchemaObject(const QString& name, QString* type, QString* storedName) {
    // SQLite's own NOCASE folds ASCII letters only; the names are matched here by the rule
    // the collections use, so every name TableDefs lists also opens.
    SqliteStatement statement(connection_,
                              "SELECT type, name FROM sqlite_schema WHERE type IN ('table', "
                              "'view') ORDER BY rowid",
                              Path());
    std::vector<std::pair<QString, QString>> objects;  // type, name
    while (statement.Step()) {
        sqlite3_stmt* row = statement.Handle();
        objects.emplace_back(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 0))),
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 1))));
    }
    const int at = FindObjectName(objects, name, [](const auto& object) { return object.second; });
    if (at < 0) return false;
    *type = objects[static_cast<size_t>(at)].first;
    *storedName = objects[static_cast<size_t>(at)].second;
    return true;
}

std::vector<std::shared_ptr<TableDef>> SqliteDatabase::doListTables() {
    std::vector<std::shared_ptr<TableDef>> tables;
    SqliteStatement list(
        connection_, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY rowid", Path());
    while (list.Step()) {
        const QString name =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list.Handle(), 0)));
        auto table = std::make_shared<TableDef>(name, IsSystemName(name) ? dbSystemObject : 0);
        SqliteStatement columns(connection_, "PRAGMA table_info(" + QuoteIdentifier(name) + ")",
                                Path());
        while (columns.Step()) {
            sqlite3_stmt* row = columns.Handle();
            const auto column = MapDeclaredType(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 2))));
            auto field = std::make_shared<Field>(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 1))),
                column.Type, column.Size);
            field->SetRequired(sqlite3_column_int(row, 3) != 0);
            table->Fields().Append(field);
        }
        tables.push_back(table);
    }
    return tables;
}

std::vector<std::shared_ptr<QueryDef>> SqliteDatabase::doListQueries() {
    std::vector<std::shared_ptr<QueryDef>> queries;
    SqliteStatement list(connection_,
                         "SELECT name, sql FROM sqlite_schema WHERE type = 'view' ORDER BY rowid",
                         Path());
    while (list.Step()) {
        sqlite3_stmt* row = list.Handle();
        queries.push_back(std::make_shared<SqliteViewQuery>(
            shared_from_this(),
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 0))),
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 1)))));
    }
    for (const auto& entry : SqliteQueryCatalog(connection_, Path()).Entries())
        queries.push_back(std::make_shared<SqliteStoredQuery>(
            shared_from_this(), entry.Name, entry.Type, entry.ReturnsRecords, entry.SQL));
    return queries;
}

std::unique_ptr<Recordset> SqliteDatabase::doOpenRecordset(const QString& name, int type,
                                                           int options) {
    QString kind;
    QString storedName;
    if (!SchemaObject(name, &kind, &storedName)) {
        if (const auto query = CatalogQuery(name)) {
            if (type == dbOpenTable) throw EngineError::Of(ErrInvalidOperation);
            return query->OpenRecordset(type, options);
        }
        throw EngineError::Of(ErrInputTableNotFound, name);
    }
    const bool isTable = kind == QLatin1String("table");
    if (!isTable && type == dbOpenTable) throw EngineError::Of(ErrInvalidOperation);
    if (type == 0) type = isTable ? dbOpenTable : dbOpenSnapshot;
    const bool updatable = isTable && !readOnly_ && type != dbOpenSnapshot;
    auto self = std::static_pointer_cast<SqliteDatabase>(shared_from_this());
    return std::make_unique<SqliteRecordset>(self, storedName, isTable, static_cast<short>(type),
                                             updatable);
}

void SqliteDatabase::doCreateTable(const TableDef& tableDef) {
    CheckWritable();
    PrepareForSchemaChange();
    QStringList columns;
    for (const auto& field : tableDef.Fields().Items()) {
        QString column = QuoteIdentifier(field->Name()) + QLatin1Char(' ') +
                         DeclaredTypeFor(field->Type(), field->Size());
        if (field->Required()) column += QStringLiteral(" NOT NULL");
        columns << column;
    }
    Run("CREATE TABLE " + QuoteIdentifier(tableDef.Name()) + " (" + columns.join(", ") + ")");
}

void SqliteDatabase::doDropTable(const QString& name) {
    CheckWritable();
    PrepareForSchemaChange();
    Run("DROP TABLE " + QuoteIdentifier(name));
}

void SqliteDatabase::doExecute(const QString& sql, int) {
    CheckWritable();
    PrepareForSchemaChange();
    RunStatements(sql, nullptr);
}

// Runs each statement of the text in turn, binding `parameters` when given.
void SqliteDatabase::RunStatements(const QString& sql, const Parameters* parameters) {
    const QByteArray text = sql.toUtf8();
    const char* rest = text.constData();
    const char* end = rest + text.size();
    while (rest < end) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(connection_, rest, static_cast<int>(end - rest), &raw, &rest) !=
            SQLITE_OK)
            throw SqliteFailure(connection_, Path());
        if (!raw) continue;  // blanks or a comment
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
        if (sqlite3_stmt_readonly(raw) && sqlite3_column_count(raw) > 0)
            throw EngineError::Of(ErrSelectQueryExecute);
        if (parameters) BindQueryParameters(raw, *parameters);
        int code = SQLITE_ROW;
        while (code == SQLITE_ROW) code = sqlite3_step(raw);
        if (code != SQLITE_DONE) throw SqliteFailure(connection_, Path());
    }
}

void SqliteDatabase::RunStoredQuery(const QString& sql, const Parameters& parameters) {
    CheckWritable();
    PrepareForSchemaChange();
    InvalidateCatalog();
    Run(QStringLiteral("SAVEPOINT stored_query"));
    try {
        RunStatements(sql, &parameters);
    } catch (const EngineError&) {
        sqlite3_exec(connection_, "ROLLBACK TO stored_query; RELEASE stored_query", nullptr,
                     nullptr, nullptr);
        throw;
    }
    Run(QStringLiteral("RELEASE stored_query"));
}

std::shared_ptr<QueryDef> SqliteDatabase::CatalogQuery(const QString& name) {
    for (const auto& entry : SqliteQueryCatalog(connection_, Path()).Entries())
        if (entry.Name.compare(name, Qt::CaseInsensitive) == 0)
            return std::make_shared<SqliteStoredQuery>(shared_from_this(), entry.Name, entry.Type,
                                                       entry.ReturnsRecords, entry.SQL);
    return nullptr;
}

void SqliteDatabase::doCreateQuery(const QString& name, short type, const QString& sql) {
    CheckWritable();
    const SqliteQueryText text = SqliteQueryText::Scan(sql);
    const bool returnsRecords = SqliteStoredQuery::ReturnsRecordsFor(type, sql);
    if (text.Statements == 0 || text.OtherPlaceholders)
        throw EngineError::Raise(
            ErrInvalidArgument,
            QStringLiteral("Invalid argument: a stored query names its parameters as :Name."));
    if (returnsRecords && (text.Statements != 1 || !text.ReturnsRows()))
        throw EngineError::Raise(
            ErrInvalidArgument,
            QStringLiteral("Invalid argument: a query that returns records must be one SELECT, "
                           "WITH or VALUES statement."));
    PrepareForSchemaChange();
    if (type == 0 && text.ParameterNames.isEmpty()) {
        Run("CREATE VIEW " + QuoteIdentifier(name) + " AS " + sql.left(text.FirstStatementLength));
        return;
    }
    Run(QStringLiteral("SAVEPOINT define_query"));
    try {
        SqliteQueryCatalog(connection_, Path()).Add({name, type, returnsRecords, sql});
    } catch (const EngineError&) {
        sqlite3_exec(connection_, "ROLLBACK TO define_query; RELEASE define_query", nullptr,
                     nullptr, nullptr);
        throw;
    }
    Run(QStringLiteral("RELEASE define_query"));
}

void SqliteDatabase::doDropQuery(const QString& name) {
    CheckWritable();
    PrepareForSchemaChange();
    QString kind;
    QString storedName;
    if (SchemaObject(name, &kind, &storedName) && kind == QLatin1String("view")) {
        Run("DROP VIEW " + QuoteIdentifier(storedName));
        return;
    }
    Run(QStringLiteral("SAVEPOINT drop_query"));
    bool removed = false;
    try {
        removed = SqliteQueryCatalog(connection_, Path()).Remove(name);
    } catch (const EngineError&) {
        sqlite3_exec(connection_, "ROLLBACK TO drop_query; RELEASE drop_query", nullptr, nullptr,
                     nullptr);
        throw;
    }
    Run(QStringLiteral("RELEASE drop_query"));
    if (!removed) throw EngineError::Of(ErrItemNotFound);
}

void SqliteDatabase::doNewPassword(const QString& oldPassword, const QString& newPassword) {
    CheckWritable();
    PrepareForSchemaChange();
    if (!SqlitePassword::Matches(connection_, Path(), oldPassword))
        throw EngineError::Of(ErrNotValidPassword);
    Run(QStringLiteral("SAVEPOINT password"));
    try {
        SqlitePassword::Store(connection_, Path(), newPassword);
    } catch (const EngineError&) {
        sqlite3_exec(connection_, "ROLLBACK TO password; RELEASE password", nullptr, nullptr,
                     nullptr);
        throw;
    }
    Run(QStringLiteral("RELEASE password"));
}

void SqliteDatabase::doClose() {
    // Field values still on a cursor's row are taken before the connection goes.
    for (SqliteCursorRecordset* recordset : recordsets_) recordset->Park();
    try {
        FlushWrites();
    } catch (const EngineError&) {
        sqlite3_close_v2(connection_);  // statements still open keep it alive until finalized
        throw;
    }
    sqlite3_close_v2(connection_);
}

}  // namespace morvane
