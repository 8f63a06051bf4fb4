#include "export/data/odbc/OdbcLiteral.h"

#include "export/data/FieldTypes.h"

#include <QDateTime>
#include <QLocale>
#include <QUuid>
#include <cmath>

namespace morvane {

namespace {

OdbcValueText DateText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QDate:
            return {OdbcValueKind::Date, value.toDate().toString(Qt::ISODate)};
        case QMetaType::QTime:
            return {OdbcValueKind::Time, value.toTime().toString(QStringLiteral("HH:mm:ss"))};
        default: {
            const QDateTime when = value.toDateTime();
            const QString format = when.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                      : QStringLiteral("yyyy-MM-dd HH:mm:ss");
            return {OdbcValueKind::DateTime, when.toString(format)};
        }
    }
}

OdbcValueText NumberText(const QVariant& value) {
    const QLocale c = QLocale::c();
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return {OdbcValueKind::Number, QString::number(value.toLongLong())};
        case QMetaType::Float:
            return {OdbcValueKind::Number,
                    QString::number(static_cast<double>(value.toFloat()), 'g', 9)};
        case QMetaType::QString: {
            // Decimal text (numeric and decimal columns) is already in "." form; anything
            // else is read as a number first so that no regional text reaches the statement.
            bool ok = false;
            const double number = c.toDouble(value.toString().trimmed(), &ok);
            if (ok && std::isfinite(number))
                return {OdbcValueKind::Number, value.toString().trimmed()};
            return {OdbcValueKind::Text, value.toString()};
        }
        default:
            return {OdbcValueKind::Number,
                    QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest)};
    }
}

}  // namespace

QString QuotedSqlText(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

OdbcValueText OdbcValueOf(const QVariant& value, short type) {
    if (value.isNull()) return {};
    switch (type) {
        case dbBoolean:
            return {OdbcValueKind::Text,
                    value.toBool() ? QStringLiteral("1") : QStringLiteral("0")};
        case dbByte:
        case dbInteger:
        case dbLong:
        case dbBigInt:
        case dbCurrency:
        case dbSingle:
        case dbDouble:
        case dbFloat:
        case dbNumeric:
        case dbDecimal:
            return NumberText(value);
        case dbDate:
        case dbTime:
        case dbTimeStamp:
            return DateText(value);
        case dbGUID:
            return {OdbcValueKind::Text, value.value<QUuid>().toString(QUuid::WithoutBraces)};
        default:
            return {OdbcValueKind::Text, value.toString()};
    }
}

QString OdbcLiteral(const QVariant& value, short type) {
    OdbcValueText bare = OdbcValueOf(value, type);
    switch (bare.kind) {
        case OdbcValueKind::Null:
            return QStringLiteral("NULL");
        case OdbcValueKind::Text:
            return QuotedSqlText(bare.text);
        case OdbcValueKind::Number:
            return bare.text;
        case OdbcValueKind::Date:
            return QStringLiteral("{d '") + bare.text + QStringLiteral("'}");
        case OdbcValueKind::Time:
            return QStringLiteral("{t '") + bare.text + QStringLiteral("'}");
        case OdbcValueKind::DateTime:
            return QStringLiteral("{ts '") + bare.text + QStringLiteral("'}");
    }
    return QStringLiteral("NULL");
}

}  // namespace morvane
