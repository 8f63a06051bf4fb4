// morvane-db: inspects a database through the engine (see DbInspector.h for the commands).
// Exit status: 0 success, 1 engine failure (each error of the engine's Errors collection
// printed as "error NUMBER: DESCRIPTION" on stderr), 2 usage error.
#include "export/data/dbengine/DBEngine.h"
#include "tools/common/LocalTimeZone.h"
#include "tools/morvane-db/DbInspector.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    // Rows of dates would otherwise make the C library re-read the zone file per value.
    morvane::PinLocalTimeZone();
    QCoreApplication app(argc, argv);
    QFile standardOutput;
    standardOutput.open(stdout, QIODevice::WriteOnly);
    QTextStream out(&standardOutput);
    out.setEncoding(QStringConverter::Utf8);
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::Utf8);

    morvane::DbToolRequest request;
    const QStringList arguments = app.arguments().mid(1);
    if (!morvane::DbInspector::ParseArguments(arguments, &request)) {
        err << morvane::DbInspector::UsageText();
        return 2;
    }
    try {
        morvane::DbInspector inspector(out);
        if (!inspector.Run(request)) {
            err << morvane::DbInspector::UsageText();
            return 2;
        }
    } catch (const morvane::EngineError&) {
        out.flush();
        const morvane::EngineErrors& errors = morvane::DBEngine::Instance().Errors();
        for (int index = 0; index < errors.Count(); ++index)
            err << "error " << errors.Item(index).Number << ": " << errors.Item(index).Description
                << '\n';
        return 1;
    } catch (const morvane::RuntimeError& error) {
        out.flush();
        err << "error " << error.Number() << ": " << error.Description() << '\n';
        return 1;
    }
    return 0;
}
