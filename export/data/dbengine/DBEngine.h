// DBEngine: the one database engine of the process (DBEngine::Instance()). It opens and
// creates databases through the driver registered for the connect string's type specifier
// and keeps the errors of its last failing operation (Errors()).
//
// Usage:
//   auto db = DBEngine::Instance().OpenDatabase(path, 0, false, ";pwd=secret;");
//   auto fresh = DBEngine::Instance().CreateDatabase(path, ";LANGID=0x0409;CP=1252;COUNTRY=0", 32);
//   catch (const EngineError&) { for (i < DBEngine::Instance().Errors().Count()) ... }
#pragma once

#include "export/data/DriverRegistry.h"
#include "export/data/EngineError.h"

#include <memory>

namespace morvane {

class Database;

class DBEngine {
  public:
    static DBEngine& Instance();

    //! Opens `name` with the driver of `connect`'s type specifier. Raises 3170 for a type
    //! without driver, 3024 for a missing file, 3031 for a wrong password, ...
    std::shared_ptr<Database> OpenDatabase(const QString& name, int options = 0,
                                           bool readOnly = false,
                                           const QString& connect = QString());
    //! Creates a new native database. Raises 3204 when the file exists already.
    std::shared_ptr<Database> CreateDatabase(const QString& name, const QString& locale,
                                             int options = 0);

    EngineErrors& Errors() { return DbErrors(); }
    DriverRegistry& Drivers() { return registry_; }

  private:
    DBEngine();

    DriverRegistry registry_;
};

//! Registers the drivers built into this library (see BuiltInDrivers.cpp).
void RegisterBuiltInDrivers(DriverRegistry& registry);

}  // namespace morvane
