// OdbcDatabase: a data source reached through the unixODBC driver manager (type specifier
// "ODBC"). The connect string's items after "ODBC;" (DSN=...;UID=...;PWD=...;Database=...;)
// go to SQLDriverConnect as they are; the database name is not used.
//
//   TableDefs      SQLTables (tables and views of the connection's default catalog) with
//                  SQLColumns; a table whose schema is not one of the user's defaults (the
//                  user's own name, "public", "dbo", "main" or none) is named "schema.name"
//   Append         CREATE TABLE, each column typed from SQLGetTypeInfo (OdbcTypes)
//   Delete         DROP TABLE
//   Execute        SQLExecDirect (option 64 passes the text through unchanged anyway)
//   OpenRecordset  a forward cursor over "SELECT * FROM" the table (OdbcRecordset)
//   BeginTrans     autocommit off until CommitTrans or Rollback
// Every failed call raises 3146 (3151 when connecting) with the data source's state and
// message in its description.
#pragma once

#include "export/data/Database.h"
#include "export/data/odbc/OdbcHandle.h"
#include "export/data/odbc/OdbcTypes.h"

#include <QHash>

namespace morvane {

class OdbcDatabase : public Database {
  public:
    //! Connects. Raises 3151 with the driver manager's or data source's reason.
    static std::shared_ptr<OdbcDatabase> Open(const QString& name, const QString& connect,
                                              bool readOnly);
    ~OdbcDatabase() override;

    QString QuoteIdentifier(const QString& name) const override;

    // Driver side, used by the recordsets of this database.
    SQLHDBC Connection() const { return connection_.Get(); }
    //! A new statement handle on the connection.
    OdbcHandle NewStatement() const;
    //! Runs `sql` on a new statement; raises 3146 on failure.
    void Run(const QString& sql);
    //! "a"."b" for a qualified name "a.b" the TableDefs listed, else the quoted name.
    QString QuoteTableName(const QString& name);
    bool ReadOnly() const { return readOnly_; }

  protected:
    std::vector<std::shared_ptr<TableDef>> doListTables() override;
    std::vector<std::shared_ptr<QueryDef>> doListQueries() override;
    std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type, int options) override;
    void doCreateTable(const TableDef& tableDef) override;
    void doDropTable(const QString& name) override;
    void doExecute(const QString& sql, int options) override;
    void doClose() override;
    void doBeginTrans() override;
    void doCommitTrans() override;
    void doRollback() override;

  private:
    OdbcDatabase(const QString& name, const QString& connect, OdbcHandle environment,
                 OdbcHandle connection, bool readOnly);
    QString ColumnType(short engineType, int size);
    QString InfoText(SQLUSMALLINT info) const;
    void EndTransaction(SQLSMALLINT completion);

    OdbcHandle environment_;
    OdbcHandle connection_;
    bool readOnly_;
    bool inTransaction_ = false;
    QString quote_ = QStringLiteral("\"");
    QString userName_;
    QHash<short, QString> columnTypes_;  //!< cached CREATE TABLE type per engine type/size
    QHash<QString, QPair<QString, QString>> qualified_;  //!< listed name -> schema, table
};

}  // namespace morvane
