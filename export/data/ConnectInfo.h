// ConnectInfo: a connect string taken apart. The text before the first ";" is the type
// specifier that picks the driver ("" is the native format, "Paradox 3.x", "ODBC", ...);
// the rest is a list of "key=value" items separated by ";" whose keys are matched without
// regard to case. A value may be written in braces ("{a;b}") to hold a ";".
//
// Usage:
//   ConnectInfo info = ConnectInfo::Parse("ODBC;DSN=sales;UID=bob;PWD=x;");
//   info.Type;             // "ODBC"
//   info.Value("dsn");     // "sales"
//   info.Password();       // "x"
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace morvane {

struct ConnectInfo {
    //! The type specifier as written (trimmed); empty for the native format.
    QString Type;
    //! The key=value items in the order written; keys as written.
    QList<QPair<QString, QString>> Items;

    static ConnectInfo Parse(const QString& connect);

    bool Has(const QString& key) const;
    //! The value of the first item whose key matches (any case); empty when absent.
    QString Value(const QString& key) const;
    //! The ";pwd=" value (also accepted as ";password=").
    QString Password() const;
};

}  // namespace morvane
