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
#include "export/common/ConsolePrompter.h"
#include "export/control/PlainCaller.h"
#include "export/engine/TypeConnect.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/wizard/ExportSession.h"
#include "tools/common/LocalTimeZone.h"

#include <sys/resource.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

using namespace morvane;
using namespace morvane::bench;

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// The Paradox table `table` of `folder` exported to delimited text with the default setting.
RunTiming ParadoxToText(const QString& folder, const QString& table, const QString& exportFile,
                        qint64 rows) {
    RunTiming timing;
    timing.rows = rows;
    QFile::remove(exportFile);
    PlainCaller caller;
    caller.Properties.DataBaseName = folder;
    caller.Properties.TableName = table;
    caller.Properties.ExportFile = exportFile;
    caller.Properties.ShowSummary = false;
    caller.Properties.ShowProgress = false;
    caller.Properties.OverWrite = true;
    caller.Properties.ConnectString = static_cast<int>(TypeConnect::Paradox5);
    caller.UpdateSourceConnect();
    ConsolePrompter prompter;
    const double cpuStart = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    ExportSession session(prompter);
    session.SetCaller(&caller);
    try {
        session.Source().SetDb(DBEngine::Instance().OpenDatabase(
            folder, 0, false, QStringLiteral("Paradox 5.x;pwd=;")));
        session.Source().SetName(table);
        session.Source().SetRs(session.Source().Db()->OpenRecordset(table, dbOpenTable));
    } catch (const std::exception& error) {
        timing.problem = QString::fromUtf8(error.what());
        return timing;
    }
    session.SetDefaultSetting();
    session.Destination().File = exportFile;
    session.StartExport();
    timing.seconds = clock.nsecsElapsed() / 1e9;
    timing.cpuSeconds = CpuSeconds() - cpuStart;
    timing.ok = session.LastRunCompleted();
    if (!timing.ok) timing.problem = QStringLiteral("the export run did not complete");
    timing.bytes = QFileInfo(exportFile).size();
    return timing;
}

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
        return ParadoxToText(folder, QStringLiteral("bench_px"), dir.filePath("bench-paradox.txt"),
                             rows);
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
