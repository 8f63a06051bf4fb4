// SqliteStoredQuery: a stored query of a native database's query catalogue
// (SqliteQueryCatalog): a parameter query, an action query (delete, update, append, make
// table, DDL), a pass-through query or any other type code. Its parameters are the ":Name"
// parameters of its text (SqliteQueryText), each valued by text before the query runs
// (SqliteParameterBinding tells how the text is bound).
//
// A query that returns records opens as a read-only snapshot whatever type and options are
// asked (pass-through, option 64, simply runs the text as it stands, as every query of this
// driver does). Execute runs every statement of an action query's text inside one
// savepoint: either all of them take effect or, when one fails, none.
#pragma once

#include "export/data/QueryDef.h"

namespace morvane {

class SqliteStoredQuery : public QueryDef {
  public:
    SqliteStoredQuery(std::weak_ptr<Database> database, QString name, short type,
                      bool returnsRecords, QString sql);

    QString SQL() const override { return sql_; }

    //! Whether a query of type code `type` with text `sql` returns records: true for select
    //! (0) and cross tab (16) queries, and for pass-through (112) queries whose text is a
    //! SELECT, WITH ... SELECT or VALUES statement; false for every other code.
    static bool ReturnsRecordsFor(short type, const QString& sql);

  protected:
    std::unique_ptr<Recordset> doOpenRecordset(Database& database, int type, int options) override;
    void doExecute(Database& database, int options) override;

  private:
    QString sql_;
};

}  // namespace morvane
