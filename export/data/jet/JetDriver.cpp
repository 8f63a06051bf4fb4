#include "export/data/jet/JetDriver.h"

#include "export/data/jet/JetDatabase.h"
#include "export/data/jet/JetHeader.h"

namespace morvane {

std::shared_ptr<Database> JetDriver::OpenDatabase(const QString& name, const OpenOptions&,
                                                  const QString& connect, const ConnectInfo& info) {
    // Opened read-only whatever the options ask: this engine never writes a Jet file.
    return JetDatabase::Open(name, connect, info);
}

bool JetDriver::RecognizesHeader(const QByteArray& header) const {
    return JetHeader::HasSignature(header);
}

}  // namespace morvane
