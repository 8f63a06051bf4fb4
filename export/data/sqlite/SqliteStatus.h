// SqliteStatus: turns SQLite result codes into engine errors, in one place. The mapping:
//
//   SQLite result (extended)          engine error
//   BUSY, LOCKED                      3045 file already in use
//   CANTOPEN, PERM, AUTH              3051 cannot open the file
//   NOTADB, CORRUPT                   3343 unrecognised database format
//   READONLY                          3027 database is read-only
//   FULL                              3026 not enough space on disk
//   IOERR                             3043 disk or network error
//   CONSTRAINT_NOTNULL                3314 required field is Null
//   CONSTRAINT_UNIQUE / _PRIMARYKEY   3022 duplicate values
//   other CONSTRAINT                  3317 value prohibited by a rule of the table
//   MISMATCH                          3421 data type conversion error
//   TOOBIG                            3163 field too small
//   NOMEM, INTERRUPT                  3035 system resource exceeded
//   ERROR "no such table: X"          3078 input table or query not found
//   ERROR "... already exists"        3010 table already exists
//   anything else                     3129 invalid SQL statement, with SQLite's message
#pragma once

#include "export/data/EngineError.h"

struct sqlite3;

namespace morvane {

//! The engine error for result `code`; `message` is SQLite's text, `path` the database file.
//! Fills the engine's Errors collection.
EngineError SqliteFailure(int code, const QString& message, const QString& path);
//! The same, taking the code and message from the connection.
EngineError SqliteFailure(sqlite3* connection, const QString& path);

}  // namespace morvane
