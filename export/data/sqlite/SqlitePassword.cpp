#include "export/data/sqlite/SqlitePassword.h"

#include "export/data/sqlite/SqliteStatement.h"

#include <sqlite3.h>
#include <QCryptographicHash>
#include <QRandomGenerator>

namespace morvane {

namespace {

constexpr int kIterations = 20000;
constexpr int kSaltBytes = 16;

// Compares without stopping at the first difference.
bool SameBytes(const QByteArray& left, const QByteArray& right) {
    if (left.size() != right.size()) return false;
    unsigned char difference = 0;
    for (qsizetype index = 0; index < left.size(); ++index)
        difference |= static_cast<unsigned char>(left[index] ^ right[index]);
    return difference == 0;
}

void Run(sqlite3* connection, const QString& sql, const QString& path) {
    SqliteStatement statement(connection, sql, path);
    statement.Step();
}

}  // namespace

const QString& SqlitePassword::TableName() {
    static const QString name = QStringLiteral("morvane_password");
    return name;
}

QByteArray SqlitePassword::Digest(const QByteArray& salt, int iterations, const QString& password) {
    const QByteArray secret = password.toUtf8();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(secret);
    QByteArray digest = hash.result();
    for (int round = 1; round < iterations; ++round) {
        hash.reset();
        hash.addData(digest);
        hash.addData(salt);
        hash.addData(secret);
        digest = hash.result();
    }
    return digest;
}

bool SqlitePassword::IsSet(sqlite3* connection, const QString& path) {
    SqliteStatement statement(
        connection, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1", path);
    const QByteArray name = TableName().toUtf8();
    sqlite3_bind_text(statement.Handle(), 1, name.constData(), -1, SQLITE_TRANSIENT);
    return statement.Step();
}

bool SqlitePassword::Matches(sqlite3* connection, const QString& path, const QString& password) {
    if (!IsSet(connection, path)) return true;
    SqliteStatement statement(
        connection, "SELECT salt, iterations, digest FROM " + QuoteIdentifier(TableName()), path);
    if (!statement.Step()) return password.isEmpty();
    sqlite3_stmt* row = statement.Handle();
    const QByteArray salt(static_cast<const char*>(sqlite3_column_blob(row, 0)),
                          sqlite3_column_bytes(row, 0));
    const int iterations = qBound(1, sqlite3_column_int(row, 1), 10000000);
    const QByteArray digest(static_cast<const char*>(sqlite3_column_blob(row, 2)),
                            sqlite3_column_bytes(row, 2));
    return SameBytes(Digest(salt, iterations, password), digest);
}

void SqlitePassword::Store(sqlite3* connection, const QString& path, const QString& password) {
    const QString table = QuoteIdentifier(TableName());
    Run(connection, "DROP TABLE IF EXISTS " + table, path);
    if (password.isEmpty()) return;
    Run(connection, "CREATE TABLE " + table + " (salt BLOB, iterations INTEGER, digest BLOB)",
        path);
    QByteArray salt(kSaltBytes, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
    const QByteArray digest = Digest(salt, kIterations, password);
    SqliteStatement insert(
        connection, "INSERT INTO " + table + " (salt, iterations, digest) VALUES (?1, ?2, ?3)",
        path);
    sqlite3_bind_blob(insert.Handle(), 1, salt.constData(), kSaltBytes, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert.Handle(), 2, kIterations);
    sqlite3_bind_blob(insert.Handle(), 3, digest.constData(), static_cast<int>(digest.size()),
                      SQLITE_TRANSIENT);
    insert.Step();
}

}  // namespace morvane
