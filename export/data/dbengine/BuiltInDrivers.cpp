// The drivers compiled into the engine. A driver of an optional library registers here
// under its WITH_* guard, so a type whose driver is not built raises 3170.
#include "export/data/dbengine/DBEngine.h"
#include "export/data/sqlite/SqliteDriver.h"
#ifdef MORVANE_WITH_ODBC
#include "export/data/odbc/OdbcDriver.h"
#endif
#ifdef MORVANE_WITH_JET
#include "export/data/jet/JetDriver.h"
#endif
#ifdef MORVANE_WITH_XBASE
#include "export/data/xbase/XbaseDriver.h"
#endif
#ifdef MORVANE_WITH_PARADOX
#include "export/data/paradox/ParadoxDriver.h"
#endif
#ifdef MORVANE_WITH_EXCEL
#include "export/data/excel/ExcelDriver.h"
#endif
#ifdef MORVANE_WITH_LOTUS
#include "export/data/lotus/LotusDriver.h"
#endif

namespace morvane {

void RegisterBuiltInDrivers(DriverRegistry& registry) {
    auto native = std::make_shared<SqliteDriver>();
    registry.Register({QString()}, native);
    // The empty type specifier also names Jet files: a file that starts with the SQLite
    // header is the native format, one with the Jet signature a Jet database.
    registry.RegisterByContent(QString(), native);
#ifdef MORVANE_WITH_JET
    registry.RegisterByContent(QString(), std::make_shared<JetDriver>());
#endif
#ifdef MORVANE_WITH_XBASE
    XbaseDriver::RegisterAll(registry);
#endif
#ifdef MORVANE_WITH_PARADOX
    ParadoxDriver::RegisterAll(registry);
#endif
#ifdef MORVANE_WITH_EXCEL
    RegisterExcelDrivers(registry);
#endif
#ifdef MORVANE_WITH_LOTUS
    LotusDriver::RegisterAll(registry);
#endif
#ifdef MORVANE_WITH_ODBC
    registry.Register({QStringLiteral("ODBC")}, std::make_shared<OdbcDriver>());
#endif
}

}  // namespace morvane
