#include "export/data/xbase/XbaseValues.h"

#include "export/common/FixedDecimals.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/FieldValue.h"
#include "export/data/xbase/XbaseMemo.h"

#include <QDateTime>
#include <QUuid>
#include <QtEndian>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace morvane {

namespace {

constexpr qint64 kMsPerDay = 86400000;

bool IsBinaryType(short type) {
    return type == dbBinary || type == dbLongBinary || type == dbVarBinary;
}

bool IsMemoType(char type, bool vfp) {
    return type == 'M' || type == 'G' || type == 'P' || (type == 'B' && !vfp);
}

// The field's bytes without trailing blanks and NULs (leading blanks kept for text).
QByteArrayView TrimmedRight(const char* bytes, int length) {
    while (length > 0 && (bytes[length - 1] == ' ' || bytes[length - 1] == '\0')) --length;
    return QByteArrayView(bytes, length);
}

QByteArrayView Trimmed(const char* bytes, int length) {
    QByteArrayView view = TrimmedRight(bytes, length);
    while (!view.isEmpty() && view.front() == ' ') view = view.sliced(1);
    return view;
}

// A decimal number of a numeric field: whole numbers as integer, others as real; false
// when the text is no number (blank, "****", garbage).
bool ParseNumber(QByteArrayView text, bool& whole, qint64& integer, double& real) {
    if (text.isEmpty() || text.size() > 40) return false;
    char buffer[48];
    memcpy(buffer, text.data(), static_cast<size_t>(text.size()));
    buffer[text.size()] = '\0';
    for (qsizetype i = 0; i < text.size(); ++i)
        if (buffer[i] == ',') buffer[i] = '.';
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(buffer, &end, 10);
    if (end == buffer + text.size() && errno == 0) {
        whole = true;
        integer = parsed;
        real = static_cast<double>(parsed);
        return true;
    }
    end = nullptr;
    const double value = std::strtod(buffer, &end);
    if (end != buffer + text.size() || !std::isfinite(value)) return false;
    whole = false;
    real = value;
    integer = static_cast<qint64>(value);
    return true;
}

QDate ParseDate(const char* bytes) {
    int parts[8];
    for (int i = 0; i < 8; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9') return {};
        parts[i] = bytes[i] - '0';
    }
    const int year = parts[0] * 1000 + parts[1] * 100 + parts[2] * 10 + parts[3];
    const int month = parts[4] * 10 + parts[5];
    const int day = parts[6] * 10 + parts[7];
    return QDate(year, month, day);  // invalid for 00000000 and impossible dates
}

quint32 MemoBlock(const XbaseFieldDescriptor& field, const char* bytes, bool vfp) {
    if (vfp && field.length == 4) return qFromLittleEndian<quint32>(bytes);
    const QByteArrayView digits = Trimmed(bytes, field.length);
    bool whole = false;
    qint64 integer = 0;
    double real = 0;
    if (!ParseNumber(digits, whole, integer, real) || !whole || integer <= 0 ||
        integer > 0xFFFFFFFFLL)
        return 0;
    return static_cast<quint32>(integer);
}

QString TextOf(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::QUuid:
            return value.toUuid().toString(QUuid::WithBraces);
        case QMetaType::QTime:
            return value.toTime().toString(QStringLiteral("HH:mm:ss"));
        case QMetaType::QDate:
        case QMetaType::QDateTime:
            return DateTimeStorageText(value);
        default:
            return value.toString();
    }
}

[[noreturn]] void TooSmall(const XbaseFieldDescriptor& field) {
    throw EngineError::Of(ErrFieldTooSmall, field.name);
}

void PutRight(char* target, int width, QByteArrayView text, const XbaseFieldDescriptor& field) {
    if (text.size() > width) TooSmall(field);
    memset(target, ' ', static_cast<size_t>(width));
    memcpy(target + width - text.size(), text.constData(), static_cast<size_t>(text.size()));
}

