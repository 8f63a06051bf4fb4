// SqliteDriver: the native format (empty type specifier): SQLite 3 files.
#pragma once

#include "export/data/Driver.h"

namespace morvane {

class SqliteDriver : public Driver {
  public:
    std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions& options,
                                           const QString& connect,
                                           const ConnectInfo& info) override;
    //! `locale` and `options` are accepted and ignored: text compares as SQLite does.
    std::shared_ptr<Database> CreateDatabase(const QString& name, const QString& locale,
                                             int options) override;
    //! A file that starts with "SQLite format 3" and a zero byte.
    bool RecognizesHeader(const QByteArray& header) const override;
};

}  // namespace morvane
