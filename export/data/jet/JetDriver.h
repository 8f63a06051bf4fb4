// JetDriver: Jet databases (.mdb; .accdb where libmdb reads it) under the empty type
// specifier, chosen by content: a file that starts with the Jet or ACE signature opens
// here, any other file with the native driver. Read-only: CreateDatabase raises 3027.
#pragma once

#include "export/data/Driver.h"

namespace morvane {

class JetDriver : public Driver {
  public:
    std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions& options,
                                           const QString& connect,
                                           const ConnectInfo& info) override;
    bool RecognizesHeader(const QByteArray& header) const override;
};

}  // namespace morvane