// A number right-aligned in the field's `width` characters with up to `decimals` decimals:
// fewer decimals when the whole part needs the room, exponent form when even that is too
// wide.
void PutNumber(char* target, const QVariant& value, int width, int decimals,
               const XbaseFieldDescriptor& field) {
    const int id = value.metaType().id();
    char text[kFixedDecimalsChars];
    int size = 0;
    if (id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::UInt ||
        id == QMetaType::Bool || id == QMetaType::Short || id == QMetaType::UChar) {
        const qlonglong whole = id == QMetaType::Int ? *static_cast<const int*>(value.constData())
                                : id == QMetaType::LongLong
                                    ? *static_cast<const qlonglong*>(value.constData())
                                    : value.toLongLong();
        size = static_cast<int>(std::to_chars(text, text + 24, whole).ptr - text);
        if (decimals > 0 && size + 1 + decimals <= std::min(width, kFixedDecimalsChars)) {
            text[size++] = '.';
            for (int digit = 0; digit < decimals; ++digit) text[size++] = '0';
        }
        if (size > width) TooSmall(field);
        PutRight(target, width, QByteArrayView(text, size), field);
        return;
    }
    bool ok = false;
    const double number =
        id == QMetaType::QString ? value.toString().toDouble(&ok) : value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) throw EngineError::Of(ErrConversion);
    for (int places = std::min(decimals, 40); places >= 0; --places) {
        size = FixedDecimals(number, places, text);
        if (size < 0) break;
        // "-0" and "-0.00" are written without their sign.
        if (text[0] == '-' &&
            std::all_of(text + 1, text + size, [](char c) { return c == '0' || c == '.'; })) {
            memmove(text, text + 1, static_cast<size_t>(--size));
        }
        if (size <= width) {
            PutRight(target, width, QByteArrayView(text, size), field);
            return;
        }
    }
    for (int precision = width - 6; precision >= 1; --precision) {
        const QByteArray exponent = QByteArray::number(number, 'e', precision);
        if (exponent.size() <= width) {
            PutRight(target, width, exponent, field);
            return;
        }
    }
    TooSmall(field);
}

// A date as the eight digits YYYYMMDD; false (nothing written) for an invalid date or a
// year outside 1..9999.
bool PutDateDigits(QDate date, char* out) {
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);  // zeros for an invalid date
    if (year < 1 || year > 9999) return false;
    const int parts[] = {year / 100, year % 100, month, day};
    for (int part : parts) {
        *out++ = static_cast<char>('0' + part / 10);
        *out++ = static_cast<char>('0' + part % 10);
    }
    return true;
}

}  // namespace

XbaseValueCodec::XbaseValueCodec(const XbaseHeader& header, const XbaseCodePage& page,
                                 bool hexBinary)
    : header_(header), page_(page), hexBinary_(hexBinary), vfp_(header.IsVisualFoxPro()) {}

bool XbaseValueCodec::IsNull(const XbaseFieldDescriptor& field, const char* record) const {
    if (field.nullBit < 0 || header_.nullFlagsField < 0) return false;
    const auto& flags = header_.fields[static_cast<size_t>(header_.nullFlagsField)];
    const auto byte = static_cast<unsigned char>(record[flags.offset + field.nullBit / 8]);
    return (byte >> (field.nullBit % 8)) & 1;
}

