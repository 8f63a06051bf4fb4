// RawValue: a column of a recordset's current record as the driver holds it, read without
// building the field's QVariant (Recordset::ReadRaw). Readers that walk millions of records
// (the export run) take the plain forms directly and fall back to the field's value for
// everything else, so a driver offers only what it can give cheaply and still works when it
// offers nothing.
//
// The plain forms stand for exactly the value Field::Value() would hold:
//   Null      the field is Null
//   Integer   a whole number: the value of a Boolean (non-zero is True), Byte, Integer,
//             Long or big-integer field
//   Real      a floating-point number: the value of a Double, Float or Currency field, or of
//             a Single field (already narrowed to float precision)
//   Text      UTF-8 text: the value of a Text, Memo or char field (size bytes at text, valid
//             until the recordset moves or changes)
//   Date      a Date/Time field holding a date only (QDate `date`)
//   Time      a Date/Time field holding a time of day only (QTime `time`)
//   DateTime  a Date/Time field holding a local date-time whose date and time of day are
//             `date` and `time` exactly (a driver gives it only where local time has no
//             gaps that would move it)
// Anything else is Variant: `variant` points to the field's value (converted on demand).
//
// Usage:
//   RawValue raw;
//   rs->ReadRaw(ordinal, raw);
//   if (raw.kind == RawValue::Kind::Integer) use(raw.integer); else use(*raw.variant);
#pragma once

#include <QDate>
#include <QTime>
#include <QVariant>
#include <QtGlobal>

namespace morvane {

struct RawValue {
    enum class Kind : unsigned char { Null, Integer, Real, Text, Date, Time, DateTime, Variant };
    Kind kind = Kind::Null;
    qint64 integer = 0;
    double real = 0;
    const char* text = nullptr;
    qsizetype size = 0;
    QDate date;
    QTime time;
    const QVariant* variant = nullptr;
};

}  // namespace morvane
