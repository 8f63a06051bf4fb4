// FixedDecimals against the routine it replaces, QByteArray::number(value, 'f', places), on
// the values where a shortcut could go wrong: rounding ties and near-ties, carries through
// nines, values whose decimals lie below their precision, signs, zero, and random doubles of
// every magnitude.
#include "export/common/FixedDecimals.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace morvane;

namespace {

std::string Ours(double value, int places) {
    char text[kFixedDecimalsChars];
    const int size = FixedDecimals(value, places, text);
    return size < 0 ? std::string("<too long>") : std::string(text, static_cast<size_t>(size));
}

std::string Qts(double value, int places) {
    const QByteArray text = QByteArray::number(value, 'f', places);
    return text.size() > kFixedDecimalsChars ? std::string("<too long>") : text.toStdString();
}

void ExpectSame(double value, int places) {
    ASSERT_EQ(Ours(value, places), Qts(value, places))
        << "value " << value << " (bits " << std::hexfloat << value << ") places " << places;
}

}  // namespace

TEST(FixedDecimalsTest, ChosenValuesMatchQt) {
    const double values[] = {
        0.0,   -0.0,   0.5,     1.5,        2.5,     -2.5,  0.125,      -0.125,     2.675,
        1.005, 0.045,  9.995,   9.9999,     -9.9999, 99.5,  999999.995, 0.1,        0.3,
        1e-5,  -1e-7,  123.456, 1e15 + 0.3, 1e16,    4.35,  0.0625,     1234.56789, -0.0001,
        1e-20, 5e-324, 1e300,   -1e17,      7.0,     0.999, 1.0 / 3,    2.0 / 3,    1e12 + 0.1};
    for (const double value : values)
        for (int places = 0; places <= 20; ++places) ExpectSame(value, places);
}

TEST(FixedDecimalsTest, RandomValuesMatchQt) {
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> exponent(-12, 18);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> places(0, 18);
    std::uniform_int_distribution<int> cents(-10000000, 10000000);
    for (int round = 0; round < 200000; ++round) {
        ExpectSame(mantissa(random) * std::pow(10.0, exponent(random)), places(random));
        // Short decimals, as money and measurements are: the ties and near-ties.
        const double shortDecimal = cents(random) / std::pow(10.0, places(random) % 6);
        ExpectSame(shortDecimal, places(random) % 6);
    }
}

TEST(FixedDecimalsTest, RandomBitPatternsMatchQt) {
    std::mt19937_64 random(7);
    for (int round = 0; round < 100000; ++round) {
        const quint64 bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        ExpectSame(value, static_cast<int>(round % 12));
    }
}
