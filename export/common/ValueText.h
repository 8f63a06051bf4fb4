// ValueText: the default text of a field value, as the export run, the previews and the
// command-line tools show it before any host rewrites it. The rendering follows one
// regional setting of the library (SetRegionalLocale; by default the system locale, with
// "C"/POSIX counting as US English):
//
//   kind               US English                German
//   Boolean            True / False              True / False (always English words)
//   whole numbers      -7                        -7 (never grouped)
//   Double, Float      1234.5, 1E+20, 1E-05      1234,5 (15 significant digits)
//   Single             7 significant digits      decimal comma
//   Currency           12.5 (at most 4 decimals) 12,5
//   numeric, decimal   the decimal text          decimal comma
//   date and time      12/31/1999 3:04:05 PM     31.12.1999 15:04:05
//   date only          2/9/2024                  09.02.2024
//   time only          3:04:05 PM                15:04:05
//   GUID               {0F1E...} (upper case, in braces)
//   text               as is
//   binary, Null       empty
//
// Dates use the locale's short date format with a four-digit year, times its long time
// format without the time zone. A date-time at midnight shows as date only; one on the
// engine's zero date (1899-12-30) as time only.
//
// Usage:
//   SetRegionalLocale(QLocale(QLocale::German, QLocale::Germany));
//   QString text = ValueText(field.Value(), field.Type());
#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

namespace morvane {

//! The default text of value, a value of an engine field of type fieldType.
QString ValueText(const QVariant& value, short fieldType);

//! The date format ValueText uses: the locale's short date format with a four-digit year.
QString DateFormatFor(const QLocale& locale);
//! The time format ValueText uses: the locale's long time format without the time zone.
QString TimeFormatFor(const QLocale& locale);

//! Selects the regional setting ValueText follows.
void SetRegionalLocale(const QLocale& locale);
//! The regional setting in force.
QLocale RegionalLocale();

}  // namespace morvane