QVariant XbaseValueCodec::Natural(const XbaseFieldDescriptor& field, const char* record,
                                  XbaseMemoReader* memo) const {
    const char* bytes = record + field.offset;
    switch (field.type) {
        case 'C':
        case 'V': {
            const QByteArrayView text = TrimmedRight(bytes, field.length);
            return page_.Decode(text.data(), text.size());
        }
        case 'N':
        case 'F': {
            bool whole = false;
            qint64 integer = 0;
            double real = 0;
            if (!ParseNumber(Trimmed(bytes, field.length), whole, integer, real)) return {};
            if (whole && field.decimals == 0) return QVariant::fromValue<qlonglong>(integer);
            return real;
        }
        case 'D': {
            const QDate date = ParseDate(bytes);
            return date.isValid() ? QVariant(date) : QVariant();
        }
        case 'L':
            switch (bytes[0]) {
                case 'T':
                case 't':
                case 'Y':
                case 'y':
                    return true;
                case 'F':
                case 'f':
                case 'N':
                case 'n':
                    return false;
                default:
                    return {};
            }
        case 'I':
            return qFromLittleEndian<qint32>(bytes);
        case 'Y':
            return qFromLittleEndian<qint64>(bytes) / 10000.0;
        case 'T': {
            const qint32 day = qFromLittleEndian<qint32>(bytes);
            const qint32 ms = qFromLittleEndian<qint32>(bytes + 4);
            if (day <= 0 || ms < 0 || ms >= kMsPerDay) return {};
            const QDate date = QDate::fromJulianDay(day);
            if (!date.isValid()) return {};
            return QDateTime(date, QTime::fromMSecsSinceStartOfDay(ms));
        }
        case 'Q':
            return QByteArray(bytes, field.length);
        case 'B':
            if (vfp_) return qFromLittleEndian<double>(bytes);
            [[fallthrough]];
        default: {  // memo fields
            const quint32 block = MemoBlock(field, bytes, vfp_);
            if (block == 0 || !memo) return {};
            const QByteArray value = memo->Read(block);
            if (field.type == 'M' && !(field.flags & 0x04))
                return page_.Decode(value.constData(), value.size());
            return value;
        }
    }
}

QVariant XbaseValueCodec::Read(int index, const char* record, short type, int size,
                               XbaseMemoReader* memo) const {
    const auto& field = header_.fields[static_cast<size_t>(index)];
    if (IsNull(field, record)) return {};
    QVariant value = Natural(field, record, memo);
    if (value.isNull()) return value;
    const int id = value.metaType().id();
    switch (type) {
        case dbText:
        case dbMemo:
        case dbChar:
            return id == QMetaType::QString ? value : QVariant(TextOf(value));
        case dbBinary:
        case dbLongBinary:
        case dbVarBinary:
            if (id == QMetaType::QString && hexBinary_)
                return QByteArray::fromHex(value.toString().toLatin1());
            return id == QMetaType::QByteArray ? value : QVariant(value.toString().toUtf8());
        case dbBoolean:
            return id == QMetaType::Bool ? value : QVariant(value.toDouble() != 0);
        case dbByte:
        case dbInteger:
        case dbLong:
            if (id == QMetaType::LongLong || id == QMetaType::Int) {
                const qlonglong number = value.toLongLong();
                if (number >= INT_MIN && number <= INT_MAX) return static_cast<int>(number);
                return number;
            }
            break;
        case dbBigInt:
            if (id == QMetaType::LongLong || id == QMetaType::Int) return value.toLongLong();
            break;
        case dbDouble:
        case dbFloat:
        case dbCurrency:
            if (id == QMetaType::Double || id == QMetaType::LongLong || id == QMetaType::Int)
                return value.toDouble();
            break;
        case dbSingle:
            if (id == QMetaType::Double || id == QMetaType::LongLong || id == QMetaType::Int)
                return static_cast<float>(value.toDouble());
            break;
        case dbDate:
        case dbTimeStamp:
            if (id == QMetaType::QDate || id == QMetaType::QDateTime) return value;
            break;
        default:
            break;
    }
    // Any other pairing (a table created in this session with a type the file has no
    // field for: GUID, time, decimal text): the engine's own conversion.
    try {
        return ConvertFieldValue(
            id == QMetaType::Double && (type == dbNumeric || type == dbDecimal)
                ? QVariant(QString::number(value.toDouble(), 'f', field.decimals))
                : value,
            type, size, field.name);
    } catch (const EngineError&) {
        return value;
    }
}

