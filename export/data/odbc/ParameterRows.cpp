#include "export/data/odbc/ParameterRows.h"

#ifdef MORVANE_WITH_ODBC
#include "export/data/odbc/OdbcDatabase.h"
#include "export/data/odbc/OdbcParameterRows.h"
#endif

namespace morvane {

ParameterRows::~ParameterRows() = default;

std::unique_ptr<ParameterRows> PrepareParameterRows(const std::shared_ptr<Database>& database,
                                                    const QString& sql, int parameters,
                                                    int capacity) {
#ifdef MORVANE_WITH_ODBC
    auto odbc = std::dynamic_pointer_cast<OdbcDatabase>(database);
    if (!odbc) return nullptr;
    return std::make_unique<OdbcParameterRows>(std::move(odbc), sql, parameters, capacity);
#else
    (void)database;
    (void)sql;
    (void)parameters;
    (void)capacity;
    return nullptr;
#endif
}

}  // namespace morvane
