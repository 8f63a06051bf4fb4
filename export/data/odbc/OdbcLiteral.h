// OdbcLiteral: engine values written as SQL literals an ODBC data source accepts, whatever
// the regional setting: numbers with "." as the decimal point and no grouping, dates and
// times as ODBC escape clauses ({d 'yyyy-mm-dd'}, {t 'hh:mm:ss'},
// {ts 'yyyy-mm-dd hh:mm:ss[.fff]'}), Booleans as '1' and '0' (a quoted literal both a
// Boolean and an integer column take), text and GUIDs in apostrophes with every
// apostrophe doubled, Null as NULL. Binary values have no literal here (they are never
// inserted by statement).
//
// OdbcValueOf gives the same value as its bare text and its kind (what the literal would
// be), for statements that send values as parameters instead of literals.
//
// Usage:
//   QString sql = "INSERT INTO t(a) VALUES (" + OdbcLiteral(value, dbDate) + ")";
#pragma once

#include <QString>
#include <QVariant>

namespace morvane {

//! What a value's literal is: its kind decides the escape clause or quotes around its text.
enum class OdbcValueKind : char { Null, Text, Number, Date, Time, DateTime };

struct OdbcValueText {
    OdbcValueKind kind = OdbcValueKind::Null;
    QString text;  //!< without apostrophes or escape clause; empty for Null
};

//! `text` in apostrophes, each apostrophe doubled.
QString QuotedSqlText(const QString& text);

//! The kind and bare text of `value`, a value of an engine field of type `type`.
OdbcValueText OdbcValueOf(const QVariant& value, short type);

//! The literal of `value`, a value of an engine field of type `type`.
QString OdbcLiteral(const QVariant& value, short type);

}  // namespace morvane
