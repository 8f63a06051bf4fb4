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

namespace {

// One timed export of `table` of `database` (opened with `sourceConnect`), the way a batch
// run does it: the default setting, then output kind `typeFormat`, into `exportFile` (or the
// ODBC data source `destConnect`); `maxRows` > 0 exports only that many records.
struct ExportRequest {
    QString database;
    QString sourceConnect;
    QString table;
    int typeFormat = 0;
    QString exportFile;
    QString destConnect;
    qint64 maxRows = 0;
    qint64 rows = 0;  //!< the records the run exports
};

RunTiming TimedExport(const ExportRequest& request) {
    RunTiming timing;
    if (request.destConnect.isEmpty()) QFile::remove(request.exportFile);
    PlainCaller caller;
    caller.Properties.DataBaseName = request.database;
    caller.Properties.TableName = request.table;
    caller.Properties.ExportFile = request.exportFile;
    caller.Properties.ShowSummary = false;
    caller.Properties.ShowProgress = false;
    caller.Properties.OverWrite = true;
    caller.UpdateSourceConnect();
    ConsolePrompter prompter;  // any error of the run is printed on stderr
    timing.rows = request.rows;
    const double cpuStart = CpuSecondsUsed();
    QElapsedTimer clock;
    clock.start();
    ExportSession session(prompter);
    session.SetCaller(&caller);
    try {
        session.Source().SetDb(DBEngine::Instance().OpenDatabase(
            request.database, 0, false, request.sourceConnect + QStringLiteral("pwd=;")));
        session.Source().SetName(request.table);
        session.Source().SetRs(session.Source().Db()->OpenRecordset(request.table, dbOpenTable));
    } catch (const std::exception& error) {
        timing.problem = QString::fromUtf8(error.what());
        return timing;
    }
    session.SetDefaultSetting();
    session.Setting().TypeFormat = static_cast<short>(request.typeFormat);
    if (request.maxRows > 0) {
        session.Setting().ExportAll = false;
        session.Setting().MaxLines = static_cast<qint32>(request.maxRows);
    }
    session.Destination().Connect = request.destConnect;
    session.Destination().File = request.exportFile;
    session.StartExport();
    timing.seconds = clock.nsecsElapsed() / 1e9;
    timing.cpuSeconds = CpuSecondsUsed() - cpuStart;
    timing.ok = session.LastRunCompleted();
    if (!timing.ok) timing.problem = QStringLiteral("the export run did not complete");
    if (request.destConnect.isEmpty()) timing.bytes = QFile(request.exportFile).size();
    return timing;
}

}  // namespace

RunTiming BenchDestinations::TableExport(const QString& database, int typeFormat,
                                         const QString& exportFile, const QString& destConnect,
                                         qint64 maxRows) {
    const qint64 tableRows = BenchTable::RowCount(database);
    return TimedExport({database, QStringLiteral(";"), QString::fromLatin1(BenchTable::kName),
                        typeFormat, exportFile, destConnect, maxRows,
                        maxRows > 0 ? qMin(maxRows, tableRows) : tableRows});
}

RunTiming BenchDestinations::TextExportFrom(const QString& database, const QString& sourceConnect,
                                            const QString& table, const QString& exportFile,
                                            qint64 rows) {
    return TimedExport(
        {database, sourceConnect, table, /*Variable*/ 0, exportFile, QString(), 0, rows});
}

}  // namespace morvane::bench
