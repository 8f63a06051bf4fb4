// ParadoxDatabase: a folder of Paradox tables opened under "Paradox 3.x", "4.x" or "5.x".
// Every table file of the folder (NAME.db) is a table, listed in name order with attributes
// 0; any level (3 to 7) is read whatever the specifier. New tables are written at the
// specifier's level (file version byte 3, 9 or 11; ParadoxTypes.h chooses the fields).
//
// Writing: TableDefs().Append creates NAME.db (and NAME.mb when a field keeps values
// there); recordsets append through one TableWriter per table, shared by the database's
// recordsets and flushed when a recordset moves, counts or closes and when the database
// closes. TableDefs().Delete removes the table with its memo and index files (.mb, .px,
// .xNN, .yNN, .xgN, .ygN).
//
// There is no SQL: Execute and stored queries raise 3027 like a read-only database's.
#pragma once

#include "export/data/Database.h"

#include <QHash>
#include <memory>

namespace morvane {

namespace paradox {
class TableWriter;
}

class ParadoxDatabase : public Database {
  public:
    //! Opens the folder `folder`: 3024 when it does not exist, 3051 when it is not a folder
    //! or cannot be read.
    static std::shared_ptr<ParadoxDatabase> Open(const QString& folder, bool readOnly,
                                                 const QString& connect, int level);

    bool ReadOnly() const { return readOnly_; }
    int Level() const { return level_; }
    //! The writer of the table file `path` (opened on first use).
    paradox::TableWriter& WriterFor(const QString& path);
    //! True when this database writes the table file `path`.
    bool Writes(const QString& path) const { return writers_.contains(path); }
    //! Writes what the writer of `path` holds, if any, so that readers see it.
    void FlushTable(const QString& path);
    //! Changes whenever a record is appended to `path` through this database.
    qint64 Stamp(const QString& path) const { return stamps_.value(path); }
    void Touch(const QString& path) { ++stamps_[path]; }

  protected:
    std::vector<std::shared_ptr<TableDef>> doListTables() override;
    std::vector<std::shared_ptr<QueryDef>> doListQueries() override;
    std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type, int options) override;
    void doCreateTable(const TableDef& tableDef) override;
    void doDropTable(const QString& name) override;
    void doClose() override;

  private:
    ParadoxDatabase(const QString& folder, const QString& connect, bool readOnly, int level);

    QString folder_;
    bool readOnly_;
    int level_;
    QHash<QString, std::shared_ptr<paradox::TableWriter>> writers_;
    QHash<QString, qint64> stamps_;
};

}  // namespace morvane
