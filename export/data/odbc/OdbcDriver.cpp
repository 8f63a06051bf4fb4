#include "export/data/odbc/OdbcDriver.h"

#include "export/data/odbc/OdbcDatabase.h"

namespace morvane {

std::shared_ptr<Database> OdbcDriver::OpenDatabase(const QString& name, const OpenOptions& options,
                                                   const QString& connect, const ConnectInfo&) {
    return OdbcDatabase::Open(name, connect, options.ReadOnly);
}

}  // namespace morvane
