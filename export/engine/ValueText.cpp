#include "export/engine/ValueText.h"

#include "export/common/FixedDecimals.h"

#include "export/data/FieldTypes.h"

#include <QDateTime>
#include <QUuid>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

namespace {

// A date or time format made only of numeric fields (d, dd, M, MM, yyyy, h, hh, H, HH, m,
// mm, s, ss), an AM/PM marker and literal characters, compiled once per regional setting.
// Every date of every exported row is formatted, and QLocale::toString parses its format
// again on each call, which made dates the costliest values of an export. Compile()
// accepts only formats it can render exactly as QLocale does, and checks that on sample
// values; any other format stays with QLocale.
class NumericDateFormat {
  public:
    static std::optional<NumericDateFormat> Compile(const QString& format, const QLocale& locale,
                                                    bool isTime);
    //! The text of date or time; nullopt for a year outside 1..9999.
    std::optional<QString> Format(QDate date, QTime time) const;
    //! Appends the same text's units; false (nothing appended) where Format gives nullopt.
    bool AppendUnits(QDate date, QTime time, std::u16string& text) const;

  private:
    enum class Kind { Literal, Day, Month, Year, Hour12, Hour24, Minute, Second, AmPm };
    struct Piece {
        Kind kind;
        int width;     //!< digits of a number field: 1 unpadded, 2 or 4 zero-padded
        QString text;  //!< a literal's text
    };
    bool Parse(const QString& format, const QLocale& locale, bool isTime);
    bool Agrees(const QString& format, const QLocale& locale, bool isTime) const;

