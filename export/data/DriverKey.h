// DriverKey: the pass a driver shows to call the engine's driver hooks (Field::LoadValue,
// Field::DeferValue, Fields::SetLocked, TableDef::MarkStored, Database::ListTables, ...).
// Only the engine's base classes can make one; they hand it to their subclasses (the
// drivers) through a protected static Key(), so code that merely uses the object model
// cannot reach the hooks.
//
// Usage (inside a Recordset, Database or QueryDef subclass):
//   field->LoadValue(Key(), value);
//   fields_.SetLocked(Key(), true);
#pragma once

namespace morvane {

class DriverKey {
  private:
    // User-provided, not "= default": a defaulted constructor would leave the class an
    // aggregate, and DriverKey{} would then compile anywhere.
    DriverKey() {}

    friend class Database;
    friend class QueryDef;
    friend class QueryDefs;
    friend class Recordset;
    friend class TableDefs;
};

}  // namespace morvane
