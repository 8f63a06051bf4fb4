// Test helper: prints what the process-wide ODBC logon model lists in a fresh process
// whose ODBC configuration comes from the environment (ODBCINI, ODBCSYSINI). The driver
// manager reads its files per process, so each configuration is listed in its own run.
// Output: "selected=<index>" and then one data source name per line, in list order.
#include "export/data/odbc/OdbcLogon.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const morvane::OdbcLogon& logon = morvane::OdbcLogon::Instance();
    QTextStream out(stdout);
    out << "selected=" << logon.ListIndex() << '\n';
    for (const QString& name : logon.DSNList()) out << name << '\n';
    return 0;
}
