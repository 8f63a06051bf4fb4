#include "export/data/lotus/LotusFormat.h"

#include "export/data/WorksheetDays.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>
#include <cstring>

namespace morvane {

namespace {

constexpr int kSecondsPerDay = 86400;

}  // namespace

QString LotusTypeName(LotusVersion version) {
    return version == LotusVersion::Wk1 ? QStringLiteral("Lotus WK1") : QStringLiteral("Lotus WK3");
}

void LotusPutU16(QByteArray& out, quint16 value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

void LotusPatchU16(QByteArray& out, int offset, quint16 value) {
    out[offset] = static_cast<char>(value & 0xFF);
    out[offset + 1] = static_cast<char>(value >> 8);
}

QByteArray LotusEncodeExtended(double value) {
    QByteArray out(10, '\0');
    if (value == 0 || !std::isfinite(value)) return out;
    const bool negative = value < 0;
    int exponent = 0;
    // value = m * 2^exponent with m in [0.5, 1): the 64-bit mantissa carries its leading
    // bit explicitly, so m * 2^64 is the mantissa and exponent - 1 the binary exponent.
    const double fraction = std::frexp(std::fabs(value), &exponent);
    const auto mantissa = static_cast<quint64>(std::ldexp(fraction, 64));
    for (int byte = 0; byte < 8; ++byte)
        out[byte] = static_cast<char>((mantissa >> (8 * byte)) & 0xFF);
    const int biased = exponent - 1 + 16383;
    const quint16 signExponent = static_cast<quint16>((biased & 0x7FFF) | (negative ? 0x8000 : 0));
    LotusPatchU16(out, 8, signExponent);
    return out;
}

double LotusDecodeExtended(const uchar* p) {
    quint64 mantissa = 0;
    for (int byte = 7; byte >= 0; --byte) mantissa = (mantissa << 8) | p[byte];
    const quint16 signExponent = LotusU16(p + 8);
    const int exponent = (signExponent & 0x7FFF) - 16383;
    if (mantissa == 0) return 0;
    const double magnitude = std::ldexp(static_cast<double>(mantissa), exponent - 63);
    return (signExponent & 0x8000) ? -magnitude : magnitude;
}

double LotusDecodeSmallNumber(qint16 packed) {
    if (!(packed & 1)) return packed >> 1;
    // Odd values carry a mantissa (bits 15-4) and one of eight scale factors (bits 3-1):
    // positive factors multiply, negative ones divide.
    static const int kFactors[8] = {5000, 500, -20, -200, -2000, -20000, -16, -64};
    const int factor = kFactors[(packed >> 1) & 7];
    const int mantissa = packed >> 4;
    return factor > 0 ? static_cast<double>(factor) * mantissa
                      : static_cast<double>(mantissa) / -factor;
}

bool LotusSerialOf(const QVariant& value, double& serial) {
    QDate date;
    QTime time(0, 0);
    switch (value.metaType().id()) {
        case QMetaType::QDate:
            date = value.toDate();
            break;
        case QMetaType::QTime:
            time = value.toTime();
            serial = time.msecsSinceStartOfDay() / (1000.0 * kSecondsPerDay);
            return time.isValid();
        default: {
            const QDateTime dateTime = value.toDateTime();
            date = dateTime.date();
            time = dateTime.time();
        }
    }
    const std::optional<qint64> day = WorksheetDayOf(date);
    if (!day || !time.isValid()) return false;
    serial = static_cast<double>(*day) + time.msecsSinceStartOfDay() / (1000.0 * kSecondsPerDay);
    return true;
}

QVariant LotusDateOf(double serial, bool time) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465.0) return serial;  // past 9999
    double whole = std::floor(serial);
    qint64 seconds = std::llround((serial - whole) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        whole += 1;
        seconds -= kSecondsPerDay;
    }
    const QTime clock = QTime(0, 0).addSecs(static_cast<int>(seconds));
    if (time && whole == 0) return clock;
    const auto day = static_cast<qint64>(whole);
    const QDate date = WorksheetDate(day);  // day >= 0 here
    if (seconds == 0 && !time) return date;
    return QDateTime(date, clock);
}

bool LotusIsDateFormat(quint8 format, bool& time) {
    if (((format >> 4) & 7) != 7) return false;
    switch (format & 0x0F) {
        case 2:
        case 3:
        case 4:
        case 9:
        case 10:
            time = false;
            return true;
        case 7:
        case 8:
        case 11:
        case 12:
            time = true;
            return true;
        default:
            return false;
    }
}

QByteArray LotusEncodeText(const QString& text) {
    bool plain = true;
    for (const QChar ch : text)
        if (ch.unicode() >= 0x80 || ch.unicode() == 0) plain = false;
    if (plain) return text.toLatin1();
    QString cleaned = text;
    cleaned.remove(QChar(0));
    thread_local QStringEncoder encoder("LMBCS-1");
    if (!encoder.isValid()) {
        // Without ICU's converter only ASCII can be written faithfully.
        QByteArray bytes;
        for (const QChar ch : cleaned) bytes.append(ch.unicode() < 0x80 ? char(ch.unicode()) : '?');
        return bytes;
    }
    QByteArray bytes = encoder.encode(cleaned);
    encoder.resetState();
    return bytes;
}

QString LotusDecodeText(const char* data, int size) {
    bool plain = true;
    for (int index = 0; index < size; ++index)
        if (static_cast<uchar>(data[index]) >= 0x80 || static_cast<uchar>(data[index]) < 0x20)
            plain = false;
    if (plain) return QString::fromLatin1(data, size);
    thread_local QStringDecoder decoder("LMBCS-1");
    if (!decoder.isValid()) return QString::fromLatin1(data, size);
    QString text = decoder.decode(QByteArrayView(data, size));
    decoder.resetState();
    return text;
}

}  // namespace morvane
