// SqlitePassword: the database password of a native database. The catalogue table
// "morvane_password" holds one row: a random 16-byte salt, an iteration count and the
// digest d(n) where d(0) = SHA-256(salt + password) and d(i) = SHA-256(d(i-1) + salt +
// password), the password taken as UTF-8. Opening through the engine checks the ";pwd="
// value against it. This keeps the engine, its tools and the export control from opening
// the database without the password; it does NOT encrypt the file, and any SQLite tool
// reads (or removes) the table and the data.
#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

namespace morvane {

class SqlitePassword {
  public:
    //! Name of the catalogue table.
    static const QString& TableName();

    //! True when the database has a password.
    static bool IsSet(sqlite3* connection, const QString& path);
    //! True when `password` opens the database (always true without a password).
    static bool Matches(sqlite3* connection, const QString& path, const QString& password);
    //! Stores `password` (empty: removes the password).
    static void Store(sqlite3* connection, const QString& path, const QString& password);

    //! The digest of `password` with `salt` after `iterations` rounds.
    static QByteArray Digest(const QByteArray& salt, int iterations, const QString& password);
};

}  // namespace morvane
