#include "export/common/FixedDecimals.h"

#include <QByteArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

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

}  // namespace

// std::to_chars rounds the exact binary value correctly, as Qt does, except that it breaks
// exact ties to even where Qt rounds them away from zero: those go to Qt.
int FixedDecimals(double value, int places, char* out) {
    if (places < 0 || places > 40) return QtFixed(value, places, out);
    if (value == 0) value = 0.0;  // Qt writes negative zero without its sign
    if (!(std::fabs(value) < 1e17) || MayTie(value, places)) return QtFixed(value, places, out);
    const auto written =
        std::to_chars(out, out + kFixedDecimalsChars, value, std::chars_format::fixed, places);
    if (written.ec != std::errc()) return QtFixed(value, places, out);
    return static_cast<int>(written.ptr - out);
}

}  // namespace morvane
