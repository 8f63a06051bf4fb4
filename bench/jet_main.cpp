// morvane-bench-jet: times reading a Jet table through the engine (every field of every
// record, as an export reads them) against mdb-export writing the same table, and shows
// the peak memory after a first pass and after all passes (a reader that streams and
// releases what it reads keeps it flat).
//
//   morvane-bench-jet FILE TABLE [--repeat N]
#include "export/data/Database.h"
#include "export/data/Recordset.h"
#include "export/data/dbengine/DBEngine.h"

#include <sys/resource.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

namespace {

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

qint64 ReadAll(const QString& file, const QString& table) {
    auto database = morvane::DBEngine::Instance().OpenDatabase(file, 0, true, ";pwd=;");
    auto recordset = database->OpenRecordset(table, 1);
    qint64 rows = 0;
    qint64 bytes = 0;
    for (; !recordset->Eof(); recordset->MoveNext(), ++rows)
        for (int column = 0; column < recordset->Fields().Count(); ++column)
            bytes += recordset->Fields().Item(column).Value().toString().size();
    recordset->Close();
    database->Close();
    return bytes >= 0 ? rows : -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument("file", "the Jet database");
    parser.addPositionalArgument("table", "the table to read");
    parser.addOption({"repeat", "passes over the table (default 200)", "N", "200"});
    parser.addHelpOption();
    parser.process(app);
    if (parser.positionalArguments().size() != 2) parser.showHelp(2);
    const QString file = parser.positionalArguments().at(0);
    const QString table = parser.positionalArguments().at(1);
    const int repeat = std::max(1, parser.value("repeat").toInt());

    QElapsedTimer clock;
    clock.start();
    qint64 rows = ReadAll(file, table);
    const long firstPeak = PeakKilobytes();
    for (int pass = 1; pass < repeat; ++pass) rows += ReadAll(file, table);
    const double ours = clock.elapsed() / 1000.0;
    const long lastPeak = PeakKilobytes();

    clock.restart();
    for (int pass = 0; pass < repeat; ++pass) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start("mdb-export", {file, table});
        process.waitForFinished(-1);
    }
    const double theirs = clock.elapsed() / 1000.0;
    std::printf("%s %s: %d passes, %lld rows\n", qPrintable(file), qPrintable(table), repeat,
                static_cast<long long>(rows));
    std::printf("engine read   %8.3f s  %10.0f rows/s  (opening included)\n", ours, rows / ours);
    std::printf("mdb-export    %8.3f s  %10.0f rows/s  (a process per pass)\n", theirs,
                rows / theirs);
    std::printf("peak memory   %ld kB after one pass, %ld kB after %d\n", firstPeak, lastPeak,
                repeat);
    return 0;
}
