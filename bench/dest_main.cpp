// morvane-bench-dest: times exports of the generated table into database destinations
// against our own delimited-text export of the same table.
//
//   morvane-bench-dest [--rows N] [--dir DIR] [--odbc CONNECT] [--odbc-rows N] [--only KIND]
//
// (t) delimited text, (a) the native table kind into DIR/bench-dest.db, and with --odbc
// (b) the data source of CONNECT ("ODBC;DSN=...;UID=...;PWD=...;"), table bench_rows,
// replaced each run, with the first --odbc-rows records (default 100000); (d) the dBASE IV
// table kind into DIR/bench_rows.dbf, (e) that dBASE table exported to delimited text, and
// (f) an Excel 97 workbook DIR/bench-dest.xls (a new file each run; at most 65,535 records
// fit a sheet, so use --rows 65000 for it), and (p) a Paradox 5 table DIR/paradox/bench_px.db.
// --only text, access, odbc, dbase, dbase-text, excel or paradox runs just that one (for measuring
// peak memory with /usr/bin/time -v; dbase-text needs the table of an earlier dbase run).
#include "bench/BenchDestinations.h"
#include "bench/BenchRuns.h"
#include "bench/BenchTable.h"
#include "export/engine/TypeConnect.h"
#include "tools/common/LocalTimeZone.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

using namespace morvane::bench;

namespace {

void PrintRow(const char* name, const RunTiming& timing) {
    if (!timing.ok) {
        std::printf("%-30s FAILED: %s\n", name, qPrintable(timing.problem));
        return;
    }
    std::printf("%-30s %9lld %8.3f %8.3f %12.0f %12.0f\n", name,
                static_cast<long long>(timing.rows), timing.seconds, timing.cpuSeconds,
                timing.RowsPerSecond(), timing.RowsPerCpuSecond());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"rows", "rows of the generated table (default 1000000)", "N", "1000000"});
    parser.addOption({"dir", "folder for the table and outputs", "DIR", QDir::tempPath()});
    parser.addOption({"odbc", "ODBC connect string of the data source to export to", "CONNECT"});
    parser.addOption({"odbc-rows", "records exported to the data source", "N", "100000"});
    parser.addOption(
        {"only", "run one export only: text, access, odbc, dbase, dbase-text, excel or paradox",
         "KIND"});
    parser.addHelpOption();
    parser.process(app);
    const qint64 rows = parser.value("rows").toLongLong();
    if (rows <= 0) return 2;
    morvane::PinLocalTimeZone();
    const QString dir = parser.value("dir");
    QDir().mkpath(dir);
    const QString database = QDir(dir).filePath(QStringLiteral("bench-%1.db").arg(rows));
    if (BenchTable::RowCount(database) != rows) BenchTable::Generate(database, rows);
    const QString only = parser.value("only");
    const auto wanted = [&](const char* kind) { return only.isEmpty() || only == kind; };

    std::printf("%-30s %9s %8s %8s %12s %12s\n", "run", "rows", "wall s", "cpu s", "rows/wall s",
                "rows/cpu s");
    RunTiming text;
    RunTiming native;
    bool ok = true;
    if (wanted("text")) {
        text = BenchRuns::OurExport(database, QDir(dir).filePath("bench-dest.txt"), nullptr);
        PrintRow("(t) delimited text", text);
        ok = ok && text.ok;
    }
    if (wanted("access")) {
        native = BenchDestinations::TableExport(database, morvane::TypeConnect::Access,
                                                QDir(dir).filePath("bench-dest.db"), {}, 0);
        PrintRow("(a) native table kind", native);
        ok = ok && native.ok;
    }
    if (parser.isSet("odbc") && wanted("odbc")) {
        const RunTiming odbc = BenchDestinations::TableExport(
            database, morvane::TypeConnect::ODBC, QDir(dir).filePath("bench_rows"),
            parser.value("odbc"), parser.value("odbc-rows").toLongLong());
        PrintRow("(b) ODBC data source", odbc);
        ok = ok && odbc.ok;
    }
    RunTiming dbase;
    RunTiming dbaseText;
    if (wanted("dbase")) {
        dbase = BenchDestinations::TableExport(database, morvane::TypeConnect::DBase4,
                                               QDir(dir).filePath("bench_rows.dbf"), {}, 0);
        PrintRow("(d) dBASE IV table kind", dbase);
        ok = ok && dbase.ok;
    }
    if (wanted("dbase-text")) {
        dbaseText = BenchDestinations::TextExportFrom(dir, QStringLiteral("dBASE IV;"),
                                                      QStringLiteral("bench_rows"),
                                                      QDir(dir).filePath("bench-dbase.txt"), rows);
        PrintRow("(e) dBASE table to text", dbaseText);
        ok = ok && dbaseText.ok;
    }
    RunTiming excel;
    if (wanted("excel")) {
        QFile::remove(QDir(dir).filePath("bench-dest.xls"));
        excel = BenchDestinations::TableExport(database, morvane::TypeConnect::Excel97,
                                               QDir(dir).filePath("bench-dest.xls"), {}, 0);
        PrintRow("(f) Excel 97 workbook", excel);
        ok = ok && excel.ok;
    }
    RunTiming paradox;
    if (wanted("paradox")) {
        const QString folder = QDir(dir).filePath(QStringLiteral("paradox"));
        QDir().mkpath(folder);
        for (const char* file : {"bench_px.db", "bench_px.mb"})
            QFile::remove(QDir(folder).filePath(file));
        paradox = BenchDestinations::TableExport(database, morvane::TypeConnect::Paradox5,
                                                 QDir(folder).filePath("bench_px.db"), {}, 0);
        PrintRow("(p) Paradox 5 table kind", paradox);
        ok = ok && paradox.ok;
    }
    if (text.ok && paradox.ok)
        std::printf("(p)/(t) wall %.2f cpu %.2f   (goal <= 1.50)\n", paradox.seconds / text.seconds,
                    paradox.cpuSeconds / text.cpuSeconds);
    if (text.ok && excel.ok)
        std::printf("(f)/(t) wall %.2f cpu %.2f   (goal <= 1.50)\n", excel.seconds / text.seconds,
                    excel.cpuSeconds / text.cpuSeconds);
    if (text.ok && native.ok)
        std::printf("(a)/(t) wall %.2f cpu %.2f   (goal <= 1.50)\n", native.seconds / text.seconds,
                    native.cpuSeconds / text.cpuSeconds);
    if (text.ok && dbase.ok)
        std::printf("(d)/(t) wall %.2f cpu %.2f   (goal <= 1.50)\n", dbase.seconds / text.seconds,
                    dbase.cpuSeconds / text.cpuSeconds);
    if (text.ok && dbaseText.ok)
        std::printf("(e)/(t) wall %.2f cpu %.2f   (goal <= 1.50)\n",
                    dbaseText.seconds / text.seconds, dbaseText.cpuSeconds / text.cpuSeconds);
    return ok ? 0 : 1;
}