bool XbaseValueCodec::ReadRaw(int index, const char* record, short type, RawValue& out,
                              QByteArray& scratch) const {
    const auto& field = header_.fields[static_cast<size_t>(index)];
    if (IsNull(field, record)) {
        out.kind = RawValue::Kind::Null;
        return true;
    }
    const char* bytes = record + field.offset;
    switch (field.type) {
        case 'C': {
            if (type != dbText && type != dbMemo && type != dbChar) return false;
            const QByteArrayView text = TrimmedRight(bytes, field.length);
            page_.DecodeUtf8(text.data(), text.size(), scratch);
            out.kind = RawValue::Kind::Text;
            out.text = scratch.constData();
            out.size = scratch.size();
            return true;
        }
        case 'N':
        case 'F': {
            const bool integral =
                type == dbByte || type == dbInteger || type == dbLong || type == dbBigInt;
            const bool floating =
                type == dbDouble || type == dbFloat || type == dbCurrency || type == dbSingle;
            if (!integral && !floating) return false;
            bool whole = false;
            qint64 integer = 0;
            double real = 0;
            if (!ParseNumber(Trimmed(bytes, field.length), whole, integer, real)) {
                out.kind = RawValue::Kind::Null;
                return true;
            }
            if (integral) {
                if (!whole || field.decimals != 0) return false;
                out.kind = RawValue::Kind::Integer;
                out.integer = integer;
            } else {
                out.kind = RawValue::Kind::Real;
                out.real = type == dbSingle ? static_cast<float>(real) : real;
            }
            return true;
        }
        case 'D': {
            if (type != dbDate && type != dbTimeStamp) return false;
            const QDate date = ParseDate(bytes);
            out.kind = date.isValid() ? RawValue::Kind::Date : RawValue::Kind::Null;
            out.date = date;
            return true;
        }
        case 'L':
            if (type != dbBoolean) return false;
            switch (bytes[0]) {
                case 'T':
                case 't':
                case 'Y':
                case 'y':
                    out.kind = RawValue::Kind::Integer, out.integer = 1;
                    return true;
                case 'F':
                case 'f':
                case 'N':
                case 'n':
                    out.kind = RawValue::Kind::Integer, out.integer = 0;
                    return true;
                default:
                    out.kind = RawValue::Kind::Null;
                    return true;
            }
        case 'I':
            if (type != dbLong && type != dbBigInt) return false;
            out.kind = RawValue::Kind::Integer;
            out.integer = qFromLittleEndian<qint32>(bytes);
            return true;
        case 'Y':
            if (type != dbCurrency) return false;
            out.kind = RawValue::Kind::Real;
            out.real = qFromLittleEndian<qint64>(bytes) / 10000.0;
            return true;
        case 'B':
            if (!vfp_ || (type != dbDouble && type != dbFloat)) return false;
            out.kind = RawValue::Kind::Real;
            out.real = qFromLittleEndian<double>(bytes);
            return true;
        default:
            return false;
    }
}

