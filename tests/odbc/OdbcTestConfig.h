// OdbcTestConfig: private ODBC configuration files for a test, in a temporary directory.
// The system directory (ODBCSYSINI) holds an odbcinst.ini that registers the SQLite 3
// ODBC driver under the name "SQLite3" and a system odbc.ini; the user odbc.ini (ODBCINI)
// sits beside it. HOME points into the directory too, so nothing of the real user's
// configuration leaks in.
//
// Usage:
//   OdbcTestConfig config;
//   config.WriteUserDsns({{"sales", dbPath}});
//   process.setProcessEnvironment(config.Environment());   // or config.ApplyToProcess()
#pragma once

#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace morvane::test {

//! One data source served by the SQLite 3 driver.
struct OdbcDsn {
    QString name;
    QString database;
};

class OdbcTestConfig {
  public:
    OdbcTestConfig();

    //! The directory was made and the driver registered.
    bool IsValid() const { return valid_; }
    //! Path of the SQLite 3 ODBC driver found by the build; empty when it was not found.
    static QString DriverPath();

    //! Writes the user odbc.ini (the file ODBCINI names) with these DSNs in this order.
    void WriteUserDsns(const QList<OdbcDsn>& dsns) const;
    //! Writes the system odbc.ini (in the ODBCSYSINI directory).
    void WriteSystemDsns(const QList<OdbcDsn>& dsns) const;

    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString UserIni() const { return Path(QStringLiteral("user-odbc.ini")); }
    QString SystemDir() const { return Path(QStringLiteral("system")); }

    //! The current environment with ODBCINI, ODBCSYSINI and HOME set to this config.
    QProcessEnvironment Environment() const;
    //! Sets ODBCINI, ODBCSYSINI and HOME of this process. Call before the first ODBC call.
    void ApplyToProcess() const;

  private:
    QTemporaryDir dir_;
    bool valid_ = false;
};

}  // namespace morvane::test
