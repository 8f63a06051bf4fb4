#include "export/data/dbengine/DBEngine.h"

#include "export/data/Database.h"

namespace morvane {

DBEngine& DBEngine::Instance() {
    static DBEngine engine;
    return engine;
}

DBEngine::DBEngine() {
    RegisterBuiltInDrivers(registry_);
}

std::shared_ptr<Database> DBEngine::OpenDatabase(const QString& name, int options, bool readOnly,
                                                 const QString& connect) {
    const ConnectInfo info = ConnectInfo::Parse(connect);
    Driver& driver = registry_.FindFor(info.Type, name);
    return driver.OpenDatabase(name, OpenOptions{options, readOnly}, connect, info);
}

std::shared_ptr<Database> DBEngine::CreateDatabase(const QString& name, const QString& locale,
                                                   int options) {
    return registry_.Find(QString()).CreateDatabase(name, locale, options);
}

}  // namespace morvane
