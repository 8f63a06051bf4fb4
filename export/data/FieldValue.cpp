#include "export/data/FieldValue.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"

#include <QDateTime>
#include <QLocale>
#include <QUuid>
#include <cmath>
#include <limits>
#include <optional>

namespace morvane {

namespace {

[[noreturn]] void ConversionError() {
    throw EngineError::Of(ErrConversion);
}

bool ParseDouble(const QVariant& value, double* out) {
    bool ok = false;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        *out = QLocale::c().toDouble(text, &ok);
        if (!ok) *out = QLocale::system().toDouble(text, &ok);
        return ok;
    }
    if (value.typeId() == QMetaType::Bool) {
        *out = value.toBool() ? -1 : 0;  // the engine's True is -1
        return true;
    }
    *out = value.toDouble(&ok);
    return ok && value.canConvert<double>();
}

QVariant ToWhole(const QVariant& value, double low, double high, short type) {
    double number = 0;
    if (!ParseDouble(value, &number) || !std::isfinite(number)) ConversionError();
    number = std::nearbyint(number);  // banker's rounding, as the engine rounds
    if (number < low || number > high) ConversionError();
    if (type == dbBigInt) return QVariant::fromValue(static_cast<qlonglong>(number));
    return QVariant(static_cast<int>(number));
}

// A whole number given as an integer or as integer text, exactly: a double holds only 53
// bits, so a big integer passed through one would lose its last digits.
std::optional<qlonglong> ExactBigInt(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            return value.toLongLong();
        case QMetaType::ULongLong:
            if (value.toULongLong() >
                static_cast<qulonglong>(std::numeric_limits<qlonglong>::max()))
                return std::nullopt;
            return value.toLongLong();
        case QMetaType::QString: {
            bool ok = false;
            const qlonglong number = QLocale::c().toLongLong(value.toString().trimmed(), &ok);
            return ok ? std::optional<qlonglong>(number) : std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

QVariant ToBoolean(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        static const QStringList yes = {"true", "yes", "on"};
        static const QStringList no = {"false", "no", "off"};
        if (yes.contains(text)) return true;
        if (no.contains(text)) return false;
    }
    double number = 0;
    if (!ParseDouble(value, &number)) ConversionError();
    return number != 0;
}

QVariant ToDate(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QDate:
        case QMetaType::QTime:
        case QMetaType::QDateTime:
            return value;
        case QMetaType::QString: {
            QVariant parsed = ParseDateTimeText(value.toString());
            if (parsed.isNull()) ConversionError();
            return parsed;
        }
        default:
            ConversionError();
    }
}

QVariant ToGuid(const QVariant& value) {
    if (value.typeId() == QMetaType::QUuid) return value;
    const QUuid uuid(value.toString().trimmed());
    if (uuid.isNull() && value.toString().trimmed() != QUuid().toString()) ConversionError();
    return QVariant::fromValue(uuid);
}

}  // namespace

QVariant ParseDateTimeText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return QVariant();
    if (trimmed.size() == 10) {
        const QDate date = QDate::fromString(trimmed, Qt::ISODate);
        if (date.isValid()) return date;
    }
    QTime time = QTime::fromString(trimmed, Qt::ISODateWithMs);
    if (time.isValid()) return time;
    QString iso = trimmed;
    if (iso.size() > 10 && iso.at(10) == QLatin1Char(' ')) iso[10] = QLatin1Char('T');
    QDateTime dateTime = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (dateTime.isValid()) return dateTime;
    const QLocale locale = QLocale::system();
    dateTime = locale.toDateTime(trimmed, QLocale::ShortFormat);
    if (dateTime.isValid()) return dateTime;
    const QDate date = locale.toDate(trimmed, QLocale::ShortFormat);
    if (date.isValid()) return date;
    time = locale.toTime(trimmed, QLocale::ShortFormat);
    if (time.isValid()) return time;
    return QVariant();
}

namespace {

char* PutDigits(char* out, int value, int digits) {
    for (int at = digits - 1; at >= 0; --at) {
        out[at] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + digits;
}

//! The date's digits when it is storable (a valid date of the years 1 to 9999), else null;
//! one calendar conversion.
//! True when a whole number lies in the range of a Byte, Integer or Long field.
bool WholeFits(qlonglong number, short type) {
    switch (type) {
        case dbByte:
            return number >= 0 && number <= 255;
        case dbInteger:
            return number >= -32768 && number <= 32767;
        case dbLong:
            return number >= std::numeric_limits<qint32>::min() &&
                   number <= std::numeric_limits<qint32>::max();
        default:
            return false;
    }
}

//! A number rounded to the four decimals a Currency field keeps.
double CurrencyOf(double number) {
    return std::round(number * 10000.0) / 10000.0;
}

char* PutStoredDate(char* out, QDate date) {
    int year = 0, month = 0, day = 0;
    if (!date.isValid()) return nullptr;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999) return nullptr;
    out = PutDigits(out, year, 4);
    *out++ = '-';
    out = PutDigits(out, month, 2);
    *out++ = '-';
    return PutDigits(out, day, 2);
}

char* PutStoredTime(char* out, QTime time) {
    out = PutDigits(out, time.hour(), 2);
    *out++ = ':';
    out = PutDigits(out, time.minute(), 2);
    *out++ = ':';
    out = PutDigits(out, time.second(), 2);
    if (time.msec() == 0) return out;
    *out++ = '.';
    return PutDigits(out, time.msec(), 3);
}

}  // namespace

