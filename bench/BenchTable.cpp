#include "bench/BenchTable.h"

#include <sqlite3.h>
#include <QFile>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace morvane::bench {

const char* const BenchTable::kName = "t";

namespace {

using Connection = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

const char* const kNames[] = {
    "Zoë Crème",  "O'Brien, Pat", "Jean \"Jeff\" Müller", "Ann Smith",
    "Ça Va Ltd",  "Núñez, José",  "Björn Ångström",       "Li Wei",
    "d'Artagnan", "Plain Name",
};
const char* const kCities[] = {"Genève", "New York, NY", "São Paulo", "Zürich",
                               "Köln",   "L'Aquila",     "Oslo",      "Paris"};
const char* const kNotes[] = {
    "first line\r\nsecond line", "said \"fine\", left", "ünïcödé, accents: àéîõü",
    "it's a short note",         "tab\tand,comma",
};

// A fixed linear congruential sequence: the same rows on every machine and every run.
class Sequence {
  public:
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint32_t>(bound)); }

  private:
    std::uint64_t state_ = 20261207ULL;
};

void Check(int status, sqlite3* db, const char* what) {
    if (status != SQLITE_OK && status != SQLITE_DONE && status != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const char* sql) {
    Check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
}

void BindText(sqlite3_stmt* insert, int index, const char* text) {
    sqlite3_bind_text(insert, index, text, -1, SQLITE_STATIC);
}

void BindRow(sqlite3_stmt* insert, qint64 id, Sequence& random, std::string& date) {
    const bool nulls = random.Below(10) == 0;  // about one row in ten has Nulls
    sqlite3_bind_int64(insert, 1, id);
    BindText(insert, 2, kNames[random.Below(10)]);
    if (nulls)
        sqlite3_bind_null(insert, 3);
    else
        BindText(insert, 3, kCities[random.Below(8)]);
    const int qty = random.Below(1000);
    if (nulls && id % 2)
        sqlite3_bind_null(insert, 4);
    else
        sqlite3_bind_int(insert, 4, qty);
    const double price = random.Below(100000) / 100.0;
    sqlite3_bind_double(insert, 5, price);
    if (nulls)
        sqlite3_bind_null(insert, 6);
    else
        sqlite3_bind_double(insert, 6, qty * price);
    char buffer[32];
    const int seconds = random.Below(86400);
    if (random.Below(4) == 0)
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", 2000 + random.Below(25),
                      1 + random.Below(12), 1 + random.Below(28));
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d",
                      2000 + random.Below(25), 1 + random.Below(12), 1 + random.Below(28),
                      seconds / 3600, seconds / 60 % 60, seconds % 60);
    date = buffer;
    sqlite3_bind_text(insert, 7, date.c_str(), -1, SQLITE_TRANSIENT);
    if (nulls && id % 3 == 0)
        sqlite3_bind_null(insert, 8);
    else
        sqlite3_bind_int(insert, 8, random.Below(2));
    if (nulls)
        sqlite3_bind_null(insert, 9);
    else
        sqlite3_bind_double(insert, 9, random.Below(1000) / 7.0);
    if (random.Below(3) == 0)
        sqlite3_bind_null(insert, 10);
    else
        BindText(insert, 10, kNotes[random.Below(5)]);
}

}  // namespace

void BenchTable::Generate(const QString& path, qint64 rows) {
    QFile::remove(path);
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open(QFile::encodeName(path).constData(), &raw);
    Connection db(raw, &sqlite3_close);
    Check(opened, raw, "open");
    Exec(db.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    Exec(db.get(),
         "CREATE TABLE t (id INTEGER, name VARCHAR(40), city VARCHAR(30), qty SMALLINT, "
         "price DOUBLE, amount CURRENCY, created DATETIME, active BOOLEAN, ratio REAL, "
         "note TEXT)");
    Exec(db.get(), "BEGIN");
    sqlite3_stmt* prepared = nullptr;
    Check(sqlite3_prepare_v2(db.get(), "INSERT INTO t VALUES (?,?,?,?,?,?,?,?,?,?)", -1, &prepared,
                             nullptr),
          db.get(), "prepare");
    Statement insert(prepared, &sqlite3_finalize);
    Sequence random;
    std::string date;
    for (qint64 id = 1; id <= rows; ++id) {
        BindRow(insert.get(), id, random, date);
        Check(sqlite3_step(insert.get()), db.get(), "insert");
        sqlite3_reset(insert.get());
    }
    insert.reset();
    Exec(db.get(), "COMMIT");
}

qint64 BenchTable::RowCount(const QString& path) {
    if (!QFile::exists(path)) return -1;
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Connection db(raw, &sqlite3_close);
    if (opened != SQLITE_OK) return -1;
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(db.get(), "SELECT count(*) FROM t", -1, &prepared, nullptr) != SQLITE_OK)
        return -1;
    Statement count(prepared, &sqlite3_finalize);
    return sqlite3_step(count.get()) == SQLITE_ROW ? sqlite3_column_int64(count.get(), 0) : -1;
}

}  // namespace morvane::bench
