#include "export/data/paradox/ParadoxTypes.h"

#include "export/data/EngineError.h"
#include "export/data/Field.h"
#include "export/data/FieldTypes.h"
#include "export/data/paradox/ParadoxBlob.h"
#include "export/data/paradox/ParadoxLayout.h"

#include <QDateTime>
#include <QUuid>
#include <cmath>

namespace morvane::paradox {

namespace {

FieldLayout Layout(unsigned char code, int sizeByte) {
    FieldLayout layout;
    layout.code = code;
    layout.sizeByte = sizeByte;
    layout.width = FieldWidth(code, sizeByte);
    return layout;
}

constexpr int kMemoLeader = 10;

QByteArray BytesOf(const QVariant& value) {
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray()
                                                   : value.toString().toUtf8();
}

qint64 DayNumber(const QDate& date) {
    return date.toJulianDay() - kDayBase;
}

QDate DateOfDay(qint64 day) {
    return QDate::fromJulianDay(day + kDayBase);
}

}  // namespace

int VersionByteOf(int level) {
    return level <= 3 ? 3 : level == 4 ? 9 : 11;
}

FieldLayout PlanField(short type, int size, int level) {
    const bool five = level >= 5;
    switch (type) {
        case dbBoolean:
            return five ? Layout(kLogical, 1) : Layout(kShort, 2);
        case dbByte:
        case dbInteger:
            return Layout(kShort, 2);
        case dbLong:
            return five ? Layout(kLong, 4) : Layout(kNumber, 8);
        case dbCurrency:
            return Layout(kCurrency, 8);
        case dbSingle:
        case dbDouble:
        case dbFloat:
        case dbBigInt:
        case dbNumeric:
        case dbDecimal:
            return Layout(kNumber, 8);
        case dbDate:
        case dbTimeStamp:
            return five ? Layout(kTimestamp, 8) : Layout(kDate, 4);
        case dbTime:
            return five ? Layout(kTime, 4) : Layout(kAlpha, 12);
        case dbText:
        case dbChar:
            return Layout(kAlpha, std::clamp(size > 0 ? size : 50, 1, 255));
        case dbGUID:
            return Layout(kAlpha, 38);
        case dbMemo:
            return level <= 3 ? Layout(kAlpha, 255) : Layout(kMemo, kMemoLeader + kBlobTail);
        case dbBinary:
        case dbVarBinary: {
            const int bytes = size > 0 ? size : 255;
            if (level <= 3) return Layout(kAlpha, std::min(bytes, 255));
            if (five && bytes <= 255) return Layout(kBytes, bytes);
            return Layout(kBlob, kBlobTail);
        }
        case dbLongBinary:
            return level <= 3 ? Layout(kAlpha, 255) : Layout(kBlob, kBlobTail);
        default:
            throw EngineError::Of(ErrInvalidFieldType, QString::number(type));
    }
}

short EngineTypeOf(const FieldLayout& layout) {
    switch (layout.code) {
        case kAlpha:
            return dbText;
        case kDate:
        case kTime:
        case kTimestamp:
            return dbDate;
        case kShort:
            return dbInteger;
        case kLong:
        case kAutoInc:
            return dbLong;
        case kCurrency:
            return dbCurrency;
        case kNumber:
            return dbDouble;
        case kLogical:
            return dbBoolean;
        case kMemo:
        case kFmtMemo:
            return dbMemo;
        case kBcd:
            return dbDecimal;
        case kBytes:
            return dbBinary;
        default:
            return dbLongBinary;
    }
}

int EngineSizeOf(const FieldLayout& layout) {
    switch (layout.code) {
        case kAlpha:
        case kBytes:
            return layout.width;
        case kBcd:
            return 17;
        default:
            return EngineFieldSize(EngineTypeOf(layout), 0);
    }
}

QVariant DecodeValue(const FieldLayout& layout, const unsigned char* record,
                     const ParadoxCodePage& page, MbReader& mb, const QString& path) {
    const unsigned char* p = record + layout.offset;
    if (IsBlank(p, layout.width)) return QVariant();
    switch (layout.code) {
        case kAlpha: {
            int size = 0;
            while (size < layout.width && p[size] != 0) ++size;
            while (size > 0 && p[size - 1] == ' ') --size;
            if (size == 0) return QVariant();
            return page.Decode(reinterpret_cast<const char*>(p), size);
        }
        case kShort:
        case kLong:
        case kAutoInc:
            return static_cast<int>(DecodeInt(p, layout.width));
        case kLogical:
            return DecodeInt(p, 1) != 0;
        case kCurrency:
        case kNumber:
            return DecodeDouble(p);
        case kDate: {
            const QDate date = DateOfDay(DecodeInt(p, 4));
            return date.isValid() ? QVariant(date) : QVariant();
        }
        case kTime: {
            const qint64 ms = DecodeInt(p, 4);
            if (ms < 0 || ms >= 86400000) return QVariant();
            return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
        }
        case kTimestamp: {
            const double ms = DecodeDouble(p);
            if (!std::isfinite(ms) || ms < 0 || ms > 4e17) return QVariant();
            const qint64 whole = static_cast<qint64>(std::llround(ms));
            const QDate date = DateOfDay(whole / 86400000);
            if (!date.isValid()) return QVariant();
            return QDateTime(date,
                             QTime::fromMSecsSinceStartOfDay(static_cast<int>(whole % 86400000)));
        }
        case kBcd: {
            // Byte 0: bit 7 set for a positive value (else every byte is inverted), the
            // low six bits the precision; then 32 digits, two to a byte, the last
            // sizeByte of them after the decimal point.
            unsigned char b[17];
            memcpy(b, p, 17);
            const bool negative = !(b[0] & 0x80);
            if (negative)
                for (unsigned char& c : b) c = static_cast<unsigned char>(~c);
            QString digits;
            for (int i = 0; i < 32; ++i) {
                const int nibble = (i % 2 == 0) ? (b[1 + i / 2] >> 4) : (b[1 + i / 2] & 0x0F);
                digits += QChar(u'0' + std::min(nibble, 9));
            }
            const int decimals = std::min(layout.sizeByte, 32);
            QString whole = digits.left(32 - decimals);
            while (whole.size() > 1 && whole.startsWith(u'0')) whole.remove(0, 1);
            QString text = whole;
            if (decimals > 0) text += u'.' + digits.right(decimals);
            return negative ? u'-' + text : text;
        }
        case kBytes:
            return QByteArray(reinterpret_cast<const char*>(p), layout.width);
        default: {  // memo and blob fields
            const int leader = layout.width - kBlobTail;
            const quint32 mbOffset = Le32(p + leader);
            const quint32 length = Le32(p + leader + 4);
            QByteArray bytes;
            if (mbOffset == 0) {
                if (length > static_cast<quint32>(leader))
                    throw EngineError::Of(ErrCorruptDatabase, path,
                                          QStringLiteral("a memo of %1 bytes in a leader of %2")
                                              .arg(length)
                                              .arg(leader));
                bytes = QByteArray(reinterpret_cast<const char*>(p), static_cast<int>(length));
            } else {
                bytes = mb.Read(mbOffset, length);
            }
            if (layout.code == kMemo || layout.code == kFmtMemo) {
                if (bytes.isEmpty()) return QVariant();
                return page.Decode(bytes.constData(), static_cast<int>(bytes.size()));
            }
            return bytes;
        }
    }
}

void EncodeValue(const FieldLayout& layout, short engineType, const QVariant& value,
                 unsigned char* record, const ParadoxCodePage& page, MbWriter* mb,
                 const QString& fieldName) {
    unsigned char* p = record + layout.offset;
    memset(p, 0, static_cast<size_t>(layout.width));
    if (value.isNull()) return;
    const auto outOfRange = [&] { throw EngineError::Of(ErrConversion); };
    switch (layout.code) {
        case kAlpha: {
            QByteArray bytes;
            if (value.typeId() == QMetaType::QByteArray) {
                bytes = value.toByteArray();
            } else if (engineType == dbGUID) {
                bytes = page.Encode(value.toUuid().toString(QUuid::WithBraces));
            } else if (engineType == dbTime) {
                bytes = page.Encode(value.toTime().toString(QStringLiteral("HH:mm:ss")));
            } else {
                bytes = page.Encode(value.toString());
            }
            if (bytes.size() > layout.width) throw EngineError::Of(ErrFieldTooSmall, fieldName);
            memcpy(p, bytes.constData(), static_cast<size_t>(bytes.size()));
            return;
        }
        case kShort:
        case kLong: {
            const qint64 number = value.toLongLong();
            const qint64 limit = qint64(1) << (8 * layout.width - 1);
            if (number <= -limit || number >= limit) outOfRange();
            EncodeInt(p, layout.width, number);
            return;
        }
        case kLogical:
            EncodeInt(p, 1, value.toBool() ? 1 : 0);
            return;
        case kCurrency:
        case kNumber: {
            const double number = value.toDouble();
            if (!std::isfinite(number)) outOfRange();
            EncodeDouble(p, number);
            return;
        }
        case kDate: {
            const QDate date =
                value.typeId() == QMetaType::QDateTime ? value.toDateTime().date() : value.toDate();
            if (!date.isValid()) outOfRange();
            EncodeInt(p, 4, DayNumber(date));
            return;
        }
        case kTime: {
            const QTime time =
                value.typeId() == QMetaType::QDateTime ? value.toDateTime().time() : value.toTime();
            if (!time.isValid()) outOfRange();
            EncodeInt(p, 4, time.msecsSinceStartOfDay());
            return;
        }
        case kTimestamp: {
            QDate date;
            QTime time(0, 0);
            if (value.typeId() == QMetaType::QDateTime) {
                date = value.toDateTime().date();
                time = value.toDateTime().time();
            } else if (value.typeId() == QMetaType::QTime) {
                date = QDate(1899, 12, 30);  // a time of day alone: the engine's day zero
                time = value.toTime();
            } else {
                date = value.toDate();
            }
            if (!date.isValid() || DayNumber(date) < 1) outOfRange();
            EncodeDouble(p, double(DayNumber(date)) * kMsPerDay + time.msecsSinceStartOfDay());
            return;
        }
        case kBytes: {
            const QByteArray bytes = BytesOf(value);
            if (bytes.size() > layout.width) throw EngineError::Of(ErrFieldTooSmall, fieldName);
            memcpy(p, bytes.constData(), static_cast<size_t>(bytes.size()));
            return;
        }
        case kMemo:
        case kFmtMemo:
        case kBlob:
        case kOle:
        case kGraphic: {
            const QByteArray bytes = (layout.code == kMemo || layout.code == kFmtMemo) &&
                                             value.typeId() != QMetaType::QByteArray
                                         ? page.Encode(value.toString())
                                         : BytesOf(value);
            if (bytes.isEmpty()) return;
            const int leader = layout.width - kBlobTail;
            memcpy(p, bytes.constData(),
                   static_cast<size_t>(std::min<qsizetype>(leader, bytes.size())));
            quint32 mbOffset = 0;
            if (bytes.size() > leader) {
                if (!mb) throw EngineError::Of(ErrInvalidOperation);
                mbOffset = mb->Write(bytes);
            }
            PutLe32(p + leader, mbOffset);
            PutLe32(p + leader + 4, static_cast<quint32>(bytes.size()));
            PutLe16(p + leader + 8, 1);
            return;
        }
        default:
            throw EngineError::Of(ErrNotSupported,
                                  QStringLiteral("writing this Paradox field type"));
    }
}

}  // namespace morvane::paradox
