// OdbcTypes: how engine field types meet the SQL types of an ODBC data source.
//
// Reading: a column's SQL type (and size) gives the engine type code:
//   SQL type                         engine type      SQL type                 engine type
//   BIT                              1 Boolean        CHAR, VARCHAR (<= 255)   10 Text
//   TINYINT                          2 Byte           longer VARCHAR, LONG...  12 Memo
//   SMALLINT                         3 Integer        DATE, TIMESTAMP          8 Date/Time
//   INTEGER                          4 Long           TIME                     22 time
//   BIGINT                           16 big integer   GUID                     15 GUID
//   REAL                             6 Single         BINARY, VARBINARY        9 Binary
//   FLOAT, DOUBLE                    7 Double         LONGVARBINARY            11 Long Binary
//   NUMERIC, DECIMAL                 19, 20
//
// Creating: each engine type has a list of SQL types to try, best first; the first one the
// data source lists in SQLGetTypeInfo (and that does not number rows by itself, such as a
// "serial" type) gives the column's type name, with the size or precision its creation
// parameters ask for. Currency becomes an exact numeric of 19 digits with 4 decimals.
#pragma once

#include <QString>
#include <vector>

namespace morvane {

//! The engine type of an SQL type code; `size` is the column size.
short EngineTypeOfSql(int sqlType, long long size);

//! One way to declare a column of an SQL type.
struct OdbcTypeChoice {
    int sqlType = 0;
    int precision = 0;  //!< size or precision to give when the type takes one (0: none)
    int scale = -1;     //!< scale to give when the type takes one (-1: none)
};

//! The SQL types to try for an engine type with defined size `size`, best first.
std::vector<OdbcTypeChoice> SqlTypeChoices(short engineType, int size);

//! The column type text from the type info's name and creation parameters, e.g.
//! ("varchar", "max length", 40) -> "varchar(40)"; ("numeric", "precision,scale", 19, 4)
//! -> "numeric(19,4)"; a name that already holds "()" gets the values inside.
QString SqlTypeDeclaration(const QString& typeName, const QString& createParams,
                           const OdbcTypeChoice& choice);

}  // namespace morvane
