#include "export/data/DriverRegistry.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"

#include <QFile>

namespace morvane {

Driver::~Driver() = default;

std::shared_ptr<Database> Driver::CreateDatabase(const QString&, const QString&, int) {
    throw EngineError::Of(ErrReadOnly);
}

bool Driver::RecognizesHeader(const QByteArray&) const {
    return false;
}

void DriverRegistry::RegisterByContent(const QString& type, std::shared_ptr<Driver> driver) {
    byContent_[Key(type)].append(std::move(driver));
}

Driver& DriverRegistry::FindFor(const QString& type, const QString& name) const {
    const auto candidates = byContent_.constFind(Key(type));
    if (candidates != byContent_.constEnd() && !name.isEmpty()) {
        QFile file(name);
        // A file that cannot be read here is left to the default driver, which reports
        // why it cannot be opened.
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray header = file.read(Driver::HeaderProbeSize);
            for (const auto& driver : candidates.value())
                if (driver->RecognizesHeader(header)) return *driver;
        }
    }
    return Find(type);
}

void DriverRegistry::Register(const QStringList& types, std::shared_ptr<Driver> driver) {
    for (const QString& type : types) drivers_.insert(Key(type), driver);
}

std::shared_ptr<Driver> DriverRegistry::Unregister(const QString& type) {
    return drivers_.take(Key(type));
}

bool DriverRegistry::Has(const QString& type) const {
    return drivers_.contains(Key(type));
}

Driver& DriverRegistry::Find(const QString& type) const {
    const auto found = drivers_.constFind(Key(type));
    if (found == drivers_.constEnd()) throw EngineError::Of(ErrDriverNotInstalled, type.trimmed());
    return *found.value();
}

}  // namespace morvane
