// FixedDecimals: a double as text with a fixed number of decimals, byte for byte what
// QByteArray::number(value, 'f', places) gives, written into a caller's buffer.
//
// Table drivers write millions of numbers as decimal text (dBASE N and F fields), and Qt's
// routine allocates a QByteArray per call. This one rounds the exact binary value in 128-bit
// integer arithmetic (half away from zero, as Qt does) where the numbers fit, else writes
// with std::to_chars, which rounds the same way except on exact ties, and hands those (and
// magnitudes of 1e17 and more) to Qt's routine.
//
// Usage:
//   char text[kFixedDecimalsChars];
//   const int size = FixedDecimals(2.675, 2, text);   // "2.67" or "2.68" exactly as Qt
#pragma once

namespace morvane {

//! Room FixedDecimals needs in its output buffer.
constexpr int kFixedDecimalsChars = 64;

//! Writes value with `places` decimals (0..40) to out; answers the length, or -1 when the
//! text would take more than kFixedDecimalsChars bytes.
int FixedDecimals(double value, int places, char* out);

//! |value| times 10^scale, rounded to a whole number half away from zero (as Qt rounds),
//! computed exactly in 128-bit integers from value = mantissa * 2^power: the one rounding
//! is the only one. False for zero, subnormals, infinities and NaN, and where the numbers
//! would not fit (scale beyond -19..22, or a product past 128 bits). The number routines of
//! the table drivers and of the text export share it.
bool ScaledMagnitude(double value, int scale, unsigned __int128& out);

}  // namespace morvane
