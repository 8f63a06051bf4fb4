// morvane-sample-db OUT.db [--orders N]: writes the bundled sample database (SampleBuilder).
// Exit status: 0 success, 1 engine failure (printed as "error NUMBER: DESCRIPTION"),
// 2 usage error.
#include "export/data/dbengine/DBEngine.h"
#include "tools/sample-db/SampleBuilder.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments().mid(1);
    morvane::SampleOptions options;
    bool ok = arguments.size() == 1 || arguments.size() == 3;
    if (ok && arguments.size() == 3) {
        options.Orders = arguments.at(2).toInt(&ok);
        ok = ok && arguments.at(1) == QLatin1String("--orders") && options.Orders >= 0;
    }
    if (!ok) {
        err << "usage: morvane-sample-db OUT.db [--orders N]\n";
        return 2;
    }
    try {
        morvane::SampleBuilder(options).Build(arguments.at(0));
    } catch (const morvane::RuntimeError& error) {
        err << "error " << error.Number() << ": " << error.Description() << '\n';
        return 1;
    }
    return 0;
}
