// TableDefs: the table definitions of a database, in creation order. Append creates the
// table of a detached TableDef in the database; Delete drops a table. The list is read from
// the database on first use and again after any statement that may change the schema.
//
// Usage:
//   for (int i = 0; i < db->TableDefs().Count(); ++i)
//       if (db->TableDefs().Item(i).Attributes() == 0) list(db->TableDefs().Item(i).Name());
#pragma once

#include "export/data/TableDef.h"

#include <memory>
#include <vector>

namespace morvane {

class Database;

class TableDefs {
  public:
    explicit TableDefs(Database* database) : database_(database) {}

    int Count();
    //! Raises 3265 when out of range.
    TableDef& Item(int index);
    //! Matches without regard to case; raises 3265 when absent.
    TableDef& Item(const QString& name);
    //! The index of the named table, -1 when none.
    int IndexOf(const QString& name);

    //! Creates the table in the database. Raises 3010 when the name exists, 3264 when the
    //! definition has no field, 3259 for a field without a valid type.
    void Append(const std::shared_ptr<TableDef>& tableDef);
    //! Drops the table. Raises 3265 when absent.
    void Delete(const QString& name);
    //! Reads the list again from the database.
    void Refresh();

  private:
    friend class Database;
    //! The list is read again on next use (after a statement that may change the schema).
    void Invalidate() { loaded_ = false; }
    void Load();

    Database* database_;
    bool loaded_ = false;
    std::vector<std::shared_ptr<TableDef>> items_;
};

}  // namespace morvane
