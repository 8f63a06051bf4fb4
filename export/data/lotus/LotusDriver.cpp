#include "export/data/lotus/LotusDriver.h"

#include "export/data/lotus/LotusDatabase.h"

namespace morvane {

std::shared_ptr<Database> LotusDriver::OpenDatabase(const QString& name, const OpenOptions& options,
                                                    const QString& connect, const ConnectInfo&) {
    return LotusDatabase::Open(name, version_, connect, options.ReadOnly);
}

void LotusDriver::RegisterAll(DriverRegistry& registry) {
    registry.Register({QStringLiteral("Lotus WK1")},
                      std::make_shared<LotusDriver>(LotusVersion::Wk1));
    registry.Register({QStringLiteral("Lotus WK3")},
                      std::make_shared<LotusDriver>(LotusVersion::Wk3));
}

}  // namespace morvane
