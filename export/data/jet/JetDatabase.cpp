#include "export/data/jet/JetDatabase.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/jet/JetCursor.h"
#include "export/data/jet/JetProperties.h"
#include "export/data/jet/JetRecordset.h"
#include "export/data/jet/JetStoredQuery.h"
#include "export/data/jet/JetValue.h"

namespace morvane {

JetDatabase::JetDatabase(const QString& path, const QString& connect, std::shared_ptr<JetFile> file,
                         std::vector<JetObject> objects)
    : Database(path, connect), file_(std::move(file)), objects_(std::move(objects)) {}

std::shared_ptr<JetDatabase> JetDatabase::Open(const QString& path, const QString& connect,
                                               const ConnectInfo& info) {
    std::shared_ptr<JetFile> file = JetFile::Open(path, info.Password());
    std::vector<JetObject> objects = JetCatalog::Objects(file);
    return std::shared_ptr<JetDatabase>(
        new JetDatabase(path, connect, std::move(file), std::move(objects)));
}

const JetObject* JetDatabase::Find(const QString& name, std::initializer_list<int> types) const {
    for (const JetObject& object : objects_)
        if (object.Name.compare(name, Qt::CaseInsensitive) == 0 &&
            std::find(types.begin(), types.end(), object.Type) != types.end())
            return &object;
    return nullptr;
}

std::unique_ptr<JetCursor> JetDatabase::OpenCursor(const JetObject& object) {
    auto cursor = std::make_unique<JetCursor>(
        file_, file_->ReadTable(object.DefinitionPage(), object.Name), JetCursor::Owned);
    cursor->SetRequired(JetProperties::RequiredColumns(object.Properties, file_->Header().Version(),
                                                       file_->Header().CodePage()));
    return cursor;
}

void JetDatabase::AddFields(const JetObject& object, TableDef& table) {
    const std::unique_ptr<JetCursor> cursor = OpenCursor(object);
    const int version = file_->Header().Version();
    for (int column = 0; column < cursor->ColumnCount(); ++column) {
        const MdbColumn& definition = cursor->Column(column);
        auto field = std::make_shared<Field>(QString::fromUtf8(definition.name),
                                             JetValue::EngineType(definition.col_type),
                                             JetValue::EngineSize(definition, version));
        field->SetRequired(cursor->Required(column));
        table.Fields().Append(field);
    }
}

std::vector<std::shared_ptr<TableDef>> JetDatabase::doListTables() {
    std::vector<std::shared_ptr<TableDef>> tables;
    for (const JetObject& object : objects_) {
        if (object.Type == JetCatalog::Query) continue;
        auto table = std::make_shared<TableDef>(object.Name, object.Attributes());
        if (object.Type == JetCatalog::Table) {
            try {
                AddFields(object, *table);
            } catch (const EngineError&) {
                // A damaged definition leaves the table listed without fields, so that the
                // other tables stay usable; opening it reports the damage (3049).
                DbErrors().Clear();
            }
        }
        table->MarkStored(Key());
        tables.push_back(table);
    }
    return tables;
}

std::vector<std::shared_ptr<QueryDef>> JetDatabase::doListQueries() {
    std::vector<std::shared_ptr<QueryDef>> queries;
    const auto rows = JetCatalog::QueryRows(file_, objects_);
    for (const JetObject& object : objects_) {
        if (object.Type != JetCatalog::Query) continue;
        JetQuerySql definition(rows.value(object.Id));
        const short type = definition.Type(static_cast<short>(object.Flags & 0xF0));
        queries.push_back(std::make_shared<JetStoredQuery>(weak_from_this(), file_, object.Name,
                                                           type, std::move(definition)));
    }
    return queries;
}

std::unique_ptr<Recordset> JetDatabase::doOpenRecordset(const QString& name, int type,
                                                        int options) {
    const JetObject* object =
        Find(name, {JetCatalog::Table, JetCatalog::LinkedTable, JetCatalog::LinkedOdbcTable});
    if (!object) {
        if (Find(name, {JetCatalog::Query})) {
            if (type == dbOpenTable)
                throw EngineError::Of(ErrInvalidOperation);
            return QueryDefs().ItemShared(name)->OpenRecordset(type == 0 ? dbOpenSnapshot : type,
                                                               options);
        }
        throw EngineError::Of(ErrInputTableNotFound, name);
    }
    if (object->Type != JetCatalog::Table)
        throw EngineError::Of(ErrNotSupported, QStringLiteral("the table \'%1\' is linked to another database, which the Jet reader does not open.").arg(object->Name));
    std::unique_ptr<JetCursor> cursor = OpenCursor(*object);
    std::vector<int> columns;
    for (int column = 0; column < cursor->ColumnCount(); ++column) columns.push_back(column);
    return std::make_unique<JetRecordset>(shared_from_this(), std::move(cursor), std::move(columns),
                                          static_cast<short>(type == 0 ? dbOpenTable : type));
}

void JetDatabase::doClose() {
    // Open recordsets keep the file until they close; the database lets go of it.
    file_.reset();
    objects_.clear();
}

}  // namespace morvane
