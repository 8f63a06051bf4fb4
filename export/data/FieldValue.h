// FieldValue: converts a value given to a field (any QVariant; the export hands over text)
// to the representation of the field's type code listed in FieldTypes.h, the way the engine
// does on assignment. Text is read in the C locale first and then in the system locale, so
// both "1234.5" and the regional "1234,5" are accepted; Boolean text accepts True/False,
// Yes/No, On/Off and numbers (non-zero is true). A value that cannot be converted raises
// 3421; text longer than a Text field's size raises 3163. A null QVariant stays null.
//
// Usage:
//   QVariant v = ConvertFieldValue(QStringLiteral("42"), dbLong, 4, QStringLiteral("Qty"));
#pragma once

#include <QString>
#include <QVariant>

namespace morvane {

//! Returns `value` in the representation of `type`; raises an engine error when it cannot.
QVariant ConvertFieldValue(const QVariant& value, short type, int size, const QString& fieldName);

//! True when a non-Null value is already held the way a field of `type` and `size` holds
//! it, so that ConvertFieldValue would give it back unchanged: an int for Long (and for
//! Integer and Byte within their ranges), a double for Double and Float (and for Currency
//! with no more than four decimals), a bool for Boolean, a string for Memo and for a Text
//! field it fits, a date, time or date-time for a Date/Time field.
bool HeldAsFieldType(const QVariant& value, short type, int size);

//! Parses date/time text: ISO 8601 ("2024-03-01", "2024-03-01 13:45:00", "...T...",
//! "13:45:00") and the system locale's short formats. Returns a null QVariant on failure.
QVariant ParseDateTimeText(const QString& text);

//! The text QVariant::toString gives a value, with a date-time read as local time whatever
//! its time zone (a date-time stored by its parts reads the same built local or UTC).
QString ValueTextAsLocal(const QVariant& value);

//! Formats a Date/Time value as stored in the native format: "yyyy-MM-dd", "HH:mm:ss" or
//! "yyyy-MM-dd HH:mm:ss" (milliseconds appended as ".zzz" when not zero).
QString DateTimeStorageText(const QVariant& value);

//! Room DateTimeStorageChars needs: "yyyy-MM-dd HH:mm:ss.zzz".
constexpr int kDateTimeStorageChars = 23;
//! The same text as ASCII into out, for a date in the years 1 to 9999 and a valid time;
//! answers its length, or -1 for any other value (DateTimeStorageText then gives Qt's
//! text). Written digit by digit: native tables store every date this way.
int DateTimeStorageChars(const QVariant& value, char* out);

}  // namespace morvane
