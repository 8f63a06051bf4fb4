// JetQuerySql: the SQL text of a stored Jet query, put together from its MSysQueries
// rows (the file keeps queries taken apart, not as text), and its type and parameters.
//
// MSysQueries rows of one query (ObjectId), by Attribute:
//
//   1   type in Flag (1 select, 2 make-table, 3 append, 4 update, 5 delete, 6 crosstab,
//       7 data-definition, 8 pass-through, 9 union); Name1 the target table of append and
//       make-table, or the connect string of pass-through; Expression the whole text of
//       data-definition and pass-through queries
//   2   parameter: Name1 its name, Flag its type code
//   3   options in Flag: 1 all fields (*), 2 DISTINCT, 8 DISTINCTROW, 16 TOP, 32 PERCENT;
//       Name1 the TOP value
//   5   input table: Name1 the table, Name2 its alias; for union queries Expression holds
//       one SELECT of the union
//   6   output column: Expression, Name1 its alias, Name2 the target column (append,
//       update); crosstab Flag: 1 pivot column, 2 row heading, 0 the value
//   7   join: Name1 and Name2 the tables, Expression the condition, Flag 1 inner,
//       2 left, 3 right
//   8   WHERE   9 GROUP BY (crosstab Flag as for columns)   10 HAVING
//   11  ORDER BY: Expression, Name1 "D" for descending
#pragma once

#include "export/data/jet/JetCatalog.h"

#include <QStringList>
#include <vector>

namespace morvane {

class JetQuerySql {
  public:
    explicit JetQuerySql(std::vector<JetQueryRow> rows);

    //! The engine's query type code (0 select, 16 cross tab, 32 delete, ... 128 union);
    //! `fallback` (the catalogue's flags) when the rows do not say.
    short Type(short fallback) const;
    //! Parameter names and type codes, in order.
    std::vector<std::pair<QString, short>> Parameters() const;
    //! The query's SQL text.
    QString Sql() const;
    //! The text of a select query without its PARAMETERS clause (what an SQL engine runs).
    QString SelectSql() const;

    //! For a select query: why it is more than one table read with a condition libmdb's
    //! SQL engine understands (joins, grouping, ordering, DISTINCT, TOP, parameters,
    //! computed columns, OR), empty when it is not.
    QString SimpleSelectProblem() const;
    //! The select in the dialect of libmdb's SQL engine: bare or bracketed names, no
    //! table qualifiers, no parentheses, strings in single quotes.
    //! REQUIRES: SimpleSelectProblem() is empty.
    QString MdbSql() const;

  private:
    std::vector<const JetQueryRow*> Rows(int attribute) const;
    QStringList Expressions(int attribute, int crosstabFlag = -1) const;
    int Options() const;
    QString TypeCodeRowName() const;
    QString Columns(int crosstabFlag = -1) const;
    QString FromClause() const;
    QString Tail(bool withOrder, int crosstabFlag = -1) const;

    std::vector<JetQueryRow> rows_;
};

}  // namespace morvane
