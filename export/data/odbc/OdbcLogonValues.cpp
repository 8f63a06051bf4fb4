#include "export/data/odbc/OdbcLogonValues.h"

namespace morvane {

namespace {

//! key=value; with the value braced when it could not stand bare in a connect string.
QString Item(const char* key, const QString& value) {
    const bool braced = value.contains(u';');
    return QLatin1String(key) + u'=' + (braced ? u'{' + value + u'}' : value) + u';';
}

}  // namespace

QString BuildDestConnect(const OdbcLogonValues& values) {
    QString connect = QStringLiteral("ODBC;");
    connect += Item("DSN", values.DSN);
    connect += Item("UID", values.UID);
    connect += Item("PWD", values.PWD);
    if (!values.Database.isEmpty()) connect += Item("Database", values.Database);
    return connect;
}

}  // namespace morvane
