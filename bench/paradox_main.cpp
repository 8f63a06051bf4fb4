// morvane-bench-paradox: the Paradox driver against our native-to-delimited export.
//
//   morvane-bench-paradox [--rows N] [--dir DIR]
//
// (t) the generated native table to delimited text (the yardstick), (w) the same table to a
// Paradox 5 table DIR/paradox/bench_px.db (a new table each run), (r) that Paradox table to
// delimited text through the export session with the "Paradox 5.x" source type. Each run is
// a child process of its own, so its processor time and peak memory are its alone.
#include "bench/BenchDestinations.h"
#include "bench/BenchRuns.h"
#include "bench/BenchTable.h"
#include "export/engine/TypeConnect.h"
#include "tools/common/LocalTimeZone.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace morvane;
using namespace morvane::bench;

namespace {

void PrintRow(const char* name, const RunTiming& timing) {
    if (!timing.ok) {
        std::printf("%-34s FAILED: %s\n", name, qPrintable(timing.problem));
        return;
    }
    std::printf("%-34s %9lld %8.3f %8.3f %10lld %12lld\n", name,
                static_cast<long long>(timing.rows), timing.seconds, timing.cpuSeconds,
                static_cast<long long>(timing.peakKb), static_cast<long long>(timing.bytes));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"rows", "rows of the generated table (default 1000000)", "N", "1000000"});
    parser.addOption({"dir", "folder for the table and outputs", "DIR", QDir::tempPath()});
    parser.addHelpOption();
    parser.process(app);
    const qint64 rows = parser.value("rows").toLongLong();
    if (rows <= 0) return 2;
    PinLocalTimeZone();
    const QDir dir(parser.value("dir"));
    QDir().mkpath(dir.path());
    const QString database = dir.filePath(QStringLiteral("bench-%1.db").arg(rows));
    if (BenchTable::RowCount(database) != rows) BenchTable::Generate(database, rows);
    const QString folder = dir.filePath(QStringLiteral("paradox"));
    QDir().mkpath(folder);

    std::printf("%-34s %9s %8s %8s %10s %12s\n", "run", "rows", "wall s", "cpu s", "peak kB",
                "bytes");
    const RunTiming text = BenchRuns::Measured(
        [&] { return BenchRuns::OurExport(database, dir.filePath("bench-native.txt"), nullptr); });
    PrintRow("(t) native -> delimited text", text);
    const RunTiming write = BenchRuns::Measured([&] {
        for (const char* file : {"bench_px.db", "bench_px.mb"})
            QFile::remove(QDir(folder).filePath(file));
        RunTiming timing = BenchDestinations::TableExport(
            database, TypeConnect::Paradox5, QDir(folder).filePath("bench_px.db"), {}, 0);
        timing.bytes = QFileInfo(QDir(folder).filePath("bench_px.db")).size() +
                       QFileInfo(QDir(folder).filePath("bench_px.mb")).size();
        return timing;
    });
    PrintRow("(w) native -> Paradox 5 table", write);
    const RunTiming read = BenchRuns::Measured([&] {
        return BenchDestinations::TextExportFrom(folder, QStringLiteral("Paradox 5.x;"),
                                                 QStringLiteral("bench_px"),
                                                 dir.filePath("bench-paradox.txt"), rows);
    });
    PrintRow("(r) Paradox 5 table -> delimited", read);
    if (text.ok && write.ok)
        std::printf("(w)/(t) wall %.2f cpu %.2f\n", write.seconds / text.seconds,
                    write.cpuSeconds / text.cpuSeconds);
    if (text.ok && read.ok)
        std::printf("(r)/(t) wall %.2f cpu %.2f\n", read.seconds / text.seconds,
                    read.cpuSeconds / text.cpuSeconds);
    return text.ok && write.ok && read.ok ? 0 : 1;
}
