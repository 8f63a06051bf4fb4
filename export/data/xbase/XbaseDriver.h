// XbaseDriver: dBASE and FoxPro tables, one driver per type specifier ("dBASE III",
// "dBASE IV", "dBASE 5.0", "FoxPro 2.0", "FoxPro 2.5", "FoxPro 2.6", "FoxPro 3.0"). The
// database is a folder and each ".dbf" file in it a table (XbaseDatabase); every driver
// reads the tables of every version and writes new tables in its own.
#pragma once

#include "export/data/Driver.h"
#include "export/data/xbase/XbaseFormat.h"

namespace morvane {

class DriverRegistry;

class XbaseDriver : public Driver {
  public:
    explicit XbaseDriver(XbaseVersion version) : version_(version) {}

    //! `name` is the folder. Raises 3024 when it does not exist, 3051 when it is not a
    //! readable folder.
    std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions& options,
                                           const QString& connect,
                                           const ConnectInfo& info) override;

    //! Registers a driver for each xBase type specifier.
    static void RegisterAll(DriverRegistry& registry);

  private:
    XbaseVersion version_;
};

}  // namespace morvane
