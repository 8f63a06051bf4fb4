// SampleBuilder: writes the bundled sample database through the engine: tables Customers,
// Products and Orders, which together use every field type of the native format (Boolean,
// Byte, Integer, Long, Currency, Single, Double, Date/Time, Binary, Text, Long Binary, Memo,
// GUID), Nulls, text with commas, quotes, apostrophes and accented letters, memo text with
// CR LF, the view CustomerOrders and the stored queries of DefineQueries (a parameter
// query, a pass-through query and delete, update and make-table queries). The content
// depends only on the options: a fixed pseudo-random seed and fixed dates.
//
// Usage:
//   SampleBuilder({5000}).Build("/tmp/sample.db");   // raises EngineError on failure
#pragma once

#include <QString>
#include <random>

namespace morvane {

class Database;

//! What the sample holds.
struct SampleOptions {
    int Orders = 5000;  //!< rows of the Orders table
};

class SampleBuilder {
  public:
    static constexpr int kCustomers = 40;
    static constexpr int kProducts = 25;

    explicit SampleBuilder(SampleOptions options) : options_(options) {}

    //! Creates the database file `path` (which must not exist).
    void Build(const QString& path);

  private:
    void CreateTables(Database& database);
    void FillCustomers(Database& database);
    void FillProducts(Database& database);
    void FillOrders(Database& database);
    static void DefineQueries(Database& database);
    int Random(int bound) { return static_cast<int>(random_() % static_cast<unsigned>(bound)); }

    SampleOptions options_;
    std::mt19937 random_{20240229u};
};

}  // namespace morvane
