#include "bench/BenchDestinations.h"

#include "bench/BenchTable.h"
#include "export/common/ConsolePrompter.h"
#include "export/control/PlainCaller.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/wizard/ExportSession.h"

#include <sys/resource.h>
#include <QElapsedTimer>
#include <QFile>

namespace morvane::bench {

namespace {

double CpuSecondsUsed() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

}  // namespace

RunTiming BenchDestinations::TableExport(const QString& database, int typeFormat,
                                         const QString& exportFile, const QString& destConnect,
                                         qint64 maxRows) {
    RunTiming timing;
    if (destConnect.isEmpty()) QFile::remove(exportFile);
    PlainCaller caller;
    caller.Properties.DataBaseName = database;
    caller.Properties.TableName = QString::fromLatin1(BenchTable::kName);
    caller.Properties.ExportFile = exportFile;
    caller.Properties.ShowSummary = false;
    caller.Properties.ShowProgress = false;
    caller.Properties.OverWrite = true;
    caller.UpdateSourceConnect();
    ConsolePrompter prompter;  // any error of the run is printed on stderr

    const qint64 tableRows = BenchTable::RowCount(database);
    timing.rows = maxRows > 0 ? qMin(maxRows, tableRows) : tableRows;
    const double cpuStart = CpuSecondsUsed();
    QElapsedTimer clock;
    clock.start();
    ExportSession session(prompter);
    session.SetCaller(&caller);
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
    session.Setting().TypeFormat = static_cast<short>(typeFormat);
    if (maxRows > 0) {
        session.Setting().ExportAll = false;
        session.Setting().MaxLines = static_cast<qint32>(maxRows);
    }
    session.Destination().Connect = destConnect;
    session.Destination().File = exportFile;
    session.StartExport();
    timing.seconds = clock.nsecsElapsed() / 1e9;
    timing.cpuSeconds = CpuSecondsUsed() - cpuStart;
    timing.ok = session.LastRunCompleted();
    if (!timing.ok) timing.problem = QStringLiteral("the export run did not complete");
    if (destConnect.isEmpty()) timing.bytes = QFile(exportFile).size();
    return timing;
}

RunTiming BenchDestinations::TextExportFrom(const QString& database, const QString& sourceConnect,
                                            const QString& table, const QString& exportFile,
                                            qint64 rows) {
    RunTiming timing;
    QFile::remove(exportFile);
    PlainCaller caller;
    caller.Properties.DataBaseName = database;
    caller.Properties.TableName = table;
    caller.Properties.ExportFile = exportFile;
    caller.Properties.ShowSummary = false;
    caller.Properties.ShowProgress = false;
    caller.Properties.OverWrite = true;
    ConsolePrompter prompter;  // any error of the run is printed on stderr
    timing.rows = rows;
    const double cpuStart = CpuSecondsUsed();
    QElapsedTimer clock;
    clock.start();
    ExportSession session(prompter);
    session.SetCaller(&caller);
    try {
        session.Source().SetDb(DBEngine::Instance().OpenDatabase(
            database, 0, false, sourceConnect + QStringLiteral("pwd=;")));
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
    timing.cpuSeconds = CpuSecondsUsed() - cpuStart;
    timing.ok = session.LastRunCompleted();
    if (!timing.ok) timing.problem = QStringLiteral("the export run did not complete");
    timing.bytes = QFile(exportFile).size();
    return timing;
}

}  // namespace morvane::bench
