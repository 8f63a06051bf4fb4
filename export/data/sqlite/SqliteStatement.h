// SqliteStatement: one prepared statement, finalized on destruction. Failures raise engine
// errors through SqliteFailure.
//
// Usage:
//   SqliteStatement st(db, "SELECT count(*) FROM \"t\"", path);
//   if (st.Step()) n = sqlite3_column_int64(st.Handle(), 0);
#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace morvane {

class SqliteStatement {
  public:
    SqliteStatement() = default;
    //! Prepares `sql`; raises an engine error when SQLite refuses it.
    SqliteStatement(sqlite3* connection, const QString& sql, const QString& path);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool IsValid() const { return statement_ != nullptr; }
    sqlite3_stmt* Handle() const { return statement_; }
    //! True when a row is ready, false when done; raises on failure (and resets).
    bool Step();
    void Reset();
    void Finalize();

  private:
    sqlite3* connection_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
    QString path_;
};

//! `name` quoted as an SQL identifier ("a""b").
QString QuoteIdentifier(const QString& name);

}  // namespace morvane
