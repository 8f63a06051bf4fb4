#include "export/data/jet/JetCatalog.h"

#include "export/data/FieldTypes.h"
#include "export/data/jet/JetCursor.h"

namespace morvane {

namespace {

constexpr quint32 kCatalogPage = 2;
constexpr int kAttachedOdbc = 0x20000000;

// The ordinals of `names` in the cursor's table; raises 3049 when one is missing.
std::vector<int> RequireColumns(const JetCursor& cursor, const QList<QByteArray>& names) {
    std::vector<int> columns;
    for (const QByteArray& name : names) {
        const int column = cursor.ColumnIndex(name);
        if (column < 0)
            cursor.File().RaiseCorrupt(
                QStringLiteral("system table '%1' has no column '%2'")
                    .arg(QString::fromUtf8(cursor.Table()->name), QString::fromUtf8(name)));
        columns.push_back(column);
    }
    return columns;
}

}  // namespace

int JetObject::Attributes() const {
    int attributes = 0;
    if (Flags & static_cast<qint32>(0x80000002u)) attributes |= dbSystemObject;
    if (Flags & 0x8) attributes |= dbHiddenObject;
    if (Type == JetCatalog::LinkedTable) attributes |= dbAttachedTable;
    if (Type == JetCatalog::LinkedOdbcTable) attributes |= kAttachedOdbc;
    return attributes;
}

std::vector<JetObject> JetCatalog::Objects(const std::shared_ptr<JetFile>& file) {
    JetCursor cursor(file, file->ReadTable(kCatalogPage, QStringLiteral("MSysObjects")),
                     JetCursor::Owned);
    const std::vector<int> columns =
        RequireColumns(cursor, {"Id", "Name", "Type", "Flags", "LvProp"});
    std::vector<JetObject> objects;
    while (cursor.Next()) {
        JetObject object;
        object.Id = cursor.Value(columns[0]).toInt();
        object.Name = cursor.Value(columns[1]).toString();
        object.Type = cursor.Value(columns[2]).toInt();
        object.Flags = cursor.Value(columns[3]).toInt();
        const int type = object.Type;
        if (object.Name.isEmpty() ||
            (type != Table && type != LinkedTable && type != LinkedOdbcTable && type != Query))
            continue;
        if (type == Table) object.Properties = cursor.Value(columns[4]).toByteArray();
        objects.push_back(std::move(object));
    }
    return objects;
}

QHash<qint32, std::vector<JetQueryRow>> JetCatalog::QueryRows(
    const std::shared_ptr<JetFile>& file, const std::vector<JetObject>& objects) {
    QHash<qint32, std::vector<JetQueryRow>> rows;
    const JetObject* table = nullptr;
    for (const JetObject& object : objects)
        if (object.Type == Table && object.Name == QLatin1String("MSysQueries")) table = &object;
    if (!table) return rows;
    JetCursor cursor(file, file->ReadTable(table->DefinitionPage(), table->Name), JetCursor::Owned);
    const std::vector<int> columns =
        RequireColumns(cursor, {"ObjectId", "Attribute", "Flag", "Name1", "Name2", "Expression"});
    while (cursor.Next()) {
        JetQueryRow row;
        row.Attribute = cursor.Value(columns[1]).toInt();
        row.Flag = cursor.Value(columns[2]);
        row.Name1 = cursor.Value(columns[3]).toString();
        row.Name2 = cursor.Value(columns[4]).toString();
        row.Expression = cursor.Value(columns[5]).toString();
        rows[cursor.Value(columns[0]).toInt()].push_back(std::move(row));
    }
    return rows;
}

}  // namespace morvane
