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

// The exact value with `places` decimals (ScaledMagnitude), laid out as Qt lays it out.
// Answers -1 where the numbers would not fit.
int ExactFixed(double value, int places, char* out) {
    unsigned __int128 scaled = 0;
    if (places > 17 || !ScaledMagnitude(value, places, scaled)) return -1;
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

bool ScaledMagnitude(double value, int scale, unsigned __int128& out) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0 || biased == 0x7FF) return false;  // zero, subnormal, infinite or NaN
    const quint64 mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);  // below 2^53
    const int power = biased - 1075;  // |value| = mantissa * 2^power
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
                                          100000000000000000ULL,
                                          1000000000000000000ULL,
                                          10000000000000000000ULL};
    const unsigned __int128 one = 1;
    if (scale >= 0) {
        if (scale > 22) return false;  // mantissa * 10^22 stays below 2^127
        unsigned __int128 scaled =
            static_cast<unsigned __int128>(mantissa) * kPowers[std::min(scale, 19)];
        for (int step = 19; step < scale; ++step) scaled *= 10;
        if (power >= 0) {
            if (power > 127 || (scaled >> (127 - power)) != 0) return false;
            out = scaled << power;
            return true;
        }
        const int shift = -power;
        if (shift > 127) return false;
        const unsigned __int128 remainder = scaled & ((one << shift) - 1);
        out = scaled >> shift;
        if (remainder >= (one << (shift - 1))) ++out;  // ties away from zero
        return true;
    }
    if (-scale > 19 || power < 0 || power > 74) return false;  // mantissa << 74 fits
    const quint64 divisor = kPowers[-scale];
    const unsigned __int128 whole = static_cast<unsigned __int128>(mantissa) << power;
    out = whole / divisor;
    if ((whole % divisor) * 2 >= divisor) ++out;  // ties away from zero
    return true;
}

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
