// morvane-bench-window: times our export under the real progress window (offscreen),
// against the same export without any display, on the benchmark table, and prints the
// process's peak memory.
//
//   QT_QPA_PLATFORM=offscreen morvane-bench-window [--rows N] [--dir DIR]
#include "bench/BenchRuns.h"
#include "bench/BenchTable.h"
#include "export/common/ConsolePrompter.h"
#include "export/engine/ui/frmProgress.h"
#include "tools/common/LocalTimeZone.h"

#include <sys/resource.h>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

using morvane::bench::BenchRuns;
using morvane::bench::BenchTable;
using morvane::bench::RunTiming;

int main(int argc, char** argv) {
    morvane::PinLocalTimeZone();  // as morvane-bench and morvane-batch do
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"rows", "rows of the generated table (default 1000000)", "N", "1000000"});
    parser.addOption(
        {"dir", "folder for the table and the output (default: temp)", "DIR", QDir::tempPath()});
    parser.addHelpOption();
    parser.process(app);
    const qint64 rows = parser.value("rows").toLongLong();
    if (rows <= 0) return 2;
    const QString dir = parser.value("dir");
    QDir().mkpath(dir);
    const QString database = QDir(dir).filePath(QStringLiteral("bench-%1.db").arg(rows));
    if (BenchTable::RowCount(database) != rows) BenchTable::Generate(database, rows);
    const QString out = QDir(dir).filePath(QStringLiteral("bench-window.txt"));

    const RunTiming plain = BenchRuns::OurExport(database, out, nullptr);
    morvane::ConsolePrompter prompter;
    morvane::frmProgress window(prompter);
    const RunTiming shown = BenchRuns::OurExport(database, out, &window);
    for (const auto& [name, timing] : {std::pair{"our export, no display", plain},
                                       std::pair{"our export, progress window", shown}}) {
        if (timing.ok)
            std::printf("%-30s %8.3f s wall %8.3f s cpu %10.0f rows/cpu s\n", name, timing.seconds,
                        timing.cpuSeconds, timing.RowsPerCpuSecond());
        else
            std::printf("%-30s FAILED: %s\n", name, qPrintable(timing.problem));
    }
    if (plain.ok && shown.ok)
        std::printf("window/plain: wall %.2f, cpu %.2f\n", shown.seconds / plain.seconds,
                    shown.cpuSeconds / plain.cpuSeconds);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of this process (both runs, window included): %.1f MB\n",
                usage.ru_maxrss / 1024.0);
    return plain.ok && shown.ok ? 0 : 1;
}
