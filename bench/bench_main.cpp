// morvane-bench: times our delimited-text export of a generated table against the sqlite3
// shell's CSV output and a bare read loop, and prints rows per second and the ratios.
//
//   morvane-bench [--rows N] [--dir DIR] [--only-export] [--keep-tz]
//
// The table is generated once per row count (DIR/bench-N.db) and reused by later runs.
// --only-export runs nothing but our export (for measuring its peak memory with
// /usr/bin/time -v); it generates the table first only when it is missing. Like
// morvane-batch, the benchmark pins the local time zone (LocalTimeZone.h) unless --keep-tz.
#include "bench/BenchRuns.h"
#include "bench/BenchTable.h"
#include "tools/common/LocalTimeZone.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

using morvane::bench::BenchRuns;
using morvane::bench::BenchTable;
using morvane::bench::CountingProgress;
using morvane::bench::RunTiming;

namespace {

void PrintRow(const char* name, const RunTiming& timing) {
    if (!timing.ok) {
        std::printf("%-34s FAILED: %s\n", name, qPrintable(timing.problem));
        return;
    }
    std::printf("%-34s %8.3f %8.3f %12.0f %12.0f %11lld\n", name, timing.seconds, timing.cpuSeconds,
                timing.RowsPerSecond(), timing.RowsPerCpuSecond(),
                static_cast<long long>(timing.bytes));
}

QString EnsureTable(const QString& dir, qint64 rows) {
    const QString path = QDir(dir).filePath(QStringLiteral("bench-%1.db").arg(rows));
    if (BenchTable::RowCount(path) != rows) {
        QElapsedTimer clock;
        clock.start();
        BenchTable::Generate(path, rows);
        std::printf("generated %s in %.1f s\n", qPrintable(path), clock.elapsed() / 1000.0);
    }
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"rows", "rows of the generated table (default 1000000)", "N", "1000000"});
    parser.addOption(
        {"dir", "folder for the table and the outputs (default: temp)", "DIR", QDir::tempPath()});
    parser.addOption({"only-export", "run only our export (for peak memory measurement)"});
    parser.addOption(
        {"keep-tz", "leave TZ as it is (by default it is pinned as morvane-batch does)"});
    parser.addHelpOption();
    parser.process(app);
    bool ok = false;
    const qint64 rows = parser.value("rows").toLongLong(&ok);
    if (!ok || rows <= 0) {
        std::fprintf(stderr, "morvane-bench: --rows needs a positive number\n");
        return 2;
    }
    if (!parser.isSet("keep-tz")) morvane::PinLocalTimeZone();
    const QString dir = parser.value("dir");
    QDir().mkpath(dir);
    const QString database = EnsureTable(dir, rows);
    const QString ours = QDir(dir).filePath(QStringLiteral("bench-ours.txt"));

    if (parser.isSet("only-export")) {
        const RunTiming timing = BenchRuns::OurExport(database, ours, nullptr);
        PrintRow("(a)  our export", timing);
        return timing.ok ? 0 : 1;
    }
    const RunTiming exported = BenchRuns::OurExport(database, ours, nullptr);
    CountingProgress counter;
    const RunTiming shown = BenchRuns::OurExport(database, ours, &counter);
    const RunTiming csv =
        BenchRuns::SqliteCsv(database, QDir(dir).filePath(QStringLiteral("bench-sqlite.csv")));
    const RunTiming bare = BenchRuns::BareReadLoop(database);

    std::printf("rows: %lld\n%-34s %8s %8s %12s %12s %11s\n", static_cast<long long>(rows), "run",
                "wall s", "cpu s", "rows/wall s", "rows/cpu s", "bytes");
    PrintRow("(a)  our export", exported);
    PrintRow("(a') our export, counting progress", shown);
    PrintRow("(b)  sqlite3 -csv", csv);
    PrintRow("(c)  bare sqlite3 read loop", bare);
    std::printf("(a') progress calls: SetValue %lld, ProcessEvents %lld, last value %lld of %d\n",
                static_cast<long long>(counter.setValueCalls()),
                static_cast<long long>(counter.processEventsCalls()),
                static_cast<long long>(counter.lastValue()), counter.maximum());
    if (exported.ok && csv.ok && bare.ok) {
        std::printf("ratio          wall    cpu\n");
        std::printf("(a)/(b)   %8.2f %6.2f   (goal <= 1.00)\n", exported.seconds / csv.seconds,
                    exported.cpuSeconds / csv.cpuSeconds);
        std::printf("(a)/(c)   %8.2f %6.2f   (goal <= 1.50)\n", exported.seconds / bare.seconds,
                    exported.cpuSeconds / bare.cpuSeconds);
        std::printf("(a')/(a)  %8.2f %6.2f\n", shown.seconds / exported.seconds,
                    shown.cpuSeconds / exported.cpuSeconds);
    }
    return exported.ok && shown.ok && csv.ok && bare.ok ? 0 : 1;
}
