// morvane-bench-preview: how long one refresh of the wizard's preview takes on a large
// source, for the text and the grid preview, from the first record and from deep inside
// the table. The wizard refreshes on every change (each key typed into a width box), so a
// refresh must stay well under the time a user notices.
//
//   morvane-bench-preview [--rows N] [--dir DIR] [--repeat R]
#include "bench/BenchTable.h"
#include "export/common/ScriptedPrompter.h"
#include "export/control/PlainCaller.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/wizard/ExportSession.h"
#include "tools/common/LocalTimeZone.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace morvane;

namespace {

//! The median of `repeat` timings of `refresh`, in milliseconds.
template <typename Refresh>
double MedianMs(int repeat, Refresh refresh) {
    std::vector<double> times;
    for (int round = 0; round < repeat; ++round) {
        QElapsedTimer clock;
        clock.start();
        refresh();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"rows", "Rows of the generated table.", "N", "1000000"});
    parser.addOption({"dir", "Folder of the generated table.", "DIR", QDir::tempPath()});
    parser.addOption({"repeat", "Refreshes timed per case.", "R", "21"});
    parser.process(app);
    PinLocalTimeZone();
    const qint64 rows = parser.value("rows").toLongLong();
    const int repeat = std::max(1, parser.value("repeat").toInt());
    const QString path =
        QDir(parser.value("dir")).filePath(QStringLiteral("bench-%1.db").arg(rows));
    if (bench::BenchTable::RowCount(path) != rows) bench::BenchTable::Generate(path, rows);

    ScriptedPrompter prompter;
    PlainCaller caller;
    ExportSession session(prompter);
    session.SetCaller(&caller);
    session.Source().SetDb(DBEngine::Instance().OpenDatabase(path));
    session.Source().SetName(QString::fromLatin1(bench::BenchTable::kName));
    session.Source().SetRs(
        session.Source().Db()->OpenRecordset(session.Source().Name(), dbOpenTable));
    session.SetDefaultSetting();

    std::printf("%lld rows, median of %d refreshes (ms)\n", static_cast<long long>(rows), repeat);
    std::printf("%-14s %-12s %10s %10s\n", "starting line", "count (once)", "text", "grid");
    const qint64 deep = rows * 9 / 10;
    for (const qint64 startingLine : {qint64(1), deep}) {
        session.Setting().StartingLine = static_cast<int>(startingLine);
        QElapsedTimer clock;
        clock.start();
        session.AdjustPreviewGrid();  // once per source and range change
        const double countMs = clock.nsecsElapsed() / 1e6;
        session.Setting().TypeFormat = 0;
        const double text = MedianMs(repeat, [&] { session.FilePreview(); });
        session.Setting().TypeFormat = 4;
        const double grid = MedianMs(repeat, [&] { session.TablePreview(); });
        std::printf("%-14lld %-12.1f %10.1f %10.1f\n", static_cast<long long>(startingLine),
                    countMs, text, grid);
    }
    return 0;
}
