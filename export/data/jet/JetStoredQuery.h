// JetStoredQuery: a stored query of a Jet database (JetQuerySql gives its text). This
// engine never writes a Jet file: Execute of an action query raises 3027. A select query
// opens as a snapshot when libmdb's SQL engine can run it: one table, no join, grouping,
// ordering, DISTINCT, TOP or parameters, and a condition its parser accepts. Any other
// query fails to open with 3251 naming the query and saying why.
#pragma once

#include "export/data/QueryDef.h"
#include "export/data/jet/JetQuerySql.h"

#include <memory>

namespace morvane {

class JetFile;

class JetStoredQuery : public QueryDef {
  public:
    JetStoredQuery(std::weak_ptr<Database> database, std::shared_ptr<JetFile> file, QString name,
                   short type, JetQuerySql definition);

    QString SQL() const override { return definition_.Sql(); }

    //! Why libmdb's SQL engine cannot run the query (empty when it may).
    QString Unsupported() const;

  protected:
    std::unique_ptr<Recordset> doOpenRecordset(Database& database, int type, int options) override;
    void doExecute(Database& database, int options) override;

  private:
    [[noreturn]] void RaiseCannotRun(const QString& why) const;

    std::shared_ptr<JetFile> file_;
    JetQuerySql definition_;
};

}  // namespace morvane
