// SqliteViewQuery: a view of a native database seen as a stored query: a select query
// (type 0) that returns records and has no parameters. OpenRecordset opens the view as a
// snapshot.
#pragma once

#include "export/data/QueryDef.h"

namespace morvane {

class SqliteViewQuery : public QueryDef {
  public:
    //! `createSql` is the view's "CREATE VIEW" text from the schema.
    SqliteViewQuery(std::weak_ptr<Database> database, QString name, QString createSql);

    //! The view's SELECT text.
    QString SQL() const override { return select_; }

    //! The SELECT part of a "CREATE VIEW name [(columns)] AS select" text.
    static QString SelectOf(const QString& createSql);

  protected:
    std::unique_ptr<Recordset> doOpenRecordset(Database& database, int type, int options) override;
    void doExecute(Database& database, int options) override;

  private:
    QString select_;
};

}  // namespace morvane
