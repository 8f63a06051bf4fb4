// BenchDestinations: timed exports of the benchmark table into database destinations, the
// way a batch run does them: the native table kind (a new file each time) and an ODBC data
// source (the table replaced each time; optionally only the first rows); and a table of
// another engine driver (a dBASE folder) exported to delimited text.
//
// Usage:
//   RunTiming native = BenchDestinations::TableExport(db, TypeConnect::Access, outDb, {}, 0);
//   RunTiming odbc = BenchDestinations::TableExport(db, TypeConnect::ODBC, "bench_rows",
//                                                    "ODBC;DSN=pg;UID=u;PWD=p;", 100000);
#pragma once

#include "bench/BenchRuns.h"

namespace morvane::bench {

class BenchDestinations {
  public:
    //! Exports the benchmark table of `database` with the default setting and output kind
    //! `typeFormat` to `exportFile` (the destination file, or the name the ODBC table is
    //! taken from). `maxRows` > 0 exports only that many records.
    static RunTiming TableExport(const QString& database, int typeFormat, const QString& exportFile,
                                 const QString& destConnect, qint64 maxRows);
    //! Exports table `table` of the database `database` opened with the connect string
    //! `sourceConnect` ("dBASE IV;" for a folder of dBASE tables) to delimited text in
    //! `exportFile`, with the default setting. `rows` is the table's record count.
    static RunTiming TextExportFrom(const QString& database, const QString& sourceConnect,
                                    const QString& table, const QString& exportFile, qint64 rows);
};

}  // namespace morvane::bench