bool HeldAsFieldType(const QVariant& value, short type, int size) {
    switch (value.typeId()) {
        case QMetaType::Int:
            return WholeFits(*static_cast<const int*>(value.constData()), type);
        case QMetaType::Double: {
            const double number = *static_cast<const double*>(value.constData());
            // Currency keeps four decimals: a number that has no more is held as it is.
            return type == dbDouble || type == dbFloat ||
                   (type == dbCurrency && std::isfinite(number) && CurrencyOf(number) == number);
        }
        case QMetaType::Bool:
            return type == dbBoolean;
        case QMetaType::QDate:
        case QMetaType::QTime:
        case QMetaType::QDateTime:
            return IsDateTimeType(type);
        case QMetaType::QString:
            return type == dbMemo ||
                   (type == dbText &&
                    (size <= 0 || static_cast<const QString*>(value.constData())->size() <= size));
        default:
            return false;
    }
}

int DateTimeStorageChars(const QVariant& value, char* out) {
    char* end = out;
    switch (value.typeId()) {
        case QMetaType::QDate:
            end = PutStoredDate(out, *static_cast<const QDate*>(value.constData()));
            if (!end) return -1;
            break;
        case QMetaType::QTime: {
            const QTime time = *static_cast<const QTime*>(value.constData());
            if (!time.isValid()) return -1;
            end = PutStoredTime(out, time);
            break;
        }
        case QMetaType::QDateTime: {
            const auto& dateTime = *static_cast<const QDateTime*>(value.constData());
            if (!dateTime.isValid()) return -1;
            const QTime time = dateTime.time();
            if (!time.isValid()) return -1;
            end = PutStoredDate(out, dateTime.date());
            if (!end) return -1;
            *end++ = ' ';
            end = PutStoredTime(end, time);
            break;
        }
        default:
            return -1;
    }
    return static_cast<int>(end - out);
}

QString ValueTextAsLocal(const QVariant& value) {
    if (value.typeId() != QMetaType::QDateTime) return value.toString();
    const auto& dateTime = *static_cast<const QDateTime*>(value.constData());
    if (dateTime.timeSpec() == Qt::LocalTime) return value.toString();
    return QVariant(QDateTime(dateTime.date(), dateTime.time())).toString();
}

QString DateTimeStorageText(const QVariant& value) {
    char text[kDateTimeStorageChars];
    const int size = DateTimeStorageChars(value, text);
    if (size >= 0) return QString::fromLatin1(text, size);
    switch (value.typeId()) {
        case QMetaType::QDate:
            return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        case QMetaType::QTime: {
            const QTime time = value.toTime();
            return time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz")
                                             : QStringLiteral("HH:mm:ss"));
        }
        default: {
            const QDateTime dateTime = value.toDateTime();
            return dateTime.toString(dateTime.time().msec()
                                         ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                         : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
    }
}

QVariant ConvertFieldValue(const QVariant& value, short type, int size, const QString& fieldName) {
    if (value.isNull()) return QVariant();
    // A value already held the way the type holds it (a table exported into another one)
    // needs no conversion.
    if (HeldAsFieldType(value, type, size)) return value;
    switch (value.typeId()) {
        case QMetaType::LongLong: {
            // The whole numbers a table reads, into whole-number fields: the same checks as
            // ToWhole makes, without the detour through a double.
            const qlonglong number = *static_cast<const qlonglong*>(value.constData());
            if (type == dbByte || type == dbInteger || type == dbLong) {
                if (!WholeFits(number, type)) ConversionError();
                return QVariant(static_cast<int>(number));
            }
            if (type == dbBigInt) return value;
            break;
        }
        default:
            break;
    }
    double number = 0;
    switch (type) {
        case dbBoolean:
            return ToBoolean(value);
        case dbByte:
            return ToWhole(value, 0, 255, type);
        case dbInteger:
            return ToWhole(value, -32768, 32767, type);
        case dbLong:
            return ToWhole(value, std::numeric_limits<qint32>::min(),
                           std::numeric_limits<qint32>::max(), type);
        case dbBigInt:
            if (const std::optional<qlonglong> exact = ExactBigInt(value))
                return QVariant::fromValue(*exact);
            return ToWhole(value, -9.2233720368547758e18, 9.2233720368547748e18, type);
        case dbCurrency:
            if (!ParseDouble(value, &number) || !std::isfinite(number)) ConversionError();
            return CurrencyOf(number);
        case dbSingle:
            if (!ParseDouble(value, &number) || std::fabs(number) > 3.402823466e38)
                ConversionError();
            return static_cast<float>(number);
        case dbDouble:
        case dbFloat:
            if (!ParseDouble(value, &number)) ConversionError();
            return number;
        case dbDate:
        case dbTime:
        case dbTimeStamp:
            return ToDate(value);
        case dbBinary:
        case dbLongBinary:
        case dbVarBinary:
            return value.typeId() == QMetaType::QByteArray ? value
                                                           : QVariant(value.toString().toUtf8());
        case dbGUID:
            return ToGuid(value);
        default: {
            const QString text = value.typeId() == QMetaType::QDateTime ? DateTimeStorageText(value)
                                                                        : value.toString();
            if (type == dbText && size > 0 && text.size() > size)
                throw EngineError::Of(ErrFieldTooSmall, fieldName);
            return text;
        }
    }
}

}  // namespace morvane
