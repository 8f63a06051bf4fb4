#include "export/data/paradox/ParadoxDriver.h"

#include "export/data/EngineError.h"
#include "export/data/paradox/ParadoxDatabase.h"

#include <QDir>
#include <QFileInfo>

namespace morvane {

std::shared_ptr<Database> ParadoxDriver::OpenDatabase(const QString& name,
                                                      const OpenOptions& options,
                                                      const QString& connect, const ConnectInfo&) {
    return ParadoxDatabase::Open(name, options.ReadOnly, connect, level_);
}

std::shared_ptr<Database> ParadoxDriver::CreateDatabase(const QString& name, const QString&, int) {
    if (QFileInfo::exists(name)) throw EngineError::Of(ErrDatabaseExists, name);
    if (!QDir().mkpath(name)) throw EngineError::Of(ErrCannotOpenFile, name);
    return ParadoxDatabase::Open(name, false, Types().value(level_ - 3) + QLatin1Char(';'), level_);
}

void ParadoxDriver::RegisterAll(DriverRegistry& registry) {
    for (int level = 3; level <= 5; ++level)
        registry.Register({Types().at(level - 3)}, std::make_shared<ParadoxDriver>(level));
}

}  // namespace morvane
