// BenchTable: the benchmark's source table, generated straight through the sqlite3 C API
// (one transaction, one prepared insert) so that a million rows take seconds. The content
// depends only on the row count: a fixed pseudo-random sequence picks names, cities,
// numbers and dates, and Nulls are sprinkled over most columns.
//
//   column   declared as    engine type   content
//   id       INTEGER        Long          1..N
//   name     VARCHAR(40)    Text          names with commas, quotes, apostrophes, accents
//   city     VARCHAR(30)    Text          cities, some Null
//   qty      SMALLINT       Integer       0..999, some Null
//   price    DOUBLE         Double        two-decimal prices
//   amount   CURRENCY       Currency      qty * price, some Null
//   created  DATETIME       Date/Time     2000..2024, with and without time of day
//   active   BOOLEAN        Boolean       1/0, some Null
//   ratio    REAL           Double        fractions, some Null
//   note     TEXT           Memo          comments with CR LF, some Null
//
// Usage:
//   BenchTable::Generate("/tmp/bench.db", 1000000);   // throws std::runtime_error
//   qint64 rows = BenchTable::RowCount("/tmp/bench.db");  // -1 when unreadable
#pragma once

#include <QString>

namespace morvane::bench {

class BenchTable {
  public:
    //! The table's name in the generated database.
    static const char* const kName;

    //! Writes a new database file at path (an existing file is replaced) holding the
    //! table with `rows` rows.
    static void Generate(const QString& path, qint64 rows);
    //! The number of rows of the table in the database at path; -1 when it cannot be read.
    static qint64 RowCount(const QString& path);
};

}  // namespace morvane::bench
