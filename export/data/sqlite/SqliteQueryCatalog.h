// SqliteQueryCatalog: the table in which a native database keeps the stored queries that
// SQLite cannot hold as views (parameter queries, action queries, pass-through queries and
// every type code other than a plain select query):
//
//   CREATE TABLE morvane_queries (
//       Name TEXT NOT NULL UNIQUE COLLATE NOCASE,   -- the query's name
//       Type INTEGER NOT NULL,                      -- its type code (32 delete, ...)
//       ReturnsRecords BOOLEAN NOT NULL,            -- 1 or 0
//       SQL TEXT NOT NULL)                          -- its text, run as SQLite SQL
//
// Rows come in definition order (rowid). The table is made by the first Add and dropped
// with its last entry, so a database without stored queries has no catalogue; its name
// starts with "morvane_", which makes it a system object that is never listed as a user
// table. The caller takes care of transactions and read-only databases.
//
// Usage:
//   SqliteQueryCatalog catalog(connection, path);
//   for (const auto& entry : catalog.Entries()) ...;
//   catalog.Add({"DeleteOld", 32, false, "DELETE FROM Orders WHERE ..."});
#pragma once

#include <QString>
#include <vector>

struct sqlite3;

namespace morvane {

class SqliteQueryCatalog {
  public:
    struct Entry {
        QString Name;
        short Type = 0;
        bool ReturnsRecords = false;
        QString SQL;
    };

    static const QString& TableName();

    SqliteQueryCatalog(sqlite3* connection, QString path)
        : connection_(connection), path_(std::move(path)) {}

    bool Exists() const;
    //! The stored queries in definition order; none when there is no catalogue.
    std::vector<Entry> Entries() const;
    //! Stores a new entry, making the catalogue when it does not exist.
    void Add(const Entry& entry);
    //! Removes the named entry (any case), and the catalogue with its last entry. False when
    //! no entry has the name.
    bool Remove(const QString& name);

  private:
    void Run(const QString& sql) const;

    sqlite3* connection_;
    QString path_;
};

}  // namespace morvane
