// Driver: opens and creates the databases of one file family. Drivers register with the
// engine's DriverRegistry under the connect-string type specifiers they serve ("" for the
// native format, "Paradox 3.x", "dBASE IV", "ODBC", ...). A read-only driver keeps the
// default CreateDatabase, which fails with 3027.
//
// Several file families share the empty type specifier (the native format and Jet files);
// the registry then picks the driver by the file's first bytes (RecognizesHeader).
#pragma once

#include "export/data/ConnectInfo.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace morvane {

class Database;

//! How OpenDatabase opens a database.
struct OpenOptions {
    int Options = 0;        //!< the driver's option bits (native: non-zero = exclusive)
    bool ReadOnly = false;  //!< no change may be made through this database
};

class Driver {
  public:
    virtual ~Driver();

    //! Opens the database `name` (a file, a directory or a data source, by family).
    virtual std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions& options,
                                                   const QString& connect,
                                                   const ConnectInfo& info) = 0;
    //! Creates a new empty database `name`; `locale` is the engine's collating locale text.
    virtual std::shared_ptr<Database> CreateDatabase(const QString& name, const QString& locale,
                                                     int options);

    //! True when `header` (the first bytes of an existing file, at most HeaderProbeSize)
    //! is the start of a file this driver reads. Only drivers registered for content
    //! recognition are asked (DriverRegistry::RegisterByContent).
    virtual bool RecognizesHeader(const QByteArray& header) const;

    //! How many leading bytes of a file content recognition reads.
    static constexpr int HeaderProbeSize = 64;
};

}  // namespace morvane
