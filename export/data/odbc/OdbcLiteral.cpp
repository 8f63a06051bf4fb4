#include "export/data/odbc/OdbcLiteral.h"

#include "export/data/FieldTypes.h"

#include <QDateTime>
#include <QLocale>
#include <QUuid>
#include <cmath>

namespace morvane {

namespace {

QString DateLiteral(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QDate:
            return QStringLiteral("{d '%1'}").arg(value.toDate().toString(Qt::ISODate));
        case QMetaType::QTime:
            return QStringLiteral("{t '%1'}")
                .arg(value.toTime().toString(QStringLiteral("HH:mm:ss")));
        default: {
            const QDateTime when = value.toDateTime();
            const QString format = when.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                      : QStringLiteral("yyyy-MM-dd HH:mm:ss");
            return QStringLiteral("{ts '%1'}").arg(when.toString(format));
        }
    }
}

QString NumberLiteral(const QVariant& value) {
    const QLocale c = QLocale::c();
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return QString::number(value.toLongLong());
        case QMetaType::Float:
            return QString::number(static_cast<double>(value.toFloat()), 'g', 9);
        case QMetaType::QString: {
            // Decimal text (numeric and decimal columns) is already in "." form; anything
            // else is read as a number first so that no regional text reaches the statement.
            bool ok = false;
            const double number = c.toDouble(value.toString().trimmed(), &ok);
            if (ok && std::isfinite(number)) return value.toString().trimmed();
            return QuotedSqlText(value.toString());
        }
        default:
            return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
}

}  // namespace

QString QuotedSqlText(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString OdbcLiteral(const QVariant& value, short type) {
    if (value.isNull()) return QStringLiteral("NULL");
    switch (type) {
        case dbBoolean:
            return value.toBool() ? QStringLiteral("'1'") : QStringLiteral("'0'");
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
            return NumberLiteral(value);
        case dbDate:
        case dbTime:
        case dbTimeStamp:
            return DateLiteral(value);
        case dbGUID:
            return QuotedSqlText(value.value<QUuid>().toString(QUuid::WithoutBraces));
        default:
            return QuotedSqlText(value.toString());
    }
}

}  // namespace morvane
