#include "export/data/lotus/LotusDriver.h"

#include "export/data/lotus/LotusDatabase.h"

namespace morvane {

std::shared_ptr<Database> LotusDriver::OpenDatabase(const QString& name, const OpenOptions& options,
                                                    const QString& connect, const ConnectInfo&) {
    return LotusDatabase::Open(name, version_, connect, options.ReadOnly);
}

}  // namespace morvane
