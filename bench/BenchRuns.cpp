#include "bench/BenchRuns.h"

#include "bench/BenchTable.h"
#include "export/common/ConsolePrompter.h"
#include "export/control/PlainCaller.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/wizard/ExportSession.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>

namespace morvane::bench {

namespace {

double Seconds(const timeval& time) {
    return time.tv_sec + time.tv_usec / 1e6;
}

//! Processor time (user + system) used so far by this process, or by its waited-for
//! children.
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

}  // namespace

void CountingProgress::SetValue(int value, const QString& label) {
    ++setValueCalls_;
    lastValue_ = value;
    Q_UNUSED(label);
}

RunTiming BenchRuns::OurExport(const QString& database, const QString& exportFile,
                               ProgressDisplay* display, const ExportVariant& variant) {
    RunTiming timing;
    QFile::remove(exportFile);
    PlainCaller caller;
    caller.Properties.DataBaseName = database;
    caller.Properties.TableName = QString::fromLatin1(BenchTable::kName);
    caller.Properties.ExportFile = exportFile;
    caller.Properties.ShowSummary = false;
    caller.Properties.ShowProgress = display != nullptr;
    caller.Properties.OverWrite = true;
    caller.UpdateSourceConnect();
    qint64 handled = 0;
    if (variant.fieldHandler)
        caller.Hooks.BeforeFieldExport = [&handled](const QString&, const QString&, short, short,
                                                    QString& value) { handled += value.size(); };
    ConsolePrompter prompter;  // any error of the run is printed on stderr

    // Counted outside the timed part: the export counts the records on its own.
    timing.rows = BenchTable::RowCount(database);
    const double cpuStart = CpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    ExportSession session(prompter);
    session.SetCaller(&caller);
    session.SetProgressDisplay(display);
    try {
        session.Source().SetDb(DBEngine::Instance().OpenDatabase(database, 0, false, ";pwd=;"));
        session.Source().SetName(caller.Properties.TableName);
        session.Source().SetRs(
            session.Source().Db()->OpenRecordset(session.Source().Name(), dbOpenTable));
    } catch (const std::exception& error) {
        timing.problem = QString::fromUtf8(error.what());
        return timing;
    }
    session.SetDefaultSetting();
    ExportSetting& setting = session.Setting();
    setting.TypeFormat = variant.kind;
    setting.ExportFldNames = variant.header;
    setting.ExportHtmlFldNames = variant.header;
    setting.Upper = variant.upper;
    setting.OemConvert = variant.oem;
    setting.SetSeparator(variant.separator);
    setting.SetDelimiter(variant.delimiter);
    setting.RecomputeUseDelimiter();
    for (short& width : setting.Size)
        if (width > 0) width = static_cast<short>(std::max(0, width + variant.widthChange));
    session.Destination().File = exportFile;
    session.StartExport();
    timing.seconds = clock.nsecsElapsed() / 1e9;
    timing.cpuSeconds = CpuSeconds(RUSAGE_SELF) - cpuStart;
    timing.ok = session.LastRunCompleted();
    if (!timing.ok) timing.problem = QStringLiteral("the export run did not complete");
    timing.bytes = QFileInfo(exportFile).size();
    return timing;
}

RunTiming BenchRuns::SqliteCsv(const QString& database, const QString& exportFile) {
    RunTiming timing;
    timing.rows = BenchTable::RowCount(database);
    QProcess process;
    process.setStandardOutputFile(exportFile, QIODevice::Truncate);
    const double cpuStart = CpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("sqlite3"),
                  {QStringLiteral("-csv"), database,
                   QStringLiteral("SELECT * FROM %1").arg(QLatin1String(BenchTable::kName))});
    const bool finished = process.waitForFinished(-1);
    timing.seconds = clock.nsecsElapsed() / 1e9;
    timing.cpuSeconds = CpuSeconds(RUSAGE_CHILDREN) - cpuStart;
    timing.ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!timing.ok)
        timing.problem = QStringLiteral("sqlite3 failed: ") + process.errorString() +
                         QString::fromLocal8Bit(process.readAllStandardError());
    timing.bytes = QFileInfo(exportFile).size();
    return timing;
}

RunTiming BenchRuns::BareReadLoop(const QString& database) {
    RunTiming timing;
    const double cpuStart = CpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        timing.problem = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return timing;
    }
    sqlite3_stmt* select = nullptr;
    const QByteArray sql = QByteArray("SELECT * FROM ") + BenchTable::kName;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &select, nullptr) == SQLITE_OK) {
        const int columns = sqlite3_column_count(select);
        qint64 characters = 0;  // used below, so the reads cannot be optimised away
        while (sqlite3_step(select) == SQLITE_ROW) {
            for (int column = 0; column < columns; ++column) {
                const unsigned char* text = sqlite3_column_text(select, column);
                if (text) characters += sqlite3_column_bytes(select, column);
            }
            ++timing.rows;
        }
        timing.ok = characters > 0;
    }
    if (!timing.ok) timing.problem = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(select);
    sqlite3_close(db);
    timing.seconds = clock.nsecsElapsed() / 1e9;
    timing.cpuSeconds = CpuSeconds(RUSAGE_SELF) - cpuStart;
    return timing;
}

RunTiming BenchRuns::Measured(const std::function<RunTiming()>& run) {
    int channel[2];
    RunTiming timing;
    if (::pipe(channel) != 0) {
        timing.problem = QStringLiteral("pipe failed");
        return timing;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const RunTiming result = run();
        const QByteArray report =
            QByteArray::number(result.seconds, 'g', 17) + '\n' + QByteArray::number(result.rows) +
            '\n' + QByteArray::number(result.bytes) + '\n' + QByteArray::number(result.ok ? 1 : 0) +
            '\n' + result.problem.toUtf8();
        (void)!::write(channel[1], report.constData(), static_cast<size_t>(report.size()));
        ::close(channel[1]);
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray report;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) report.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) {
        timing.problem = QStringLiteral("fork failed");
        return timing;
    }
    const QList<QByteArray> lines = report.split('\n');
    if (lines.size() < 5) {
        timing.problem = QStringLiteral("the child ended without a report");
        return timing;
    }
    timing.seconds = lines[0].toDouble();
    timing.rows = lines[1].toLongLong();
    timing.bytes = lines[2].toLongLong();
    timing.ok = lines[3] == "1";
    timing.problem = QString::fromUtf8(report.mid(report.indexOf(lines[4])));
    timing.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    timing.peakKb = usage.ru_maxrss;
    return timing;
}

}  // namespace morvane::bench
