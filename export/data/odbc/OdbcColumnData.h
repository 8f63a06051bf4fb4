// OdbcColumnData: reading the current row of an ODBC statement with SQLGetData, column by
// column, into the QVariant representation of an engine type (FieldTypes.h). Long text and
// binary values are read in pieces, so any length comes back whole. Null is a null QVariant.
#pragma once

#include "export/data/odbc/OdbcHandle.h"

#include <QVariant>

namespace morvane {

//! Fetches the next row; false when there is none. Raises 3146 on failure.
bool OdbcFetch(const OdbcHandle& statement);
//! Column `column` (1-based) as text; null for Null.
QVariant ColumnText(const OdbcHandle& statement, int column);
//! Column `column` as a whole number (qlonglong); null for Null.
QVariant ColumnInteger(const OdbcHandle& statement, int column);
//! Column `column` as a value of engine type `type`.
QVariant ColumnValue(const OdbcHandle& statement, int column, short type);

}  // namespace morvane
