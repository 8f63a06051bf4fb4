// WorksheetDays: day numbers of the 1900 date system of spreadsheets, shared by the
// worksheet drivers. Day 1 is 1 January 1900, and the calendar counts a 29 February 1900
// that never was (day 60): from 1 March 1900 (day 61) on, a day number is the count of days
// since 30 December 1899; before it, one less. Dates before 1900 have no day number.
//
// Usage:
//   if (const auto day = WorksheetDayOf(date)) cell = *day + fractionOfDay;
//   QDate date = WorksheetDate(static_cast<qint64>(std::floor(serial)));
#pragma once

#include <QDate>
#include <optional>

namespace morvane {

//! The day number of a valid date from 1 January 1900 on; nullopt for any other date.
std::optional<qint64> WorksheetDayOf(QDate date);

//! The date of a day number: day 60 (the calendar's 29 February 1900) reads as 28 February;
//! 0 and below count back from 30 December 1899 as the time-of-day values (day 0) do.
QDate WorksheetDate(qint64 day);

}  // namespace morvane
