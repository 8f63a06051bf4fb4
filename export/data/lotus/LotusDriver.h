// LotusDriver: the "Lotus WK1" and "Lotus WK3" type specifiers. One driver object per
// format; the format decides how a new file is written (an existing file is read and
// continued in its own format). LotusDatabase describes the rest.
#pragma once

#include "export/data/Driver.h"
#include "export/data/DriverRegistry.h"
#include "export/data/lotus/LotusFormat.h"

namespace morvane {

class LotusDriver : public Driver {
  public:
    explicit LotusDriver(LotusVersion version) : version_(version) {}
    std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions& options,
                                           const QString& connect,
                                           const ConnectInfo& info) override;
    //! Registers the "Lotus WK1" and "Lotus WK3" drivers.
    static void RegisterAll(DriverRegistry& registry);

  private:
    LotusVersion version_;
};

}  // namespace morvane
