// QueryDefs: the stored queries of a database in the driver's order, by ordinal or by
// name (any case). Read from the database on first use and after schema changes; a
// reference from Item() is valid until then, a pointer from ItemShared() as long as it is
// held. New queries are made by Database::CreateQueryDef; Delete drops one.
#pragma once

#include "export/data/QueryDef.h"

#include <memory>
#include <vector>

namespace morvane {

class Database;

class QueryDefs {
  public:
    explicit QueryDefs(Database* database) : database_(database) {}

    int Count();
    //! Raises 3265 when out of range.
    QueryDef& Item(int index);
    //! Raises 3265 when absent.
    QueryDef& Item(const QString& name);
    //! The named query, shared with the caller. Raises 3265 when absent.
    std::shared_ptr<QueryDef> ItemShared(const QString& name);
    //! Drops the named query from the database. Raises 3265 when absent.
    void Delete(const QString& name);
    void Refresh();

  private:
    friend class Database;
    //! The list is read again on next use (after a statement that may change the schema).
    void Invalidate() { loaded_ = false; }
    void Load();

    Database* database_;
    bool loaded_ = false;
    std::vector<std::shared_ptr<QueryDef>> items_;
};

}  // namespace morvane
