#include "export/data/Database.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"

namespace morvane {

Database::Database(QString name, QString connect)
    : name_(std::move(name)), connect_(std::move(connect)) {}

Database::~Database() = default;

void Database::CheckOpen() const {
    if (!open_) throw EngineError::Of(ErrObjectInvalid);
}

TableDefs& Database::TableDefs() {
    CheckOpen();
    return tableDefs_;
}

QueryDefs& Database::QueryDefs() {
    CheckOpen();
    return queryDefs_;
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& name, int type, int options) {
    CheckOpen();
    if (type != 0 && type != dbOpenTable && type != dbOpenDynaset && type != dbOpenSnapshot)
        throw EngineError::Of(ErrInvalidArgument);
    return doOpenRecordset(name, type, options);
}

std::shared_ptr<TableDef> Database::CreateTableDef(const QString& name) const {
    CheckOpen();
    return std::make_shared<TableDef>(name);
}

std::shared_ptr<QueryDef> Database::CreateQueryDef(const QString& name, short type,
                                                   const QString& sql) {
    CheckOpen();
    if (name.trimmed().isEmpty() || sql.trimmed().isEmpty() || type < 0)
        throw EngineError::Of(ErrInvalidArgument);
    bool taken = tableDefs_.IndexOf(name) >= 0;
    for (int index = 0; !taken && index < queryDefs_.Count(); ++index)
        taken = queryDefs_.Item(index).Name().compare(name, Qt::CaseInsensitive) == 0;
    if (taken)
        throw EngineError::Raise(ErrTableExists,
                                 QStringLiteral("Table or query '%1' already exists.").arg(name));
    doCreateQuery(name, type, sql);
    InvalidateCatalog();
    return queryDefs_.ItemShared(name);
}

void Database::Execute(const QString& sql, int options) {
    CheckOpen();
    if (sql.trimmed().isEmpty()) throw EngineError::Of(ErrInvalidArgument);
    InvalidateCatalog();
    doExecute(sql, options);
}

void Database::NewPassword(const QString& oldPassword, const QString& newPassword) {
    CheckOpen();
    doNewPassword(oldPassword, newPassword);
    InvalidateCatalog();
}

void Database::Close() {
    if (!open_) return;
    open_ = false;
    doClose();
}

void Database::BeginTrans() {
    CheckOpen();
    doBeginTrans();
}

void Database::CommitTrans() {
    CheckOpen();
    doCommitTrans();
}

void Database::Rollback() {
    CheckOpen();
    doRollback();
}

QString Database::QuoteIdentifier(const QString& name) const {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

std::vector<std::shared_ptr<TableDef>> Database::ListTables(DriverKey) {
    CheckOpen();
    return doListTables();
}

std::vector<std::shared_ptr<QueryDef>> Database::ListQueries(DriverKey) {
    CheckOpen();
    return doListQueries();
}

void Database::CheckNewTable(const TableDef& tableDef) {
    if (tableDef.Name().trimmed().isEmpty()) throw EngineError::Of(ErrInvalidArgument);
    if (tableDef.Fields().Count() == 0)
        throw EngineError::Of(ErrTableWithoutFields, tableDef.Name());
    for (const auto& field : tableDef.Fields().Items()) {
        const short type = field->Type();
        if (type < dbBoolean || type > dbTimeStamp || type == 13 || type == 14)
            throw EngineError::Of(ErrInvalidFieldType, field->Name());
        if (type == dbText && (field->DeclaredSize() < 0 || field->DeclaredSize() > 255))
            throw EngineError::Raise(
                ErrInvalidArgument,
                QStringLiteral("Invalid field size for the Text field '%1' (1 to 255).")
                    .arg(field->Name()));
        if (type == dbBinary && (field->DeclaredSize() < 0 || field->DeclaredSize() > 510))
            throw EngineError::Raise(
                ErrInvalidArgument,
                QStringLiteral("Invalid field size for the Binary field '%1' (1 to 510).")
                    .arg(field->Name()));
    }
}

void Database::AppendTable(DriverKey, const TableDef& tableDef) {
    CheckOpen();
    CheckNewTable(tableDef);
    if (tableDefs_.IndexOf(tableDef.Name()) >= 0)
        throw EngineError::Of(ErrTableExists, tableDef.Name());
    doCreateTable(tableDef);
    queryDefs_.Invalidate();
}

void Database::DropTable(DriverKey, const QString& name) {
    CheckOpen();
    doDropTable(name);
    queryDefs_.Invalidate();
}

void Database::DropQuery(DriverKey, const QString& name) {
    CheckOpen();
    doDropQuery(name);
    InvalidateCatalog();
}

void Database::InvalidateCatalog() {
    tableDefs_.Invalidate();
    queryDefs_.Invalidate();
}

void Database::RaiseReadOnly() {
    throw EngineError::Of(ErrReadOnly);
}

void Database::doCreateTable(const TableDef&) {
    RaiseReadOnly();
}
void Database::doDropTable(const QString&) {
    RaiseReadOnly();
}
void Database::doCreateQuery(const QString&, short, const QString&) {
    RaiseReadOnly();
}
void Database::doDropQuery(const QString&) {
    RaiseReadOnly();
}
void Database::doExecute(const QString&, int) {
    RaiseReadOnly();
}
void Database::doNewPassword(const QString&, const QString&) {
    RaiseReadOnly();
}

}  // namespace morvane
