// morvane-bench-lotus: times exports of the generated benchmark table into Lotus WK1 and
// WK3 sheets against our own delimited-text export of the same rows.
//
//   morvane-bench-lotus [--dir DIR] [--only text|wk1|wk3] [--rows N]
//
// Both worksheet formats hold 8,192 rows (the field names and 8,191 records), so the
// sheets get the 8,000-row table; with --rows 65000 the WK3 run shows the export stopping
// at the row limit. --only runs one export (for peak memory with /usr/bin/time -v).
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

using namespace morvane::bench;

namespace {

void PrintRow(const char* name, const RunTiming& timing, const QString& file) {
    if (!timing.ok) {
        std::printf("%-26s stopped after %.3f s: %s\n", name, timing.seconds,
                    qPrintable(timing.problem));
        return;
    }
    std::printf("%-26s %8lld %8.3f %8.3f %10lld\n", name, static_cast<long long>(timing.rows),
                timing.seconds, timing.cpuSeconds, static_cast<long long>(QFileInfo(file).size()));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"dir", "folder for the table and outputs", "DIR", QDir::tempPath()});
    parser.addOption({"only", "run one export only: text, wk1 or wk3", "KIND"});
    parser.addOption({"rows", "rows of the generated table (default 8000)", "N", "8000"});
    parser.addHelpOption();
    parser.process(app);
    morvane::PinLocalTimeZone();
    const qint64 rows = parser.value("rows").toLongLong();
    if (rows <= 0) return 2;
    const QDir dir(parser.value("dir"));
    QDir().mkpath(dir.path());
    const QString database = dir.filePath(QStringLiteral("bench-%1.db").arg(rows));
    if (BenchTable::RowCount(database) != rows) BenchTable::Generate(database, rows);
    const QString only = parser.value("only");
    const auto wanted = [&](const char* kind) { return only.isEmpty() || only == kind; };

    std::printf("%-26s %8s %8s %8s %10s\n", "run", "rows", "wall s", "cpu s", "bytes");
    RunTiming text, wk1, wk3;
    if (wanted("text")) {
        const QString file = dir.filePath("bench-lotus.txt");
        text = BenchRuns::OurExport(database, file, nullptr);
        PrintRow("(t) delimited text", text, file);
    }
    if (wanted("wk1")) {
        const QString file = dir.filePath("bench-lotus.wk1");
        QFile::remove(file);
        wk1 = BenchDestinations::TableExport(database, morvane::TypeConnect::Lotus1, file, {}, 0);
        PrintRow("(1) Lotus WK1", wk1, file);
    }
    if (wanted("wk3")) {
        const QString file = dir.filePath("bench-lotus.wk3");
        QFile::remove(file);
        wk3 = BenchDestinations::TableExport(database, morvane::TypeConnect::Lotus3, file, {}, 0);
        PrintRow("(3) Lotus WK3", wk3, file);
    }
    if (text.ok && wk1.ok)
        std::printf("(1)/(t) wall %.2f cpu %.2f\n", wk1.seconds / text.seconds,
                    wk1.cpuSeconds / text.cpuSeconds);
    if (text.ok && wk3.ok)
        std::printf("(3)/(t) wall %.2f cpu %.2f\n", wk3.seconds / text.seconds,
                    wk3.cpuSeconds / text.cpuSeconds);
    return 0;
}
