// DbInspector: the commands of the morvane-db tool, which lists what the engine sees in a
// database. Each command writes UTF-8 lines, fields separated by a tab:
//
//   tables                 NAME  ATTRIBUTES
//   queries                NAME  TYPE  RETURNSRECORDS(1/0)  PARAMETER,NAMES
//   fields SOURCE          ORDINAL  NAME  TYPECODE  SIZE  REQUIRED(1/0)
//   count SOURCE           the record count after MoveLast (0 when empty)
//   rows SOURCE [--start N] [--limit N]
//                          one line per record from record N (1-based); values in the
//                          default text conversion, NULL as \N, binary values as 0x and
//                          lower-case hex digits; \ TAB CR LF written as \\ \t \r \n
//   exec SQL               runs the statement
//   define-query NAME TYPE SQL
//                          stores a query of type code TYPE (decimal: 0 select, 32 delete,
//                          112 pass-through, ...)
//   drop-query NAME        drops a stored query
//   set-password OLD NEW   changes the password (the database is opened with OLD)
//   create                 makes a new empty database (with --password: protected by it)
//
// fields, count and rows take "--param NAME=VALUE" (any number, before DATABASE or after
// SOURCE) to value the parameters of a parameter query.
//
// Engine failures raise EngineError; Run lets them through for the caller to print.
#pragma once

#include <QPair>
#include <QStringList>
#include <QTextStream>
#include <memory>

namespace morvane {

class Database;
class Recordset;

//! What the command line asked for.
struct DbToolRequest {
    QString Connect;   //!< the type specifier given by --connect
    QString Password;  //!< the --password value
    QString DatabaseName;
    QString Command;
    QStringList Arguments;
    //! --param values: parameter name and value text.
    QList<QPair<QString, QString>> Parameters;
};

class DbInspector {
  public:
    explicit DbInspector(QTextStream& out) : out_(out) {}

    //! Parses the arguments after the program name. Returns false for a usage error.
    static bool ParseArguments(const QStringList& arguments, DbToolRequest* request);
    static QString UsageText();
    //! Runs the request. Returns false for a usage error found late (bad command options).
    bool Run(const DbToolRequest& request);

    //! A value as the rows command writes it.
    static QString RowValueText(const QVariant& value, short fieldType);

  private:
    std::unique_ptr<Recordset> OpenSource(Database& database, const QString& source);
    void Tables(Database& database);
    void Queries(Database& database);
    void FieldsOf(Database& database, const QString& source);
    void Count(Database& database, const QString& source);
    bool Rows(Database& database, const QStringList& arguments);
    bool DefineQuery(Database& database, const QStringList& arguments);

    QList<QPair<QString, QString>> parameters_;

    QTextStream& out_;
};

}  // namespace morvane
