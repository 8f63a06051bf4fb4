#include "export/data/excel/ExcelSheetLayout.h"

#include "export/data/WorksheetDays.h"

#include "export/data/FieldTypes.h"

#include <QDateTime>
#include <QSet>
#include <cmath>

namespace morvane {

namespace {

const QDate kEpoch1904(1904, 1, 1);

QString NumberText(double value) {
    return QString::number(value, 'g', 15);
}

struct ColumnKinds {
    bool number = false, date = false, boolean = false, text = false;
};

}  // namespace

ExcelSheetLayout ExcelSheetLayout::Read(ExcelSheetCursor& cursor) {
    ExcelSheetLayout layout;
    std::vector<QString> header;
    std::vector<ColumnKinds> kinds;
    ExcelCell cell;
    while (cursor.Next(cell)) {
        if (layout.HeaderRow < 0) layout.HeaderRow = cell.Row;
        if (cell.Row < layout.HeaderRow) continue;
        if (cell.Row > layout.HeaderRow + kGuessRows) break;
        if (cell.Column >= biff::MaxColumns) continue;
        const size_t column = cell.Column;
        if (cell.Row == layout.HeaderRow) {
            if (header.size() <= column) header.resize(column + 1);
            header[column] = cell.Type == ExcelCell::Text     ? cell.String.trimmed()
                             : cell.Type == ExcelCell::Number ? NumberText(cell.Value)
                                                              : QString();
            continue;
        }
        if (kinds.size() <= column) kinds.resize(column + 1);
        ColumnKinds& kind = kinds[column];
        switch (cell.Type) {
            case ExcelCell::Number:
                (cell.Style == CellStyle::General ? kind.number : kind.date) = true;
                break;
            case ExcelCell::Boolean:
                kind.boolean = true;
                break;
            case ExcelCell::Text:
                kind.text = true;
                break;
            case ExcelCell::Error:
                break;
        }
    }
    const size_t columns = std::max(header.size(), kinds.size());
    QSet<QString> taken;
    for (size_t column = 0; column < columns; ++column) {
        QString name = column < header.size() ? header[column] : QString();
        const QString fallback = QStringLiteral("F%1").arg(column + 1);
        if (name.isEmpty() || taken.contains(name.toCaseFolded())) name = fallback;
        while (taken.contains(name.toCaseFolded())) name += QLatin1Char('_');
        taken.insert(name.toCaseFolded());
        layout.Names.push_back(name);
        const ColumnKinds kind = column < kinds.size() ? kinds[column] : ColumnKinds();
        short type = dbText;
        if (!kind.text) {
            if (kind.boolean && !kind.number && !kind.date)
                type = dbBoolean;
            else if (kind.date && !kind.number && !kind.boolean)
                type = dbDate;
            else if ((kind.number || kind.date) && !kind.boolean)
                type = dbDouble;
        }
        layout.Types.push_back(type);
    }
    return layout;
}

qint64 ExcelSheetLayout::CountRecords(ExcelSheetCursor& cursor, qint64 headerRow) {
    if (headerRow < 0) return 0;
    qint64 last = headerRow;
    ExcelCell cell;
    while (cursor.Next(cell)) last = std::max<qint64>(last, cell.Row);
    return last - headerRow;
}

QVariant ExcelSheetLayout::DateValue(double serial, CellStyle style, bool date1904) {
    if (!std::isfinite(serial) || std::fabs(serial) > 3e6) return QVariant();
    const qint64 seconds = std::llround(serial * 86400.0);
    qint64 days = seconds / 86400;
    qint64 rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const QDate date = date1904 ? kEpoch1904.addDays(days) : WorksheetDate(days);
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest * 1000));
    switch (style) {
        case CellStyle::Date:
            return date;
        case CellStyle::Time:
            return time;
        default:
            return QDateTime(date, time);
    }
}

std::optional<double> ExcelSheetLayout::Serial(const QVariant& value) {
    QDate date;
    QTime time(0, 0);
    switch (value.typeId()) {
        case QMetaType::QDate:
            date = value.toDate();
            break;
        case QMetaType::QTime:
            time = value.toTime();
            if (!time.isValid()) return std::nullopt;
            return time.msecsSinceStartOfDay() / 86400000.0;
        default: {
            const QDateTime stamp = value.toDateTime();
            date = stamp.date();
            time = stamp.time();
        }
    }
    const std::optional<qint64> day = WorksheetDayOf(date);
    if (!day || !time.isValid()) return std::nullopt;
    return static_cast<double>(*day) + time.msecsSinceStartOfDay() / 86400000.0;
}

QVariant ExcelSheetLayout::Value(const ExcelCell& cell, short type, bool date1904) {
    if (cell.Type == ExcelCell::Error) return QVariant();
    switch (type) {
        case dbByte:
        case dbInteger:
        case dbLong:
        case dbCurrency:
        case dbSingle:
        case dbBigInt:
        case dbFloat:
        case dbDouble:
            if (cell.Type != ExcelCell::Text) return cell.Value;
            {
                bool ok = false;
                const double value = cell.String.trimmed().toDouble(&ok);
                return ok ? QVariant(value) : QVariant();
            }
        case dbBoolean:
            if (cell.Type != ExcelCell::Text) return cell.Value != 0;
            if (cell.String.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) return true;
            if (cell.String.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) return false;
            return QVariant();
        case dbTime:
        case dbTimeStamp:
        case dbDate:
            if (cell.Type == ExcelCell::Number) {
                CellStyle style = cell.Style;
                if (style == CellStyle::General)
                    style = cell.Value == std::floor(cell.Value) ? CellStyle::Date
                                                                 : CellStyle::DateTime;
                return DateValue(cell.Value, style, date1904);
            }
            if (cell.Type == ExcelCell::Text) {
                const QDateTime stamp = QDateTime::fromString(cell.String.trimmed(), Qt::ISODate);
                if (stamp.isValid()) return stamp;
                const QDate date = QDate::fromString(cell.String.trimmed(), Qt::ISODate);
                return date.isValid() ? QVariant(date) : QVariant();
            }
            return QVariant();
        default:
            break;
    }
    switch (cell.Type) {
        case ExcelCell::Text:
            return cell.String;
        case ExcelCell::Boolean:
            return cell.Value != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        case ExcelCell::Number:
            switch (cell.Style) {
                case CellStyle::Date:
                    return DateValue(cell.Value, cell.Style, date1904)
                        .toDate()
                        .toString(Qt::ISODate);
                case CellStyle::DateTime:
                    return DateValue(cell.Value, cell.Style, date1904)
                        .toDateTime()
                        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                case CellStyle::Time:
                    return DateValue(cell.Value, cell.Style, date1904)
                        .toTime()
                        .toString(QStringLiteral("HH:mm:ss"));
                case CellStyle::General:
                    break;
            }
            return NumberText(cell.Value);
        case ExcelCell::Error:
            break;
    }
    return QVariant();
}

}  // namespace morvane
