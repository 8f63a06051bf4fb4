// The names of the ODBC data sources configured on this machine, in the order the ODBC
// driver manager (unixODBC) enumerates them: the user's DSNs (odbc.ini in the home
// directory, or the file named by ODBCINI) followed by the system DSNs (odbc.ini in
// /etc or in the directory named by ODBCSYSINI), each file in its own order.
//
// The enumeration loop is kept apart from the driver manager so that its rules can be
// checked with a scripted fetch: CollectDataSourceNames runs the loop over any fetch
// function, ListOdbcDataSources runs it over the driver manager's SQLDataSources.
//
// Usage:
//   QStringList names = ListOdbcDataSources();   // empty when nothing is configured
//
// The driver manager is only linked when the build finds it (MORVANE_WITH_ODBC); without
// it ListOdbcDataSources answers an empty list, as a missing driver manager would.
#pragma once

#include <QStringList>

#include <functional>

namespace morvane {

//! Capacity of the name buffer handed to each fetch, in bytes (terminator included).
constexpr int kDataSourceNameCapacity = 1024;

//! One "next data source" call. Writes the name into name (capacity bytes, pre-filled
//! with spaces), sets nameLength to the name's length and answers the ODBC return code
//! (0 success, 1 success with information, 100 no more data, negative on error). A call
//! that ends the list may leave nameLength as it was.
using DataSourceFetch = std::function<int(char* name, int capacity, short& nameLength)>;

//! Calls fetch while it answers 0 (the first call always happens). After every call the
//! name is the first nameLength bytes of the buffer (clamped to the buffer); it is added
//! unless it is made only of spaces (an empty name counts as such). Because the buffer is
//! refilled with spaces before each call, the call that ends the list with a stale length
//! yields spaces and adds nothing. A null fetch answers an empty list.
QStringList CollectDataSourceNames(const DataSourceFetch& fetch);

//! Runs CollectDataSourceNames over the driver manager: allocates an environment with
//! SQLAllocEnv (nothing is listed when that fails), fetches with SQLDataSources in the
//! "next" direction, and frees the environment again. Every failure is ignored; the list
//! is then simply shorter or empty.
QStringList ListOdbcDataSources();

}  // namespace morvane
