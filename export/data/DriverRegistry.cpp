#include "export/data/DriverRegistry.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"

namespace morvane {

Driver::~Driver() = default;

std::shared_ptr<Database> Driver::CreateDatabase(const QString&, const QString&, int) {
    throw EngineError::Raise(ErrReadOnly,
                             QStringLiteral("Cannot update. Database or object is read-only."));
}

void DriverRegistry::Register(const QStringList& types, std::shared_ptr<Driver> driver) {
    for (const QString& type : types) drivers_.insert(Key(type), driver);
}

bool DriverRegistry::Has(const QString& type) const {
    return drivers_.contains(Key(type));
}

Driver& DriverRegistry::Find(const QString& type) const {
    const auto found = drivers_.constFind(Key(type));
    if (found == drivers_.constEnd())
        throw EngineError::Raise(
            ErrDriverNotInstalled,
            QStringLiteral("Could not find installable driver for the database type '%1'.")
                .arg(type.trimmed()));
    return *found.value();
}

}  // namespace morvane
