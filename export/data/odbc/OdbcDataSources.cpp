#include "export/data/odbc/OdbcDataSources.h"

#include <QByteArray>

#ifdef MORVANE_WITH_ODBC
#include <sql.h>
#include <sqlext.h>
#endif

#include <algorithm>

namespace morvane {

namespace {

//! The first nameLength bytes of the buffer, decoded as the driver manager's 8-bit text
//! (UTF-8 on this platform). A length beyond the buffer, as a truncated name reports it,
//! keeps only what the buffer holds before its terminator.
QString LeadingName(const QByteArray& buffer, short nameLength) {
    const int length = std::clamp<int>(nameLength, 0, static_cast<int>(buffer.size()) - 1);
    return QString::fromLocal8Bit(buffer.constData(), length);
}

bool IsMadeOfSpaces(const QString& name) {
    return std::all_of(name.cbegin(), name.cend(), [](QChar ch) { return ch == u' '; });
}

}  // namespace

QStringList CollectDataSourceNames(const DataSourceFetch& fetch) {
    QStringList names;
    if (!fetch) return names;
    QByteArray buffer(kDataSourceNameCapacity, ' ');
    // Kept across calls on purpose: the call that reports the end of the list need not
    // write a length, and the refilled buffer then gives a name of spaces.
    short nameLength = 0;
    int returnCode = 0;
    do {
        buffer.fill(' ');
        returnCode = fetch(buffer.data(), kDataSourceNameCapacity, nameLength);
        const QString name = LeadingName(buffer, nameLength);
        if (!IsMadeOfSpaces(name)) names.append(name);
    } while (returnCode == 0);
    return names;
}

#ifdef MORVANE_WITH_ODBC

QStringList ListOdbcDataSources() {
    SQLHENV environment = SQL_NULL_HENV;
    if (SQLAllocEnv(&environment) == SQL_ERROR) return {};
    // The descriptions are fetched because the call requires a buffer, but not used.
    QByteArray description(kDataSourceNameCapacity, ' ');
    const auto fetch = [&](char* name, int capacity, short& nameLength) -> int {
        description.fill(' ');
        SQLSMALLINT descriptionLength = 0;
        SQLSMALLINT length = nameLength;
        const SQLRETURN returnCode =
            SQLDataSources(environment, SQL_FETCH_NEXT, reinterpret_cast<SQLCHAR*>(name),
                           static_cast<SQLSMALLINT>(capacity), &length,
                           reinterpret_cast<SQLCHAR*>(description.data()),
                           static_cast<SQLSMALLINT>(description.size()), &descriptionLength);
        nameLength = length;
        return returnCode;
    };
    const QStringList names = CollectDataSourceNames(fetch);
    // Released so that listing again (a refresh, or another process-wide model in the
    // tests) does not leave one environment behind per call.
    if (environment != SQL_NULL_HENV) SQLFreeEnv(environment);
    return names;
}

#else

QStringList ListOdbcDataSources() {
    // Built without a driver manager: nothing can be enumerated.
    return {};
}

#endif

}  // namespace morvane
