// Database: an open database of some driver (the native format, or a file family reached
// through an installable driver). Made by DBEngine::OpenDatabase / CreateDatabase and held
// by std::shared_ptr; every recordset keeps its database alive. The public calls check that
// the database is open and then call the protected virtuals each driver implements. A
// read-only driver leaves the writing virtuals alone: they fail with 3027.
//
// Usage:
//   auto db = DBEngine::Instance().OpenDatabase("/data/sales.db", 0, false, ";pwd=;");
//   auto rs = db->OpenRecordset("Orders", dbOpenTable);
//   db->Execute("DELETE FROM Orders WHERE Qty = 0");
//   db->Close();
#pragma once

#include "export/data/DriverKey.h"
#include "export/data/QueryDefs.h"
#include "export/data/Recordset.h"
#include "export/data/TableDefs.h"

#include <QString>
#include <memory>
#include <vector>

namespace morvane {

class Database : public std::enable_shared_from_this<Database> {
  public:
    virtual ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& Name() const { return name_; }
    const QString& Connect() const { return connect_; }
    bool IsOpen() const { return open_; }

    morvane::TableDefs& TableDefs();
    morvane::QueryDefs& QueryDefs();

    //! Opens a table or stored query by name. `type` 0 lets the engine choose (table type
    //! for a table, snapshot for a query). Raises 3078 when no table or query has the name.
    std::unique_ptr<Recordset> OpenRecordset(const QString& name, int type = 0, int options = 0);
    //! A new detached table definition; append it to TableDefs() to create the table.
    std::shared_ptr<TableDef> CreateTableDef(const QString& name) const;
    //! Defines a stored query of type code `type` (0 select, 16 cross tab, 32 delete,
    //! 48 update, 64 append, 80 make table, 96 DDL, 112 pass-through, ...) and stores it in
    //! the database. Raises 3010 when a table or query has the name, 3001 for an empty name,
    //! an empty text or a negative type, 3027 when the database is read-only.
    std::shared_ptr<QueryDef> CreateQueryDef(const QString& name, short type, const QString& sql);
    //! Runs an SQL statement that returns no records (3065 for one that does).
    void Execute(const QString& sql, int options = 0);
    //! Sets (old empty), changes, or removes (new empty) the database password. Raises 3031
    //! when `oldPassword` is not the current password.
    void NewPassword(const QString& oldPassword, const QString& newPassword);
    //! Releases the database; its recordsets fail from then on. Closing twice is harmless.
    void Close();

    //! Groups the following statements into one transaction (ODBC: autocommit off until
    //! CommitTrans or Rollback). A driver that groups its writes itself (the native one
    //! batches recordset inserts) or cannot group them ignores it.
    void BeginTrans();
    //! Makes the statements since BeginTrans durable.
    void CommitTrans();
    //! Undoes the statements since BeginTrans, where the driver can.
    void Rollback();
    //! `name` quoted as an identifier of this database's SQL ("a""b" by default; the ODBC
    //! driver uses the data source's quote character).
    virtual QString QuoteIdentifier(const QString& name) const;

    // Driver side: the catalogue calls behind TableDefs and QueryDefs (a database that
    // wraps another one forwards to them). Each checks that the database is open.
    std::vector<std::shared_ptr<TableDef>> ListTables(DriverKey);
    std::vector<std::shared_ptr<QueryDef>> ListQueries(DriverKey);
    //! Raises 3010 when the name exists, 3264/3259/3001 for a definition that is not valid.
    void AppendTable(DriverKey, const TableDef& tableDef);
    void DropTable(DriverKey, const QString& name);
    void DropQuery(DriverKey, const QString& name);

  protected:
    Database(QString name, QString connect);

    //! The key to the driver hooks (DriverKey.h), for the drivers that derive from Database.
    static DriverKey Key() { return DriverKey(); }
    //! Raises 3420 when the database is closed.
    void CheckOpen() const;

    virtual std::vector<std::shared_ptr<TableDef>> doListTables() = 0;
    virtual std::vector<std::shared_ptr<QueryDef>> doListQueries() = 0;
    virtual std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type,
                                                       int options) = 0;
    virtual void doCreateTable(const TableDef& tableDef);
    virtual void doDropTable(const QString& name);
    virtual void doCreateQuery(const QString& name, short type, const QString& sql);
    virtual void doDropQuery(const QString& name);
    virtual void doExecute(const QString& sql, int options);
    virtual void doNewPassword(const QString& oldPassword, const QString& newPassword);
    virtual void doClose() = 0;
    virtual void doBeginTrans() {}
    virtual void doCommitTrans() {}
    virtual void doRollback() {}

    //! Raises 3027: the object is read-only.
    [[noreturn]] static void RaiseReadOnly();
    //! Drops the cached table and query lists (after a statement may have changed them).
    void InvalidateCatalog();

  private:
    static void CheckNewTable(const TableDef& tableDef);

    QString name_;
    QString connect_;
    bool open_ = true;
    morvane::TableDefs tableDefs_{this};
    morvane::QueryDefs queryDefs_{this};
};

}  // namespace morvane
