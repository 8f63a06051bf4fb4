// The drivers compiled into the engine. A driver of an optional library registers here
// under its WITH_* guard, so a type whose driver is not built raises 3170.
#include "export/data/DBEngine.h"
#include "export/data/sqlite/SqliteDriver.h"
#ifdef MORVANE_WITH_JET
#include "export/data/jet/JetDriver.h"
#endif

namespace morvane {

void RegisterBuiltInDrivers(DriverRegistry& registry) {
    registry.Register({QString()}, std::make_shared<SqliteDriver>());
#ifdef MORVANE_WITH_JET
    // Jet files share the empty type specifier; their signature picks this driver.
    registry.RegisterByContent(QString(), std::make_shared<JetDriver>());
#endif
}

}  // namespace morvane
