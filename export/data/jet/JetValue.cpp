#include "export/data/jet/JetValue.h"

#include "export/data/FieldTypes.h"
#include "export/data/jet/JetText.h"

#include <QDateTime>
#include <QUuid>
#include <QtEndian>
#include <cmath>

namespace morvane {

namespace {

constexpr int kDecimalSize = 17;
constexpr double kMaxDays = 2958465.0;  // 9999-12-31
constexpr double kMinDays = -657434.0;  // 0100-01-01

int StoredSize(int columnType) {
    switch (columnType) {
        case MDB_BYTE:
            return 1;
        case MDB_INT:
            return 2;
        case MDB_LONGINT:
        case MDB_FLOAT:
            return 4;
        case MDB_MONEY:
        case MDB_DOUBLE:
        case MDB_DATETIME:
            return 8;
        case MDB_REPID:
            return 16;
        case MDB_NUMERIC:
            return kDecimalSize;
        default:
            return 0;
    }
}

QUuid ReadGuid(const unsigned char* bytes) {
    return QUuid(qFromLittleEndian<quint32>(bytes), qFromLittleEndian<quint16>(bytes + 4),
                 qFromLittleEndian<quint16>(bytes + 6), bytes[8], bytes[9], bytes[10], bytes[11],
                 bytes[12], bytes[13], bytes[14], bytes[15]);
}

}  // namespace

short JetValue::EngineType(int columnType) {
    switch (columnType) {
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_DATETIME:
        case MDB_BINARY:
        case MDB_TEXT:
        case MDB_OLE:
        case MDB_MEMO:
        case MDB_REPID:
            return static_cast<short>(columnType);
        case MDB_NUMERIC:
            return dbDecimal;
        default:
            return 0;
    }
}

int JetValue::EngineSize(const MdbColumn& column, int version) {
    switch (column.col_type) {
        case MDB_TEXT:  // Jet 4 counts the bytes of UCS-2
            return version == 0 ? column.col_size : column.col_size / 2;
        case MDB_BINARY:
            return column.col_size;
        case MDB_NUMERIC:
            return 16;
        default:
            return 0;  // the engine's size for the type (Field::Size)
    }
}

QVariant JetValue::DateFromDays(double days) {
    if (!std::isfinite(days) || days > kMaxDays || days < kMinDays) return QVariant();
    const double whole = std::trunc(days);
    // Whole seconds, as the writers of these files keep them; the binary fraction of a
    // day is rarely exact (14:48:27 is stored as 14:48:26.9999...).
    qint64 msecs = std::llround(std::fabs(days - whole) * 86400.0) * 1000;
    qint64 dayCount = static_cast<qint64>(whole);
    if (msecs >= 86400000) {  // rounding reached the next midnight
        msecs -= 86400000;
        dayCount += days < 0 ? -1 : 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(dayCount);
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs));
    if (msecs == 0) return date;
    if (dayCount == 0) return time;  // a time of day with no date
    return QDateTime(date, time);
}

QVariant JetValue::Read(JetFile& file, const MdbColumn& column, const MdbField& field) {
    if (column.col_type == MDB_BOOL) return QVariant(!field.is_null);
    if (field.is_null) return QVariant();
    const int pageSize = file.PageSize();
    if (field.start < 0 || field.siz < 0 || field.start + field.siz > pageSize)
        file.RaiseCorrupt(QStringLiteral("a value of column '%1' lies outside its page")
                              .arg(QString::fromUtf8(column.name)));
    const unsigned char* bytes = file.Handle()->pg_buf + field.start;
    if (field.siz < StoredSize(column.col_type))
        file.RaiseCorrupt(
            QStringLiteral("a value of column '%1' is cut").arg(QString::fromUtf8(column.name)));
    const JetHeader& header = file.Header();
    switch (column.col_type) {
        case MDB_BYTE:
            return QVariant(static_cast<int>(bytes[0]));
        case MDB_INT:
            return QVariant(static_cast<int>(qFromLittleEndian<qint16>(bytes)));
        case MDB_LONGINT:
            return QVariant(static_cast<int>(qFromLittleEndian<qint32>(bytes)));
        case MDB_MONEY:
            return QVariant(static_cast<double>(qFromLittleEndian<qint64>(bytes)) / 10000.0);
        case MDB_FLOAT:
            return QVariant(qFromLittleEndian<float>(bytes));
        case MDB_DOUBLE:
            return QVariant(qFromLittleEndian<double>(bytes));
        case MDB_DATETIME:
            return DateFromDays(qFromLittleEndian<double>(bytes));
        case MDB_REPID:
            return QVariant(ReadGuid(bytes));
        case MDB_NUMERIC: {
            char* text = mdb_numeric_to_string(file.Handle(), field.start, column.col_scale,
                                               column.col_prec);
            const QString value = QString::fromUtf8(text);
            g_free(text);
            return value;
        }
        case MDB_BINARY:
            return QByteArray(reinterpret_cast<const char*>(bytes), field.siz);
        case MDB_TEXT:
            return JetText::Decode(reinterpret_cast<const char*>(bytes), field.siz,
                                   header.Version(), header.CodePage());
        case MDB_OLE:
            return file.ReadLongValue(bytes, field.siz);
        case MDB_MEMO: {
            const QByteArray stored = file.ReadLongValue(bytes, field.siz);
            return JetText::Decode(stored.constData(), stored.size(), header.Version(),
                                   header.CodePage());
        }
        default:
            return QVariant();
    }
}

}  // namespace morvane
