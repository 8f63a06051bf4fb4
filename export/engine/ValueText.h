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

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <QVariant>
#include <string>

namespace morvane {

//! The default text of value, a value of an engine field of type fieldType.
QString ValueText(const QVariant& value, short fieldType);
//! True when ValueText(value, fieldType) is certainly not empty, decided without building
//! it: a non-Null number or Boolean, or a valid date, time or date-time. False when it may
//! be empty (Null, and values of other types, whose text is then worth building).
bool ValueTextNeverEmpty(const QVariant& value, short fieldType);
//! The same for a value known not to be Null (one check less per value of a record loop).
bool PresentValueTextNeverEmpty(const QVariant& value, short fieldType);

//! The text ValueText gives a floating-point value rounded to `digits` significant digits
//! (15 for Double and Float, 7 for Single), before the regional decimal point: ASCII with
//! "." as the point, written to out (at least kNumberChars bytes). Answers its length.
//! For the export's fast path, which writes bytes without a QString per value.
int FloatingChars(double value, int digits, char* out);
//! The same for a Currency value.
int CurrencyChars(double value, char* out);
//! The text ValueText gives a Date/Time value holding a date only, a time of day only, or a
//! local date-time of this date and time of day.
QString DateOnlyText(QDate date);
QString TimeOnlyText(QTime time);
QString DateAndTimeText(QDate date, QTime time);
//! Which of those three texts.
enum class DateTimeForm { DateOnly, TimeOnly, Both };
//! Appends the UTF-16 units of that text to out when the regional formats are numeric ones
//! it can lay out itself; false (nothing appended) otherwise, and for a year outside
//! 1..9999: the caller then takes the QString routine above.
bool AppendDateTimeUnits(std::u16string& out, QDate date, QTime time, DateTimeForm form);
//! Room FloatingChars and CurrencyChars need.
constexpr int kNumberChars = 400;
//! The decimal point of the regional setting, which replaces "." in number texts.
QString RegionalDecimalPoint();

//! The date format ValueText uses: the locale's short date format with a four-digit year.
QString DateFormatFor(const QLocale& locale);
//! The time format ValueText uses: the locale's long time format without the time zone.
QString TimeFormatFor(const QLocale& locale);

//! Selects the regional setting ValueText follows.
void SetRegionalLocale(const QLocale& locale);
//! The regional setting in force.
QLocale RegionalLocale();

}  // namespace morvane