    std::vector<Piece> pieces_;
    QString am_, pm_;
    size_t maxUnits_ = 0;  //!< the longest text the pieces can make
    bool isTime_ = false;  //!< a time format (else a date format)
};

bool NumericDateFormat::Parse(const QString& format, const QLocale& locale, bool isTime) {
    const bool twelveHour = format.contains(u'a', Qt::CaseInsensitive);
    for (qsizetype at = 0; at < format.size();) {
        const QChar ch = format[at];
        qsizetype run = 1;
        while (at + run < format.size() && format[at + run] == ch) ++run;
        const char code = ch.toLatin1();
        Kind kind = Kind::Literal;
        if (!ch.isLetter() && ch != u'\'') {
            if (pieces_.empty() || pieces_.back().kind != Kind::Literal)
                pieces_.push_back({Kind::Literal, 0, QString()});
            pieces_.back().text += format.mid(at, run);
            at += run;
            continue;
        }
        if ((code == 'a' || code == 'A') && isTime) {
            run = at + 1 < format.size() && format[at + 1].toLower() == u'p' ? 2 : 1;
            am_ = locale.toString(QTime(1, 0), format.mid(at, run));
            pm_ = locale.toString(QTime(13, 0), format.mid(at, run));
            pieces_.push_back({Kind::AmPm, 0, QString()});
            at += run;
            continue;
        }
        if (!isTime && code == 'd' && run <= 2)
            kind = Kind::Day;
        else if (!isTime && code == 'M' && run <= 2)
            kind = Kind::Month;
        else if (!isTime && code == 'y' && run == 4)
            kind = Kind::Year;
        else if (isTime && code == 'h' && run <= 2)
            kind = twelveHour ? Kind::Hour12 : Kind::Hour24;
        else if (isTime && code == 'H' && run <= 2)
            kind = Kind::Hour24;
        else if (isTime && code == 'm' && run <= 2)
            kind = Kind::Minute;
        else if (isTime && code == 's' && run <= 2)
            kind = Kind::Second;
        else
            return false;  // names, fractions, quoting, any other letter: QLocale's business
        pieces_.push_back({kind, static_cast<int>(run), QString()});
        at += run;
    }
    return true;
}

bool NumericDateFormat::Agrees(const QString& format, const QLocale& locale, bool isTime) const {
    static const QDate dates[] = {{2024, 2, 9}, {1999, 12, 31}, {2001, 10, 1},
                                  {1000, 1, 1}, {9999, 11, 30}, {1900, 6, 15}};
    static const QTime times[] = {{0, 0, 0},  {1, 2, 3},    {9, 59, 59}, {11, 0, 5},
                                  {12, 0, 0}, {12, 30, 45}, {13, 5, 6},  {23, 59, 59}};
    if (isTime) {
        for (const QTime& time : times)
            if (Format(QDate(), time) != locale.toString(time, format)) return false;
    } else {
        for (const QDate& date : dates)
            if (Format(date, QTime()) != locale.toString(date, format)) return false;
    }
    return true;
}

std::optional<NumericDateFormat> NumericDateFormat::Compile(const QString& format,
                                                            const QLocale& locale, bool isTime) {
    NumericDateFormat compiled;
    if (locale.zeroDigit() != QLatin1String("0")) return std::nullopt;
    if (!compiled.Parse(format, locale, isTime)) return std::nullopt;
    compiled.isTime_ = isTime;
    for (const Piece& piece : compiled.pieces_) {
        if (piece.kind == Kind::Literal)
            compiled.maxUnits_ += static_cast<size_t>(piece.text.size());
        else if (piece.kind == Kind::AmPm)
            compiled.maxUnits_ +=
                static_cast<size_t>(std::max(compiled.am_.size(), compiled.pm_.size()));
        else
            compiled.maxUnits_ += 4;  // a year's digits; no other number has more
    }
    if (!compiled.Agrees(format, locale, isTime)) return std::nullopt;
    return compiled;
}

std::optional<QString> NumericDateFormat::Format(QDate date, QTime time) const {
    std::u16string units;
    if (!AppendUnits(date, time, units)) return std::nullopt;
    return QString::fromStdU16String(units);
}

bool NumericDateFormat::AppendUnits(QDate date, QTime time, std::u16string& text) const {
    // Written through a pointer into room made once (every piece's longest text), not a
    // unit at a time: dates are the most frequent values of many tables.
    // An invalid date or time has no text here (QLocale gives an empty one).
    if ((isTime_ && !time.isValid()) || (!isTime_ && !date.isValid())) return false;
    const size_t start = text.size();
    text.resize(start + maxUnits_);
    char16_t* out = text.data() + start;
    int year = 0, month = 0, day = 0;
    if (!isTime_) date.getDate(&year, &month, &day);  // one calendar conversion
    const int msecs = isTime_ ? time.msecsSinceStartOfDay() : 0;
    const int hour = msecs / 3600000;
    const int minute = msecs / 60000 % 60;
    const int second = msecs / 1000 % 60;
    // Every number here is below 10000 (the year was checked), at most 4 digits.
    const auto number = [&out](int value, int width) {
        const int digits = value >= 1000 ? 4 : value >= 100 ? 3 : value >= 10 ? 2 : 1;
        for (int pad = digits; pad < width; ++pad) *out++ = u'0';
        switch (digits) {
            case 4:
                *out++ = static_cast<char16_t>(u'0' + value / 1000);
                [[fallthrough]];
            case 3:
                *out++ = static_cast<char16_t>(u'0' + value / 100 % 10);
                [[fallthrough]];
            case 2:
                *out++ = static_cast<char16_t>(u'0' + value / 10 % 10);
                [[fallthrough]];
            default:
                *out++ = static_cast<char16_t>(u'0' + value % 10);
        }
    };
    const auto append = [&out](const QString& piece) {
        const QChar* unit = piece.constData();
        for (const QChar* end = unit + piece.size(); unit != end; ++unit)
            *out++ = unit->unicode();
    };
    for (const Piece& piece : pieces_) {
        switch (piece.kind) {
            case Kind::Literal:
                append(piece.text);
                break;
            case Kind::Day:
                number(day, piece.width);
                break;
            case Kind::Month:
                number(month, piece.width);
                break;
            case Kind::Year:
                if (year < 1 || year > 9999) {
                    text.resize(start);
                    return false;
                }
                number(year, 4);
                break;
            case Kind::Hour12:
                number(hour % 12 == 0 ? 12 : hour % 12, piece.width);
                break;
            case Kind::Hour24:
                number(hour, piece.width);
                break;
            case Kind::Minute:
                number(minute, piece.width);
                break;
            case Kind::Second:
                number(second, piece.width);
                break;
            case Kind::AmPm:
                append(hour < 12 ? am_ : pm_);
                break;
        }
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return true;
}

// Everything ValueText needs from the regional setting, worked out once per setting so
// that a call neither builds a locale nor parses its formats.
struct RegionalFormat {
    QLocale locale;
    QString decimalPoint;
    QString dateFormat;
    QString timeFormat;
    std::optional<NumericDateFormat> fastDate;  //!< dateFormat compiled, when it can be
    std::optional<NumericDateFormat> fastTime;  //!< timeFormat compiled, when it can be
    //! Both formats give some text for a valid date or time (a format of no fields and no
    //! literals would not); set by MakeFormat.
    bool datesHaveText = true;

    QString DateText(QDate date) const {
        if (fastDate)
            if (std::optional<QString> text = fastDate->Format(date, QTime())) return *text;
        return locale.toString(date, dateFormat);
    }
    QString TimeText(QTime time) const {
        if (fastTime)
            if (std::optional<QString> text = fastTime->Format(QDate(), time)) return *text;
        return locale.toString(time, timeFormat);
    }
};

RegionalFormat MakeFormat(const QLocale& requested) {
    const QLocale locale = requested.language() == QLocale::C
                               ? QLocale(QLocale::English, QLocale::UnitedStates)
                               : requested;
    const QString dateFormat = DateFormatFor(locale);
    const QString timeFormat = TimeFormatFor(locale);
    RegionalFormat format{locale,
                          locale.decimalPoint(),
                          dateFormat,
                          timeFormat,
                          NumericDateFormat::Compile(dateFormat, locale, false),
                          NumericDateFormat::Compile(timeFormat, locale, true)};
    format.datesHaveText =
        !format.DateText(QDate(2000, 1, 1)).isEmpty() && !format.TimeText(QTime(0, 0)).isEmpty();
    return format;
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

// True when rounding value to `digits` significant digits may meet an exact tie (the digit
// after the last kept one is a final 5). Qt rounds such ties away from zero, std::to_chars
// to even, so they are left to Qt.
bool MayRoundATie(double value, int digits) {
    char shortest[40];
    const auto written =
        std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific);
    const char* end = std::find(shortest, written.ptr, 'e');
    int count = 0;
    char last = 0;
    for (const char* at = shortest; at < end; ++at) {
        if (*at < '0' || *at > '9') continue;
        ++count;
        last = *at;
    }
    return count == digits + 1 && last == '5';
}

// "%.*G" of a finite value (with "E" for the exponent) by the C++ library, which rounds the
// exact binary value correctly (exact ties to even: the callers keep those away).
int LibraryGeneralChars(double value, int digits, char* out) {
    const auto written =
        std::to_chars(out, out + kNumberChars, value, std::chars_format::general, digits);
    std::replace(out, written.ptr, 'e', 'E');
    return static_cast<int>(written.ptr - out);
}

// QString::number(value, 'G', digits). Every floating-point value of every exported row
// comes here, and Qt's general number formatting costs twice what std::to_chars does for
// the same text (printf's "%.*G" rules, which Qt's 'G' follows, with "E" for the
// exponent). Infinities, NaN and possible rounding ties go to Qt itself.
QString GeneralNumber(double value, int digits) {
    if (!std::isfinite(value) || MayRoundATie(value, digits))
        return QString::number(value, 'G', digits);
    char buffer[kNumberChars];
    return QString::fromLatin1(buffer, LibraryGeneralChars(value, digits, buffer));
}

// Copies the ASCII text of a QString into out; answers its length.
int CopyAscii(const QString& text, char* out) {
    const QByteArray bytes = text.toLatin1();
    const int size = static_cast<int>(std::min<qsizetype>(bytes.size(), kNumberChars));
    std::copy_n(bytes.constData(), size, out);
    return size;
}

QString FloatingText(double value, int significantDigits) {
    if (value == 0) return QStringLiteral("0");
    return WithDecimalPoint(GeneralNumber(value, significantDigits));
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
    if (value.typeId() == QMetaType::QTime) return regional.TimeText(value.toTime());
    if (value.typeId() == QMetaType::QDate) return regional.DateText(value.toDate());
    const QDateTime dateTime = value.toDateTime();
    if (!dateTime.isValid()) return value.toString();
    return DateAndTimeText(dateTime.date(), dateTime.time());
}

// True when rounding value to 4 decimals meets an exact tie: value is an odd multiple of
// 1/32 (its fifth decimal is then a final 5). Qt rounds those away from zero, std::to_chars
// to even.
bool CurrencyTie(double value) {
    const double scaled = value * 32;  // exact: a power of two
    return std::floor(scaled) == scaled && std::fmod(scaled, 2) != 0;
}

QString GuidText(const QVariant& value) {
    if (value.typeId() == QMetaType::QUuid)
        return value.toUuid().toString(QUuid::WithBraces).toUpper();
    if (value.typeId() == QMetaType::QByteArray && value.toByteArray().size() == 16)
        return QUuid::fromRfc4122(value.toByteArray()).toString(QUuid::WithBraces).toUpper();
    return value.toString();
}

}  // namespace

QString DateFormatFor(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1String("yyyy"))) return format;
    const qsizetype at = format.indexOf(u'y');
    if (at < 0) return format;
    qsizetype end = at;
    while (end < format.size() && format[end] == u'y') ++end;
    return format.replace(at, end - at, QLatin1String("yyyy"));
}