void XbaseValueCodec::Write(int index, const QVariant& value, short type, char* record,
                            XbaseMemoWriter* memo) const {
    const auto& field = header_.fields[static_cast<size_t>(index)];
    char* bytes = record + field.offset;
    const bool binaryField = field.type == 'I' || field.type == 'Y' || field.type == 'T' ||
                             (field.type == 'B' && vfp_) || field.type == 'Q' ||
                             (vfp_ && IsMemoType(field.type, vfp_));
    memset(bytes, binaryField ? '\0' : ' ', static_cast<size_t>(field.length));
    if (value.isNull()) {
        if (field.nullBit >= 0 && header_.nullFlagsField >= 0) {
            const auto& flags = header_.fields[static_cast<size_t>(header_.nullFlagsField)];
            record[flags.offset + field.nullBit / 8] = static_cast<char>(
                static_cast<unsigned char>(record[flags.offset + field.nullBit / 8]) |
                (1u << (field.nullBit % 8)));
        }
        return;
    }
    const int id = value.metaType().id();
    switch (field.type) {
        case 'C':
        case 'V': {
            if (id == QMetaType::QString && !(IsBinaryType(type) && hexBinary_)) {
                // Text straight into the record: one byte per character.
                const QString& string = *static_cast<const QString*>(value.constData());
                if (string.size() > field.length) TooSmall(field);
                page_.EncodeInto(string, bytes);
                return;
            }
            const QByteArray text =
                (id == QMetaType::QByteArray || IsBinaryType(type)) && hexBinary_
                    ? value.toByteArray().toHex().toUpper()
                    : page_.Encode(TextOf(value));
            if (text.size() > field.length) TooSmall(field);
            memcpy(bytes, text.constData(), static_cast<size_t>(text.size()));
            return;
        }
        case 'N':
        case 'F':
            PutNumber(bytes, value, field.length, field.decimals, field);
            return;
        case 'D': {
            const QDate date = id == QMetaType::QDateTime ? value.toDateTime().date()
                               : id == QMetaType::QDate
                                   ? value.toDate()
                                   : ParseDateTimeText(value.toString()).toDate();
            if (!PutDateDigits(date, bytes)) {
                if (id == QMetaType::QTime) return;  // a time of day alone has no date
                throw EngineError::Of(ErrConversion);
            }
            return;
        }
        case 'L':
            bytes[0] = value.toBool() ? 'T' : 'F';
            return;
        case 'I': {
            const qlonglong number = value.toLongLong();
            if (number < INT_MIN || number > INT_MAX) TooSmall(field);
            qToLittleEndian<qint32>(static_cast<qint32>(number), bytes);
            return;
        }
        case 'Y': {
            const double number = std::round(value.toDouble() * 10000.0);
            if (!(std::fabs(number) < 9.2e18)) TooSmall(field);
            qToLittleEndian<qint64>(static_cast<qint64>(number), bytes);
            return;
        }
        case 'T': {
            QDateTime moment;
            if (id == QMetaType::QDateTime)
                moment = value.toDateTime();
            else if (id == QMetaType::QDate)
                moment = QDateTime(value.toDate(), QTime(0, 0));
            else if (id == QMetaType::QTime)
                return;
            else
                moment = ParseDateTimeText(value.toString()).toDateTime();
            if (!moment.isValid()) throw EngineError::Of(ErrConversion);
            qToLittleEndian<qint32>(static_cast<qint32>(moment.date().toJulianDay()), bytes);
            qToLittleEndian<qint32>(moment.time().msecsSinceStartOfDay(), bytes + 4);
            return;
        }
        case 'Q': {
            const QByteArray data = value.toByteArray();
            if (data.size() > field.length) TooSmall(field);
            memcpy(bytes, data.constData(), static_cast<size_t>(data.size()));
            return;
        }
        case 'B':
            if (vfp_) {
                qToLittleEndian<double>(value.toDouble(), bytes);
                return;
            }
            [[fallthrough]];
        default: {  // memo fields
            if (!memo) throw EngineError::Of(ErrInvalidOperation);
            const bool binary = id == QMetaType::QByteArray || IsBinaryType(type);
            quint32 block = 0;
            if (binary && field.type == 'M' && hexBinary_)
                block = memo->Append(value.toByteArray().toHex().toUpper(), true);
            else if (binary)
                block = memo->Append(value.toByteArray(), false);
            else
                block = memo->Append(page_.Encode(TextOf(value)), true);
            if (vfp_ && field.length == 4) {
                qToLittleEndian<quint32>(block, bytes);
            } else {
                char digits[12];
                const auto written = std::to_chars(digits, digits + sizeof digits, block);
                PutRight(bytes, field.length,
                         QByteArrayView(digits, static_cast<qsizetype>(written.ptr - digits)),
                         field);
            }
            return;
        }
    }
}

}  // namespace morvane
