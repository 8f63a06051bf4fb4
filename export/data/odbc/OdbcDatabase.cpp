#include "export/data/odbc/OdbcDatabase.h"

#include "export/data/ConnectInfo.h"
#include "export/data/FieldTypes.h"
#include "export/data/odbc/OdbcColumnData.h"
#include "export/data/odbc/OdbcRecordset.h"

#include <QStringList>

namespace morvane {

namespace {

constexpr SQLULEN kLoginTimeoutSeconds = 15;

//! The connect string for the driver manager: the items after the type specifier.
QString DriverConnectText(const QString& connect) {
    const qsizetype semicolon = connect.indexOf(QLatin1Char(';'));
    return semicolon < 0 ? QString() : connect.mid(semicolon + 1);
}

bool IsDefaultSchema(const QString& schema, const QString& user) {
    static const QStringList defaults = {QStringLiteral("public"), QStringLiteral("dbo"),
                                         QStringLiteral("main")};
    return schema.isEmpty() || schema.compare(user, Qt::CaseInsensitive) == 0 ||
           defaults.contains(schema, Qt::CaseInsensitive);
}

}  // namespace

OdbcDatabase::OdbcDatabase(const QString& name, const QString& connect, OdbcHandle environment,
                           OdbcHandle connection, bool readOnly)
    : Database(name, connect),
      environment_(std::move(environment)),
      connection_(std::move(connection)),
      readOnly_(readOnly) {}

OdbcDatabase::~OdbcDatabase() {
    if (!IsOpen()) return;
    try {
        Close();
    } catch (const EngineError&) {
        // A destructor cannot report; the handles are freed by their owners.
    }
}

std::shared_ptr<OdbcDatabase> OdbcDatabase::Open(const QString& name, const QString& connect,
                                                 bool readOnly) {
    OdbcHandle environment(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    OdbcCheck(SQLSetEnvAttr(environment.Get(), SQL_ATTR_ODBC_VERSION,
                            reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              environment);
    OdbcHandle connection(SQL_HANDLE_DBC, environment.Get());
    SQLSetConnectAttr(connection.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
    std::u16string text = ToOdbcText(DriverConnectText(connect));
    SQLWCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    const SQLRETURN code = SQLDriverConnectW(connection.Get(), nullptr, OdbcText(text),
                                             static_cast<SQLSMALLINT>(text.size()), completed, 1024,
                                             &completedLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(code))
        throw OdbcFailure(connection, ErrOdbcConnectionFailed,
                          ConnectInfo::Parse(connect).Value(QStringLiteral("DSN")));
    std::shared_ptr<OdbcDatabase> database(
        new OdbcDatabase(name, connect, std::move(environment), std::move(connection), readOnly));
    if (readOnly)
        SQLSetConnectAttr(database->Connection(), SQL_ATTR_ACCESS_MODE,
                          reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    const QString quote = database->InfoText(SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
    database->quote_ = quote;  // empty: the data source quotes no identifiers
    database->userName_ = database->InfoText(SQL_USER_NAME);
    return database;
}

QString OdbcDatabase::InfoText(SQLUSMALLINT info) const {
    SQLWCHAR buffer[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection_.Get(), info, buffer, sizeof buffer, &length)))
        return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer),
                              qMin<int>(length / static_cast<int>(sizeof(SQLWCHAR)), 255));
}

QString OdbcDatabase::QuoteIdentifier(const QString& name) const {
    if (quote_.isEmpty()) return name;
    QString quoted = name;
    quoted.replace(quote_, quote_ + quote_);
    return quote_ + quoted + quote_;
}

QString OdbcDatabase::QuoteTableName(const QString& name) {
    const auto found = qualified_.constFind(name);
    if (found == qualified_.constEnd()) return QuoteIdentifier(name);
    if (found->first.isEmpty()) return QuoteIdentifier(found->second);
    return QuoteIdentifier(found->first) + QLatin1Char('.') + QuoteIdentifier(found->second);
}

OdbcHandle OdbcDatabase::NewStatement() const {
    CheckOpen();
    return OdbcHandle(SQL_HANDLE_STMT, connection_.Get());
}

void OdbcDatabase::Run(const QString& sql) {
    OdbcHandle statement = NewStatement();
    std::u16string text = ToOdbcText(sql);
    const SQLRETURN code =
        SQLExecDirectW(statement.Get(), OdbcText(text), static_cast<SQLINTEGER>(text.size()));
    // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row.
    if (code != SQL_NO_DATA) OdbcCheck(code, statement);
}

std::vector<std::shared_ptr<TableDef>> OdbcDatabase::doListTables() {
    std::vector<std::shared_ptr<TableDef>> tables;
    qualified_.clear();
    std::vector<QPair<QString, QString>> names;
    {
        OdbcHandle statement = NewStatement();
        std::u16string types = ToOdbcText(QStringLiteral("TABLE,VIEW"));
        OdbcCheck(SQLTablesW(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0, OdbcText(types),
                             static_cast<SQLSMALLINT>(types.size())),
                  statement);
        while (OdbcFetch(statement))
            names.push_back(
                {ColumnText(statement, 2).toString(), ColumnText(statement, 3).toString()});
    }
    for (const auto& [schema, table] : names) {
        const QString name =
            IsDefaultSchema(schema, userName_) ? table : schema + QLatin1Char('.') + table;
        qualified_.insert(name, {schema, table});
        auto tableDef = std::make_shared<TableDef>(name, 0);
        OdbcHandle columns = NewStatement();
        std::u16string schemaText = ToOdbcText(schema);
        std::u16string tableText = ToOdbcText(table);
        OdbcCheck(SQLColumnsW(columns.Get(), nullptr, 0,
                              schema.isEmpty() ? nullptr : OdbcText(schemaText),
                              static_cast<SQLSMALLINT>(schemaText.size()), OdbcText(tableText),
                              static_cast<SQLSMALLINT>(tableText.size()), nullptr, 0),
                  columns);
        while (OdbcFetch(columns)) {
            const long long size = ColumnInteger(columns, 7).toLongLong();
            const short type = EngineTypeOfSql(ColumnInteger(columns, 5).toInt(), size);
            auto field = std::make_shared<Field>(ColumnText(columns, 4).toString(), type,
                                                 type == dbText ? static_cast<int>(size) : 0);
            field->SetRequired(ColumnInteger(columns, 11).toInt() == SQL_NO_NULLS);
            // A data source may list a column twice (case variants): the first one counts.
            if (tableDef->Fields().IndexOf(field->Name()) < 0) tableDef->Fields().Append(field);
        }
        tableDef->MarkStored(Key());
        tables.push_back(tableDef);
    }
    return tables;
}

std::vector<std::shared_ptr<QueryDef>> OdbcDatabase::doListQueries() {
    return {};  // stored queries of a data source are not reached through ODBC
}

std::unique_ptr<Recordset> OdbcDatabase::doOpenRecordset(const QString& name, int type,
                                                         int options) {
    if (TableDefs().IndexOf(name) < 0) throw EngineError::Of(ErrInputTableNotFound, name);
    if (type == 0) type = dbOpenDynaset;
    const bool updatable = !readOnly_ && type != dbOpenSnapshot;
    auto self = std::static_pointer_cast<OdbcDatabase>(shared_from_this());
    return std::make_unique<OdbcRecordset>(self, QuoteTableName(TableDefs().Item(name).Name()),
                                           static_cast<short>(type), updatable,
                                           (options & dbAppendOnly) != 0);
}

QString OdbcDatabase::ColumnType(short engineType, int size) {
    const short key = static_cast<short>(engineType * 1000 + qMin(size, 999));
    const auto cached = columnTypes_.constFind(key);
    if (cached != columnTypes_.constEnd()) return *cached;
    for (const OdbcTypeChoice& choice : SqlTypeChoices(engineType, size)) {
        OdbcHandle statement = NewStatement();
        if (!SQL_SUCCEEDED(
                SQLGetTypeInfoW(statement.Get(), static_cast<SQLSMALLINT>(choice.sqlType))))
            continue;
        QString declaration;
        while (OdbcFetch(statement)) {
            // A type that numbers rows by itself (a serial type) is never chosen.
            if (ColumnInteger(statement, 12).toInt() == SQL_TRUE) continue;
            QString name = ColumnText(statement, 1).toString();
            // Engine dates carry no time zone. A data source that lists only the zoned
            // form under its "tz" name (timestamptz, timetz) has the plain form under the
            // name without it; a column with a zone would shift values read elsewhere.
            if (name.endsWith(QLatin1String("tz"), Qt::CaseInsensitive) &&
                IsDateTimeType(engineType))
                name.chop(2);
            declaration = SqlTypeDeclaration(name, ColumnText(statement, 6).toString(), choice);
            break;
        }
        if (!declaration.isEmpty()) {
            columnTypes_.insert(key, declaration);
            return declaration;
        }
    }
    throw EngineError::Of(ErrInvalidFieldType, QString::number(engineType));
}

void OdbcDatabase::doCreateTable(const TableDef& tableDef) {
    if (readOnly_) RaiseReadOnly();
    QStringList columns;
    for (const auto& field : tableDef.Fields().Items()) {
        QString column = QuoteIdentifier(field->Name()) + QLatin1Char(' ') +
                         ColumnType(field->Type(), field->Size());
        if (field->Required()) column += QStringLiteral(" NOT NULL");
        columns << column;
    }
    Run(QStringLiteral("CREATE TABLE ") + QuoteTableName(tableDef.Name()) + QStringLiteral(" (") +
        columns.join(QStringLiteral(", ")) + QLatin1Char(')'));
    InvalidateCatalog();
}

void OdbcDatabase::doDropTable(const QString& name) {
    if (readOnly_) RaiseReadOnly();
    Run(QStringLiteral("DROP TABLE ") + QuoteTableName(TableDefs().Item(name).Name()));
    InvalidateCatalog();
}

void OdbcDatabase::doExecute(const QString& sql, int) {
    if (readOnly_) RaiseReadOnly();
    Run(sql);
}

void OdbcDatabase::doBeginTrans() {
    if (inTransaction_) return;
    OdbcCheck(SQLSetConnectAttr(connection_.Get(), SQL_ATTR_AUTOCOMMIT,
                                reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
              connection_);
    inTransaction_ = true;
}

void OdbcDatabase::EndTransaction(SQLSMALLINT completion) {
    if (!inTransaction_) return;
    inTransaction_ = false;
    const SQLRETURN code = SQLEndTran(SQL_HANDLE_DBC, connection_.Get(), completion);
    SQLSetConnectAttr(connection_.Get(), SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    OdbcCheck(code, connection_);
}

void OdbcDatabase::doCommitTrans() {
    EndTransaction(SQL_COMMIT);
}

void OdbcDatabase::doRollback() {
    EndTransaction(SQL_ROLLBACK);
}

void OdbcDatabase::doClose() {
    // Work not committed is undone, as closing a database does; a data source that went
    // away refuses the rollback, and the connection is released all the same.
    if (inTransaction_) {
        inTransaction_ = false;
        SQLEndTran(SQL_HANDLE_DBC, connection_.Get(), SQL_ROLLBACK);
    }
    SQLDisconnect(connection_.Get());
    connection_.Free();
    environment_.Free();
}

}  // namespace morvane
