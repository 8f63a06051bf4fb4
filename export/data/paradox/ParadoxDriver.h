// ParadoxDriver: folders of Paradox tables under the type specifiers "Paradox 3.x",
// "Paradox 4.x" and "Paradox 5.x" (any case). One driver object per specifier: it reads
// tables of every level (3 to 7) and creates new ones at its own level.
#pragma once

#include "export/data/Driver.h"
#include "export/data/DriverRegistry.h"

#include <QStringList>

namespace morvane {

class ParadoxDriver : public Driver {
  public:
    //! `level` 3, 4 or 5: the level of the tables this driver creates.
    explicit ParadoxDriver(int level) : level_(level) {}

    //! Opens the folder `name` ("" is the current folder). 3024 when it does not exist.
    std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions& options,
                                           const QString& connect,
                                           const ConnectInfo& info) override;
    //! Makes the folder when it is missing (3204 when it exists) and opens it.
    std::shared_ptr<Database> CreateDatabase(const QString& name, const QString& locale,
                                             int options) override;

    //! The type specifiers, in level order.
    static QStringList Types() {
        return {QStringLiteral("Paradox 3.x"), QStringLiteral("Paradox 4.x"),
                QStringLiteral("Paradox 5.x")};
    }
    //! Registers one driver per level under its type specifier.
    static void RegisterAll(DriverRegistry& registry);

  private:
    int level_;
};

}  // namespace morvane