QString TimeFormatFor(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.trimmed();
}

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

bool ValueTextNeverEmpty(const QVariant& value, short fieldType) {
    return !value.isNull() && PresentValueTextNeverEmpty(value, fieldType);
}

bool PresentValueTextNeverEmpty(const QVariant& value, short fieldType) {
    switch (fieldType) {
        case dbBoolean:
        case dbByte:
        case dbInteger:
        case dbLong:
        case dbBigInt:
        case dbCurrency:
        case dbSingle:
        case dbDouble:
        case dbFloat:
            return true;  // a word or at least one digit, whatever the value holds
        case dbDate:
        case dbTime:
        case dbTimeStamp:
            switch (value.typeId()) {
                case QMetaType::QDate:
                    return Regional().datesHaveText && value.toDate().isValid();
                case QMetaType::QTime:
                    return Regional().datesHaveText && value.toTime().isValid();
                case QMetaType::QDateTime:
                    return Regional().datesHaveText && value.toDateTime().isValid();
                default:
                    return false;  // text read as a date: its own text may be empty
            }
        default:
            return false;
    }
}

QString DateOnlyText(QDate date) {
    return Regional().DateText(date);
}

QString TimeOnlyText(QTime time) {
    return Regional().TimeText(time);
}

QString DateAndTimeText(QDate date, QTime time) {
    const RegionalFormat& regional = Regional();
    if (date == QDate(1899, 12, 30)) return regional.TimeText(time);
    const QString dateText = regional.DateText(date);
    if (time == QTime(0, 0)) return dateText;
    return dateText + u' ' + regional.TimeText(time);
}

