#include "export/common/FixedDecimals.h"

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace morvane {

namespace {

int QtFixed(double value, int places, char* out) {
    const QByteArray text = QByteArray::number(value, 'f', places);
    if (text.size() > kFixedDecimalsChars) return -1;
    std::memcpy(out, text.constData(), static_cast<size_t>(text.size()));
    return static_cast<int>(text.size());
}

// True when rounding value to `places` decimals may meet an exact tie. A tie is an odd
// multiple of half a unit of the last place, (2k + 1) / (2^(places + 1) * 5^places), which a
// double holds only as an odd multiple of 2^-(places + 1).
bool MayTie(double value, int places) {
    const double scaled = std::ldexp(value, places + 1);  // exact: a power of two
    return std::floor(scaled) == scaled && std::fmod(scaled, 2) != 0;
}

// Writes the decimal digits of value (at least minDigits, zero-padded) ending at end;
// answers where they begin.
char* PutDecimal(unsigned __int128 value, int minDigits, char* end) {
    constexpr quint64 kChunk = 1000000000000000000ULL;  // 10^18
    char* at = end;
    const auto put = [&at](quint64 chunk, int digits) {  // exactly `digits` digits
        for (int digit = 0; digit < digits; ++digit) {
            *--at = static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    };
    if (value > std::numeric_limits<quint64>::max()) {
        put(static_cast<quint64>(value % kChunk), 18);  // the low chunk, zeros kept
        value /= kChunk;
    }
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, static_cast<quint64>(value));
    const auto count = written.ptr - digits;
    at -= count;
    std::memcpy(at, digits, static_cast<size_t>(count));
    while (end - at < minDigits) *--at = '0';
    return at;
}

// The exact value times 10^places, rounded half away from zero as Qt rounds, in 128-bit
// integers: value = mantissa * 2^exponent exactly, so mantissa * 10^places * 2^exponent is
// exact before its one rounding. Answers -1 where the numbers would not fit.
int ExactFixed(double value, int places, char* out) {
    if (places > 17) return -1;
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0 || biased == 0x7FF) return -1;  // zero, subnormal, infinite or NaN
    const quint64 mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const int exponent = biased - 1075;              // |value| = mantissa * 2^exponent
    if (exponent > 4 || exponent < -120) return -1;  // |value| < 2^57 keeps the product small
    static constexpr quint64 kPowers[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL,
                                          100000000000000000ULL};
    unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kPowers[places];
    if (exponent >= 0) {
        scaled <<= exponent;
    } else {
        const int shift = -exponent;
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        const unsigned __int128 remainder =
            scaled & ((static_cast<unsigned __int128>(1) << shift) - 1);
        scaled >>= shift;
        if (remainder >= half) ++scaled;  // ties away from zero
    }
    char digits[48];
    char* const end = digits + sizeof digits;
    const char* begin = PutDecimal(scaled, places + 1, end);
    const int count = static_cast<int>(end - begin);
    char* at = out;
    if (value < 0) *at++ = '-';
    const int whole = count - places;
    std::memcpy(at, begin, static_cast<size_t>(whole));
    at += whole;
    if (places > 0) {
        *at++ = '.';
        std::memcpy(at, begin + whole, static_cast<size_t>(places));
        at += places;
    }
    return static_cast<int>(at - out);
}

}  // namespace

// Most values are rounded exactly in 128-bit integers. For the rest std::to_chars rounds
// the exact binary value correctly, as Qt does, except that it breaks exact ties to even
// where Qt rounds them away from zero: those go to Qt.
int FixedDecimals(double value, int places, char* out) {
    if (places < 0 || places > 40) return QtFixed(value, places, out);
    if (value == 0) value = 0.0;  // Qt writes negative zero without its sign
    if (!(std::fabs(value) < 1e17)) return QtFixed(value, places, out);
    if (value != 0) {
        const int size = ExactFixed(value, places, out);
        if (size >= 0) return size;
    }
    if (MayTie(value, places)) return QtFixed(value, places, out);
    const auto written =
        std::to_chars(out, out + kFixedDecimalsChars, value, std::chars_format::fixed, places);
    if (written.ec != std::errc()) return QtFixed(value, places, out);
    return static_cast<int>(written.ptr - out);
}

}  // namespace morvane
