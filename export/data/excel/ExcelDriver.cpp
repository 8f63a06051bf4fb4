#include "export/data/excel/ExcelDriver.h"

#include "export/data/DriverRegistry.h"
#include "export/data/excel/ExcelDatabase.h"

namespace morvane {

std::shared_ptr<Database> ExcelDriver::OpenDatabase(const QString& name, const OpenOptions& options,
                                                    const QString& connect, const ConnectInfo&) {
    return ExcelDatabase::Open(name, connect, version_, options.ReadOnly);
}

void RegisterExcelDrivers(DriverRegistry& registry) {
    registry.Register({QStringLiteral("Excel 3.0")}, std::make_shared<Excel3Driver>());
    registry.Register({QStringLiteral("Excel 4.0")}, std::make_shared<Excel4Driver>());
    registry.Register({QStringLiteral("Excel 5.0")}, std::make_shared<Excel5Driver>());
    registry.Register({QStringLiteral("Excel 97")}, std::make_shared<Excel97Driver>());
}

}  // namespace morvane
