// PinLocalTimeZone: makes the C library keep its local time zone instead of checking the
// zone file again for every date. With TZ unset, glibc looks up /etc/localtime on every
// mktime() call, and Qt builds every local date-time through mktime(), so an export of a
// table with a date-time column spent a quarter of its time in that look-up. Setting TZ
// to ":/etc/localtime" names the very zone glibc uses when TZ is unset (Qt's time-zone
// code treats that value as the system zone too), so dates come out the same; only the
// repeated look-up goes. A TZ the user has set is left alone.
//
// Usage (first thing in main of a command-line tool; never in a library, whose host owns
// the process environment):
//   PinLocalTimeZone();
#pragma once

namespace morvane {

//! Sets TZ to ":/etc/localtime" when TZ is unset. Answers true when it set it.
bool PinLocalTimeZone();

}  // namespace morvane
