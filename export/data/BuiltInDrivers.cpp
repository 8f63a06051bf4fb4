// The drivers compiled into the engine. A driver of an optional library registers here
// under its WITH_* guard, so a type whose driver is not built raises 3170.
#include "export/data/DBEngine.h"
#include "export/data/sqlite/SqliteDriver.h"

namespace morvane {

void RegisterBuiltInDrivers(DriverRegistry& registry) {
    registry.Register({QString()}, std::make_shared<SqliteDriver>());
}

}  // namespace morvane