bool AppendDateTimeUnits(std::u16string& out, QDate date, QTime time, DateTimeForm form) {
    const RegionalFormat& regional = Regional();
    if (!regional.fastDate || !regional.fastTime) return false;
    const size_t start = out.size();
    bool done = false;
    switch (form) {
        case DateTimeForm::DateOnly:
            done = regional.fastDate->AppendUnits(date, QTime(), out);
            break;
        case DateTimeForm::TimeOnly:
            done = regional.fastTime->AppendUnits(QDate(), time, out);
            break;
        case DateTimeForm::Both:
            // As DateAndTimeText: the zero date shows the time only, midnight the date only.
            if (date == QDate(1899, 12, 30)) {
                done = regional.fastTime->AppendUnits(QDate(), time, out);
                break;
            }
            done = regional.fastDate->AppendUnits(date, QTime(), out);
            if (done && time != QTime(0, 0)) {
                out += u' ';
                done = regional.fastTime->AppendUnits(QDate(), time, out);
            }
            break;
    }
    if (!done) out.resize(start);
    return done;
}

namespace {

// |value| rounded to `digits` significant digits (1..17) as a whole number of that many
// digits (ScaledMagnitude); `exponent` is the decimal exponent of its first digit, moved up
// when the rounding carries into a new digit. Rounds half away from zero, as Qt does. False
// where the numbers would not fit or `exponent` was wrong (the caller then formats with the
// C++ library or tries another exponent).
bool RoundToDigits(double value, int digits, int& exponent, quint64& rounded) {
    if (digits < 1 || digits > 17) return false;
    unsigned __int128 result = 0;
    if (!ScaledMagnitude(value, digits - 1 - exponent, result)) return false;
    quint64 low = 1;
    for (int step = 1; step < digits; ++step) low *= 10;
    const unsigned __int128 high = static_cast<unsigned __int128>(low) * 10;
    if (result == high) {  // 9.99...95 and up rounds to 10.0...0
        result = low;
        ++exponent;
    }
    if (result < low || result >= high) return false;
    rounded = static_cast<quint64>(result);
    return true;
}

// Lays out significant digits as "%.*G" does: sign, then plain notation for exponents from
// -4 to digits - 1, else one digit, the point, the rest and "E+XX".
int LayOutGeneral(bool negative, const char* mantissa, int count, int exponent, int digits,
                  char* out) {
    char* target = out;
    if (negative) *target++ = '-';
    if (exponent < -4 || exponent >= digits) {
        *target++ = mantissa[0];
        if (count > 1) {
            *target++ = '.';
            target = std::copy(mantissa + 1, mantissa + count, target);
        }
        *target++ = 'E';
        *target++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) *target++ = '0';
        target = std::to_chars(target, out + kNumberChars, magnitude).ptr;
    } else if (exponent >= 0) {
        for (int at = 0; at <= exponent; ++at) *target++ = at < count ? mantissa[at] : '0';
        if (count > exponent + 1) {
            *target++ = '.';
            target = std::copy(mantissa + exponent + 1, mantissa + count, target);
        }
    } else {
        *target++ = '0';
        *target++ = '.';
        for (int at = exponent + 1; at < 0; ++at) *target++ = '0';
        target = std::copy(mantissa, mantissa + count, target);
    }
    return static_cast<int>(target - out);
}

