// SqliteDatabase: a database of the native format, a SQLite 3 file opened through the
// system libsqlite3. Tables are the file's tables (creation order). Stored queries are its
// views (select queries without parameters), then the queries of its query catalogue
// (SqliteQueryCatalog: parameter, action, pass-through queries), each in creation order;
// CreateQueryDef makes a view for a select query without parameters and a catalogue entry
// for any other. Tables whose names start with "sqlite_" or "morvane_" (the engine's
// catalogue, such as the password and query tables) are system objects.
//
// Writes made through recordsets (AddNew/Update) are grouped into one transaction of up to
// kBatchRows rows, committed when a recordset of the database jumps (re-runs its cursor),
// counts or closes, before any other statement, and when the database closes; one commit
// per row would make inserting slow. Before a statement that may change the schema, open
// recordsets release their cursor (they pick up at the same record when next moved),
// because SQLite refuses to drop a table under a running statement.
#pragma once

#include "export/data/Database.h"
#include "export/data/Driver.h"

#include <QString>
#include <vector>

struct sqlite3;

namespace morvane {

class Parameters;
class SqliteCursorRecordset;

class SqliteDatabase : public Database {
  public:
    //! Rows inserted through recordsets before an automatic commit.
    static constexpr int kBatchRows = 5000;

    //! Opens an existing file. Raises 3024 (missing), 3051 (no access / a directory),
    //! 3343 (not a database), 3045 (locked), 3031 (password).
    static std::shared_ptr<SqliteDatabase> Open(const QString& path, const OpenOptions& options,
                                                const QString& connect, const ConnectInfo& info);
    //! Creates a new file. Raises 3204 when it exists.
    static std::shared_ptr<SqliteDatabase> Create(const QString& path);
    ~SqliteDatabase() override;

    // Driver side, used by the recordsets and views of this database.
    sqlite3* Connection() const { return connection_; }
    const QString& Path() const { return Name(); }
    //! The recordsets that are parked before a schema change.
    void Attach(SqliteCursorRecordset* recordset);
    void Detach(SqliteCursorRecordset* recordset);
    //! Runs the statements of a stored action query with its parameters bound, all or none.
    //! Raises 3065 for a statement that returns rows, 3027 when read-only.
    void RunStoredQuery(const QString& sql, const Parameters& parameters);
    //! Starts the write transaction unless one is open; counts the row.
    void NoteInsert();
    //! Commits the pending write transaction, if any.
    void FlushWrites();
    //! A number that changes whenever rows may have changed: a change made through this
    //! connection, or a commit seen from another one.
    qint64 ChangeStamp();

  protected:
    std::vector<std::shared_ptr<TableDef>> doListTables() override;
    std::vector<std::shared_ptr<QueryDef>> doListQueries() override;
    std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type, int options) override;
    void doCreateTable(const TableDef& tableDef) override;
    void doDropTable(const QString& name) override;
    void doCreateQuery(const QString& name, short type, const QString& sql) override;
    void doDropQuery(const QString& name) override;
    void doExecute(const QString& sql, int options) override;
    void doNewPassword(const QString& oldPassword, const QString& newPassword) override;
    void doClose() override;

  private:
    SqliteDatabase(const QString& path, const QString& connect, sqlite3* connection, bool readOnly);
    static sqlite3* Connect(const QString& path, int flags);
    void Run(const QString& sql);
    void PrepareForSchemaChange();
    void CheckWritable() const;
    bool SchemaObject(const QString& name, QString* type, QString* storedName);
    void RunStatements(const QString& sql, const Parameters* parameters);
    //! The catalogue query named `name` (any case), null when there is none.
    std::shared_ptr<QueryDef> CatalogQuery(const QString& name);

    sqlite3* connection_;
    bool readOnly_;
    bool writing_ = false;
    int pendingRows_ = 0;
    std::vector<SqliteCursorRecordset*> recordsets_;
    qint64 stamp_ = 0;
    qint64 seenChanges_ = -1;
    unsigned seenVersion_ = 0;
};

}  // namespace morvane
