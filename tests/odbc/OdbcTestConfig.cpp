#include "tests/odbc/OdbcTestConfig.h"

#include <QDir>
#include <QFile>

namespace morvane::test {

namespace {

bool WriteFile(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(text.toUtf8()) >= 0;
}

QString DsnSections(const QList<OdbcDsn>& dsns) {
    QString text;
    for (const OdbcDsn& dsn : dsns) {
        text += QStringLiteral(
                    "[%1]\nDescription=test data source\nDriver=SQLite3\n"
                    "Database=%2\n\n")
                    .arg(dsn.name, dsn.database);
    }
    return text;
}

}  // namespace

OdbcTestConfig::OdbcTestConfig() {
    if (!dir_.isValid() || !QDir(dir_.path()).mkpath(QStringLiteral("system"))) return;
    const QString driver =
        QStringLiteral("[SQLite3]\nDescription=SQLite 3 ODBC driver\nDriver=%1\n")
            .arg(DriverPath());
    valid_ = WriteFile(SystemDir() + QStringLiteral("/odbcinst.ini"), driver) &&
             WriteFile(SystemDir() + QStringLiteral("/odbc.ini"), QString()) &&
             WriteFile(UserIni(), QString());
}

QString OdbcTestConfig::DriverPath() {
    return QStringLiteral(MORVANE_SQLITE_ODBC_DRIVER);
}

void OdbcTestConfig::WriteUserDsns(const QList<OdbcDsn>& dsns) const {
    WriteFile(UserIni(), DsnSections(dsns));
}

void OdbcTestConfig::WriteSystemDsns(const QList<OdbcDsn>& dsns) const {
    WriteFile(SystemDir() + QStringLiteral("/odbc.ini"), DsnSections(dsns));
}

QProcessEnvironment OdbcTestConfig::Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ODBCINI"), UserIni());
    environment.insert(QStringLiteral("ODBCSYSINI"), SystemDir());
    environment.insert(QStringLiteral("HOME"), dir_.path());
    return environment;
}

void OdbcTestConfig::ApplyToProcess() const {
    qputenv("ODBCINI", UserIni().toLocal8Bit());
    qputenv("ODBCSYSINI", SystemDir().toLocal8Bit());
    qputenv("HOME", dir_.path().toLocal8Bit());
}

}  // namespace morvane::test
