// morvane-demo-data SAMPLE.db FOLDER: the sample data the demo starts in. FOLDER receives a
// copy of the sample database under a name the demo's first entry lists (sample.sqlite),
// and the folders dbase/ and paradox/ with the sample's tables exported into dBASE 5 and
// Paradox 5 tables, the way the export control writes them (one export run per table, with
// the default setting). A kind whose driver this build lacks is left out with a message.
// Exit status: 0 success, 1 a failed export or copy, 2 usage error.
#include "export/common/ConsolePrompter.h"
#include "export/control/PlainCaller.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/engine/TypeConnect.h"
#include "export/wizard/ExportSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

namespace {

using namespace morvane;

// Exports `table` of `source` into the database kind `kind`, the file `file`. Answers
// whether the run completed without an error report.
bool ExportTable(const QString& source, const QString& table, int kind, const QString& file) {
    ConsolePrompter prompter;
    PlainCaller caller;
    caller.Properties.DataBaseName = source;
    caller.Properties.TableName = table;
    caller.Properties.ShowProgress = false;
    caller.Properties.ShowSummary = false;
    caller.Properties.OverWrite = true;
    ExportSession session(prompter);
    session.SetCaller(&caller);
    session.Source().SetDb(DBEngine::Instance().OpenDatabase(source));
    session.Source().SetRs(session.Source().Db()->OpenRecordset(table, dbOpenTable));
    session.Source().SetName(table);
    session.SetDefaultSetting();
    session.Setting().TypeFormat = kind;
    session.Destination().File = file;
    const int reports = prompter.ErrorReports();
    session.StartExport();
    const bool done = session.LastRunCompleted() && prompter.ErrorReports() == reports;
    session.Source().Release();
    return done;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() != 2) {
        err << "usage: morvane-demo-data SAMPLE.db FOLDER\n";
        return 2;
    }
    const QString sample = arguments.at(0);
    const QDir folder(arguments.at(1));
    if (!QDir().mkpath(folder.path())) {
        err << "cannot create " << folder.path() << '\n';
        return 1;
    }
    const QString copy = folder.filePath(QStringLiteral("sample.sqlite"));
    QFile::remove(copy);
    if (!QFile::copy(sample, copy)) {
        err << "cannot copy " << sample << " to " << copy << '\n';
        return 1;
    }

    struct Kind {
        const char* folder;
        int kind;
        const char* type;  // the engine type specifier of the kind's driver
        const char* extension;
    };
    const Kind kinds[] = {{"dbase", TypeConnect::DBase5, "dBASE 5.0", ".dbf"},
                          {"paradox", TypeConnect::Paradox5, "Paradox 5.x", ".db"}};
    bool ok = true;
    try {
        for (const Kind& kind : kinds) {
            if (!DBEngine::Instance().Drivers().Has(QString::fromLatin1(kind.type))) {
                err << "no " << kind.type << " driver in this build: " << kind.folder
                    << "/ is left out\n";
                continue;
            }
            QDir target(folder.filePath(QString::fromLatin1(kind.folder)));
            target.removeRecursively();
            QDir().mkpath(target.path());
            for (const char* table : {"Customers", "Orders", "Products"}) {
                const QString name = QString::fromLatin1(table);
                const QString file = target.filePath(name + QString::fromLatin1(kind.extension));
                if (!ExportTable(sample, name, kind.kind, file)) {
                    err << "export of " << name << " to " << file << " failed\n";
                    ok = false;
                }
            }
        }
    } catch (const RuntimeError& error) {
        err << "error " << error.Number() << ": " << error.Description() << '\n';
        return 1;
    }
    return ok ? 0 : 1;
}
