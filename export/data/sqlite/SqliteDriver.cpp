#include "export/data/sqlite/SqliteDriver.h"

#include "export/data/sqlite/SqliteDatabase.h"

namespace morvane {

std::shared_ptr<Database> SqliteDriver::OpenDatabase(const QString& name,
                                                     const OpenOptions& options,
                                                     const QString& connect,
                                                     const ConnectInfo& info) {
    return SqliteDatabase::Open(name, options, connect, info);
}

std::shared_ptr<Database> SqliteDriver::CreateDatabase(const QString& name, const QString&, int) {
    return SqliteDatabase::Create(name);
}

bool SqliteDriver::RecognizesHeader(const QByteArray& header) const {
    static const QByteArray magic("SQLite format 3\0", 16);
    return header.startsWith(magic);
}

}  // namespace morvane
