// OdbcDriver: the "ODBC" type specifier: data sources of the unixODBC driver manager
// (OdbcDatabase). Built only when unixODBC is found; without it "ODBC" raises 3170.
#pragma once

#include "export/data/Driver.h"

namespace morvane {

class OdbcDriver : public Driver {
  public:
    std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions& options,
                                           const QString& connect,
                                           const ConnectInfo& info) override;
};

}  // namespace morvane
