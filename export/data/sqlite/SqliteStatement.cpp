#include "export/data/sqlite/SqliteStatement.h"

#include "export/data/sqlite/SqliteStatus.h"

#include <sqlite3.h>

namespace morvane {

SqliteStatement::SqliteStatement(sqlite3* connection, const QString& sql, const QString& path)
    : connection_(connection), path_(path) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(connection, text.constData(), static_cast<int>(text.size()), &statement_,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
        throw SqliteFailure(connection, path);
    }
}

SqliteStatement::~SqliteStatement() {
    Finalize();
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : connection_(other.connection_), statement_(other.statement_), path_(std::move(other.path_)) {
    other.statement_ = nullptr;
}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        Finalize();
        connection_ = other.connection_;
        statement_ = other.statement_;
        path_ = std::move(other.path_);
        other.statement_ = nullptr;
    }
    return *this;
}

bool SqliteStatement::Step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    const EngineError error = SqliteFailure(connection_, path_);
    sqlite3_reset(statement_);
    throw error;
}

void SqliteStatement::Reset() {
    if (statement_) sqlite3_reset(statement_);
}

void SqliteStatement::Finalize() {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
}

QString QuoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace morvane
