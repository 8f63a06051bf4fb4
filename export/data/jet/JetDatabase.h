// JetDatabase: a Jet database (.mdb, and .accdb where libmdb reads it) opened read-only
// through libmdb. TableDefs lists every table of MSysObjects in the file's order: user
// tables with attributes 0, system, hidden and linked tables with their non-zero
// attributes. QueryDefs lists the stored queries (JetStoredQuery). Tables open as table
// type recordsets streaming their rows (JetRecordset). Nothing is ever written: every
// writing call raises 3027, and the file is opened for reading only.
#pragma once

#include "export/data/Database.h"
#include "export/data/Driver.h"
#include "export/data/jet/JetCatalog.h"
#include "export/data/jet/JetCursor.h"

#include <memory>

namespace morvane {

class JetDatabase : public Database {
  public:
    //! Opens `path`. Raises 3024, 3051, 3343, 3031 or 3049 (JetFile::Open).
    static std::shared_ptr<JetDatabase> Open(const QString& path, const QString& connect,
                                             const ConnectInfo& info);

  protected:
    std::vector<std::shared_ptr<TableDef>> doListTables() override;
    std::vector<std::shared_ptr<QueryDef>> doListQueries() override;
    std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type, int options) override;
    void doClose() override;

  private:
    JetDatabase(const QString& path, const QString& connect, std::shared_ptr<JetFile> file,
                std::vector<JetObject> objects);
    //! The object named `name` (any case) of the given types, null when none.
    const JetObject* Find(const QString& name, std::initializer_list<int> types) const;
    //! Adds the fields of the table `object` to `table`. Raises 3049 when it is damaged.
    void AddFields(const JetObject& object, TableDef& table);
    //! A cursor over the table `object`, its column properties loaded.
    std::unique_ptr<JetCursor> OpenCursor(const JetObject& object);

    std::shared_ptr<JetFile> file_;
    std::vector<JetObject> objects_;
};

}  // namespace morvane
