// BenchDestinations: timed exports of the benchmark table into database destinations, the
// way a batch run does them: the native table kind (a new file each time) and an ODBC data
// source (the table replaced each time; optionally only the first rows).
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
};

}  // namespace morvane::bench
