#include "export/common/ValueText.h"

#include "export/data/FieldTypes.h"

#include <QDateTime>
#include <QUuid>

namespace morvane {

namespace {

// Everything ValueText needs from the regional setting, worked out once per setting so
// that a call neither builds a locale nor parses its formats.
struct RegionalFormat {
    QLocale locale;
    QString decimalPoint;
    QString dateFormat;
    QString timeFormat;
};

// The locale's short date format with the year widened to four digits.
QString FourDigitYearFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1String("yyyy"))) return format;
    const qsizetype at = format.indexOf(u'y');
    if (at < 0) return format;
    qsizetype end = at;
    while (end < format.size() && format[end] == u'y') ++end;
    return format.replace(at, end - at, QLatin1String("yyyy"));
}

// The locale's long time format without the time zone ("t").
QString TimeFormatWithoutZone(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.trimmed();
}

RegionalFormat MakeFormat(const QLocale& requested) {
    const QLocale locale = requested.language() == QLocale::C
                               ? QLocale(QLocale::English, QLocale::UnitedStates)
                               : requested;
    return {locale, locale.decimalPoint(), FourDigitYearFormat(locale),
            TimeFormatWithoutZone(locale)};
}

RegionalFormat& Regional() {
    static RegionalFormat format = MakeFormat(QLocale::system());
    return format;
}

QString WithDecimalPoint(QString text) {
    const QString& point = Regional().decimalPoint;
    if (point != QLatin1String(".")) text.replace(u'.', point);
    return text;
}

QString FloatingText(double value, int significantDigits) {
    if (value == 0) return QStringLiteral("0");
    return WithDecimalPoint(QString::number(value, 'G', significantDigits));
}

QString CurrencyText(double value) {
    QString text = QString::number(value, 'f', 4);
    while (text.endsWith(u'0')) text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return WithDecimalPoint(text);
}

QString DateTimeText(const QVariant& value) {
    const RegionalFormat& regional = Regional();
    if (value.typeId() == QMetaType::QTime)
        return regional.locale.toString(value.toTime(), regional.timeFormat);
    if (value.typeId() == QMetaType::QDate)
        return regional.locale.toString(value.toDate(), regional.dateFormat);
    const QDateTime dateTime = value.toDateTime();
    if (!dateTime.isValid()) return value.toString();
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    if (date == QDate(1899, 12, 30)) return regional.locale.toString(time, regional.timeFormat);
    const QString dateText = regional.locale.toString(date, regional.dateFormat);
    if (time == QTime(0, 0)) return dateText;
    return dateText + u' ' + regional.locale.toString(time, regional.timeFormat);
}

QString GuidText(const QVariant& value) {
    if (value.typeId() == QMetaType::QUuid)
        return value.toUuid().toString(QUuid::WithBraces).toUpper();
    if (value.typeId() == QMetaType::QByteArray && value.toByteArray().size() == 16)
        return QUuid::fromRfc4122(value.toByteArray()).toString(QUuid::WithBraces).toUpper();
    return value.toString();
}

}  // namespace

QString ValueText(const QVariant& value, short fieldType) {
    if (value.isNull()) return QString();
    switch (fieldType) {
        case dbBoolean:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case dbByte:
        case dbInteger:
        case dbLong:
        case dbBigInt:
            return QString::number(value.toLongLong());
        case dbCurrency:
            return CurrencyText(value.toDouble());
        case dbSingle:
            return FloatingText(value.toFloat(), 7);
        case dbDouble:
        case dbFloat:
            return FloatingText(value.toDouble(), 15);
        case dbNumeric:
        case dbDecimal:
            return WithDecimalPoint(value.toString());
        case dbDate:
        case dbTime:
        case dbTimeStamp:
            return DateTimeText(value);
        case dbGUID:
            return GuidText(value);
        case dbText:
        case dbMemo:
        case dbChar:
            return value.toString();
        default:
            return QString();
    }
}

void SetRegionalLocale(const QLocale& locale) {
    Regional() = MakeFormat(locale);
}

QLocale RegionalLocale() {
    return Regional().locale;
}

}  // namespace morvane
