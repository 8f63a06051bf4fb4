// SqliteParameterBinding: how the values of a stored query's parameters reach SQLite.
// A parameter's value is text; when the query runs it is bound as
//   - an integer when the text is exactly the decimal form of a 64-bit integer ("5", "-12";
//     not "05", "+5" or " 5"),
//   - a real when the text is a plain decimal fraction: an optional "-", digits without a
//     leading zero (or a single 0), ".", digits ("2.5", "30.00", "-0.125"; not "02.5",
//     ".5", "1e3"),
//   - text otherwise (the empty string stays an empty text, not Null).
// So `Quantity > :Min` with "5" compares numbers, `Price * Quantity > :Min` with "30.00"
// too, and a code such as "007" keeps its exact spelling against a text column. A text
// value compared with a numeric column is still converted by SQLite's column affinity; a
// text compared with a computed number is not (SQLite orders every number before every
// text), which is why numbers are bound as numbers. The one loss: a text column holding
// "2.50" does not match the value "2.50", which is bound as the number 2.5.
//
// A parameter that was never given a value raises 3061 "Too few parameters. Expected N."
// (the export session gives every parameter a value, empty when the user cancels).
#pragma once

#include "export/data/Parameters.h"

#include <QVariant>

struct sqlite3_stmt;

namespace morvane {

//! The value a parameter text is bound as: qlonglong, double or QString (see above).
QVariant BoundParameterValue(const QString& text);

//! Binds every named parameter of `statement` from `parameters` (matched by name without
//! regard to case). Raises 3061 when one has no value or is not a parameter of the query.
void BindQueryParameters(sqlite3_stmt* statement, const Parameters& parameters);

}  // namespace morvane
