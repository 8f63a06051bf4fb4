#include "export/data/xbase/XbaseDriver.h"

#include "export/data/DriverRegistry.h"
#include "export/data/xbase/XbaseDatabase.h"

namespace morvane {

std::shared_ptr<Database> XbaseDriver::OpenDatabase(const QString& name, const OpenOptions& options,
                                                    const QString& connect, const ConnectInfo&) {
    return std::make_shared<XbaseDatabase>(name, version_, options.ReadOnly, connect);
}

void XbaseDriver::RegisterAll(DriverRegistry& registry) {
    const struct {
        const char* type;
        XbaseVersion version;
    } drivers[] = {
        {"dBASE III", XbaseVersion::Dbase3},   {"dBASE IV", XbaseVersion::Dbase4},
        {"dBASE 5.0", XbaseVersion::Dbase5},   {"FoxPro 2.0", XbaseVersion::FoxPro2},
        {"FoxPro 2.5", XbaseVersion::FoxPro2}, {"FoxPro 2.6", XbaseVersion::FoxPro2},
        {"FoxPro 3.0", XbaseVersion::FoxPro3},
    };
    for (const auto& driver : drivers)
        registry.Register({QString::fromLatin1(driver.type)},
                          std::make_shared<XbaseDriver>(driver.version));
}

}  // namespace morvane
