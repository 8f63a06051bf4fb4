// DriverRegistry: the installable drivers, keyed by the connect string's type specifier
// (the text before its first ";", matched without regard to case and surrounding blanks;
// "" is the native format). A type without a registered driver raises 3170.
//
// Usage:
//   registry.Register({"dBASE III", "dBASE IV"}, std::make_shared<DbaseDriver>());
//   Driver& driver = registry.Find(ConnectInfo::Parse(connect).Type);
#pragma once

#include "export/data/Driver.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <memory>

namespace morvane {

class DriverRegistry {
  public:
    //! Registers `driver` for every type in `types` (a later registration replaces one).
    void Register(const QStringList& types, std::shared_ptr<Driver> driver);
    bool Has(const QString& type) const;
    //! Removes the driver of `type` (a host that must not offer a file family, or a test
    //! of the missing-driver path) and answers it, so that it can be registered again;
    //! nullptr when none was registered. Opening that type then raises 3170.
    std::shared_ptr<Driver> Unregister(const QString& type);
    //! Registers `driver` to be chosen by content for `type`: when a database of that
    //! type is opened and the file exists, the first such driver (in registration order)
    //! whose RecognizesHeader accepts the file's first bytes opens it; otherwise the
    //! driver registered with Register does.
    void RegisterByContent(const QString& type, std::shared_ptr<Driver> driver);
    //! The driver of `type`. Raises 3170 when none is registered.
    Driver& Find(const QString& type) const;
    //! The driver that opens the existing database `name` of `type`: a content-recognised
    //! driver when one accepts the file's header, else Find(type).
    Driver& FindFor(const QString& type, const QString& name) const;
    //! The registered type specifiers, in lower case.
    QStringList Types() const { return drivers_.keys(); }

  private:
    static QString Key(const QString& type) { return type.trimmed().toCaseFolded(); }

    QHash<QString, std::shared_ptr<Driver>> drivers_;
    QHash<QString, QList<std::shared_ptr<Driver>>> byContent_;
};

}  // namespace morvane