// RoundToDigits with the decimal exponent estimated from the binary one: floor(e2 log10 2)
// is the true exponent or one less, and RoundToDigits refuses the wrong one.
bool RoundWithEstimate(double value, int digits, int& exponent, quint64& rounded) {
    if (!std::isnormal(value)) return false;
    const int binary = std::ilogb(value);
    const int estimate = static_cast<int>(std::floor(binary * 0.30102999566398120));
    for (int candidate = estimate; candidate <= estimate + 1; ++candidate) {
        int tried = candidate;
        if (RoundToDigits(value, digits, tried, rounded)) {
            exponent = tried;
            return true;
        }
    }
    return false;
}

}  // namespace

int FloatingChars(double value, int digits, char* out) {
    if (value == 0) {
        out[0] = '0';
        return 1;
    }
    if (!std::isfinite(value)) return CopyAscii(QString::number(value, 'G', digits), out);
    if (std::fabs(value) < std::numeric_limits<double>::min()) {
        // Subnormal: too few bits for the shortest digits to be the rounded ones.
        return LibraryGeneralChars(value, digits, out);
    }
    char mantissa[20];
    int count = 0;
    int exponent = 0;
    quint64 rounded = 0;
    if (RoundWithEstimate(value, digits, exponent, rounded)) {
        // The value rounded exactly, half away from zero as Qt rounds.
        count = static_cast<int>(std::to_chars(mantissa, mantissa + 20, rounded).ptr - mantissa);
        while (count > 1 && mantissa[count - 1] == '0') --count;
        return LayOutGeneral(value < 0, mantissa, count, exponent, digits, out);
    }
    // The shortest round-trip digits. When there are no more of them than `digits`, they
    // are the value rounded to `digits` digits as well (a double's error is below half a
    // unit of its 15th digit), so they only need laying out as "%.*G" lays them out.
    char shortest[40];
    const char* end =
        std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific)
            .ptr;
    const char* exponentAt = std::find(static_cast<const char*>(shortest), end, 'e');
    for (const char* at = shortest; at < exponentAt; ++at)
        if (*at >= '0' && *at <= '9' && count < 20) mantissa[count++] = *at;
    if (count == digits + 1 && mantissa[count - 1] == '5')
        return CopyAscii(QString::number(value, 'G', digits), out);  // a possible tie
    std::from_chars(exponentAt + (exponentAt[1] == '+' ? 2 : 1), end, exponent);
    if (count > digits) {
        if (!RoundToDigits(value, digits, exponent, rounded))
            return LibraryGeneralChars(value, digits, out);
        count = static_cast<int>(std::to_chars(mantissa, mantissa + 20, rounded).ptr - mantissa);
        while (count > 1 && mantissa[count - 1] == '0') --count;
    }
    return LayOutGeneral(value < 0, mantissa, count, exponent, digits, out);
}

int CurrencyChars(double value, char* out) {
    // Beyond 1e15 Qt's fixed notation takes other routes; ties round differently.
    if (!std::isfinite(value) || std::fabs(value) >= 1e15 || CurrencyTie(value)) {
        QString text = CurrencyText(value);
        text.replace(Regional().decimalPoint, QStringLiteral("."));
        return CopyAscii(text, out);
    }
    char* end = nullptr;
    // Below 1e11 a double's error is under half a unit of the fourth decimal, so shortest
    // digits with at most four decimals are the value rounded to four decimals.
    if (std::fabs(value) < 1e11) {
        end = std::to_chars(out, out + kNumberChars, value, std::chars_format::fixed).ptr;
        const char* point =
            std::find(static_cast<const char*>(out), static_cast<const char*>(end), '.');
        if (end - point > 5) end = nullptr;
    }
    if (!end) {
        end = std::to_chars(out, out + kNumberChars, value, std::chars_format::fixed, 4).ptr;
        while (end > out && end[-1] == '0') --end;
        if (end > out && end[-1] == '.') --end;
    }
    if (end - out == 2 && out[0] == '-' && out[1] == '0') {
        out[0] = '0';
        return 1;
    }
    return static_cast<int>(end - out);
}

QString RegionalDecimalPoint() {
    return Regional().decimalPoint;
}

void SetRegionalLocale(const QLocale& locale) {
    Regional() = MakeFormat(locale);
}

QLocale RegionalLocale() {
    return Regional().locale;
}

}  // namespace morvane
