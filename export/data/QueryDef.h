// QueryDef: a stored query of a database. Type codes: 0 select, 16 cross tab, 32 delete,
// 48 update, 64 append, 80 make table, 96 DDL, 112 pass-through, ... A driver implements
// one subclass per kind of stored query it knows (the native driver: its views, which are
// select queries with no parameters; its stored query catalogue: parameter, action and
// pass-through queries). The public calls check state and call the protected virtuals.
// QueryDefs hands queries out as shared pointers; a running OpenRecordset or Execute keeps
// its own query alive even when the running statement makes the database reload its list.
//
// Usage:
//   std::shared_ptr<QueryDef> q = db->QueryDefs().ItemShared("OrdersAbove");
//   for (int i = 0; i < q->Parameters().Count(); ++i) q->Parameters().Item(i).SetValue("x");
//   auto rs = q->OpenRecordset(dbOpenSnapshot);   // or q->Execute() for an action query
#pragma once

#include "export/data/Parameters.h"
#include "export/data/Recordset.h"

#include <QString>
#include <memory>

namespace morvane {

class Database;

class QueryDef : public std::enable_shared_from_this<QueryDef> {
  public:
    virtual ~QueryDef();

    const QString& Name() const { return name_; }
    short Type() const { return type_; }
    bool ReturnsRecords() const { return returnsRecords_; }
    virtual QString SQL() const = 0;
    morvane::Parameters& Parameters() { return parameters_; }

    //! Opens the query's records. Raises 3219 when the query returns none.
    std::unique_ptr<Recordset> OpenRecordset(int type = 4, int options = 0);
    //! Runs an action query. Raises 3065 for a query that returns records.
    void Execute(int options = 0);

  protected:
    QueryDef(std::weak_ptr<Database> database, QString name, short type, bool returnsRecords);

    virtual std::unique_ptr<Recordset> doOpenRecordset(Database& database, int type,
                                                       int options) = 0;
    virtual void doExecute(Database& database, int options) = 0;

    //! The key to the driver hooks (DriverKey.h), for the queries of a driver.
    static DriverKey Key() { return DriverKey(); }

    morvane::Parameters parameters_;

  private:
    Database& OpenDatabase() const;

    std::weak_ptr<Database> database_;
    QString name_;
    short type_;
    bool returnsRecords_;
};

}  // namespace morvane
