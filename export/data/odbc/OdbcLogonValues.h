// OdbcLogonValues: the four logon values of an ODBC destination as the user entered them
// (data source name, user id, password, database), and the destination connect string
// built from them. The wizard's browse button and the settings reader both build the
// destination connect string through BuildDestConnect.
//
// Usage:
//   OdbcLogonValues values{"sales", "bob", "secret", ""};
//   QString connect = BuildDestConnect(values);   // "ODBC;DSN=sales;UID=bob;PWD=secret;"
#pragma once

#include <QString>

namespace morvane {

struct OdbcLogonValues {
    QString DSN;
    QString UID;
    QString PWD;
    QString Database;
};

//! "ODBC;DSN=" DSN ";UID=" UID ";PWD=" PWD ";" and, only when Database is not empty,
//! "Database=" Database ";". A value holding ";", which would end it early and let the
//! rest pass for further keys, is written in braces ("{a;b}"), which both our
//! connect-string reader and the ODBC driver manager read back as the value.
QString BuildDestConnect(const OdbcLogonValues& values);

}  // namespace morvane
