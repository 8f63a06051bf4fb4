#include "export/data/FieldValue.h"
#include "tests/data/EngineTestSupport.h"

#include <QDateTime>
#include <QTimeZone>
#include <QUuid>
#include <random>

namespace morvane {
namespace {

TEST(FieldValueTest, ConvertsTextToFieldType) {
    struct Case {
        QVariant input;
        short type;
        QVariant expected;
    };
    const Case cases[] = {
        {"42", dbLong, 42},
        {" -7 ", dbInteger, -7},
        {"255", dbByte, 255},
        {"2.5", dbLong, 2},  // rounds half to even
        {"3.5", dbLong, 4},
        {"true", dbBoolean, true},
        {"No", dbBoolean, false},
        {"-1", dbBoolean, true},
        {"0", dbBoolean, false},
        {"12.34567", dbCurrency, 12.3457},
        {"1.5", dbDouble, 1.5},
        {"1.5", dbSingle, 1.5f},
        {"9000000000", dbBigInt, QVariant::fromValue(9000000000LL)},
        // Big integers keep every digit, from text and from integers (not through a double).
        {"-123456789012345678", dbBigInt, QVariant::fromValue(-123456789012345678LL)},
        {QVariant::fromValue(9223372036854775807LL), dbBigInt,
         QVariant::fromValue(9223372036854775807LL)},
        {"2.5e3", dbBigInt, QVariant::fromValue(2500LL)},
        {"2024-02-29", dbDate, QDate(2024, 2, 29)},
        {"2024-02-29 13:45:10", dbDate, QDateTime(QDate(2024, 2, 29), QTime(13, 45, 10))},
        {"13:45:10", dbDate, QTime(13, 45, 10)},
        {"abc", dbText, "abc"},
        {QVariant(), dbLong, QVariant()},
        {"{12345678-1234-1234-1234-123456789abc}", dbGUID,
         QVariant::fromValue(QUuid("{12345678-1234-1234-1234-123456789abc}"))},
    };
    for (const Case& c : cases) {
        const QVariant result = ConvertFieldValue(c.input, c.type, 0, "f");
        EXPECT_EQ(result, c.expected) << c.input.toString().toStdString() << " type " << c.type;
        EXPECT_EQ(result.typeId(), c.expected.typeId()) << c.input.toString().toStdString();
    }
}

TEST(FieldValueTest, RefusesValuesTheTypeCannotHold) {
    struct Case {
        QVariant input;
        short type;
        int size;
        int error;
    };
    const Case cases[] = {
        {"abc", dbLong, 0, ErrConversion},        {"256", dbByte, 0, ErrConversion},
        {"-1", dbByte, 0, ErrConversion},         {"40000", dbInteger, 0, ErrConversion},
        {"3000000000", dbLong, 0, ErrConversion}, {"maybe", dbBoolean, 0, ErrConversion},
        {"not a date", dbDate, 0, ErrConversion}, {"1e39", dbSingle, 0, ErrConversion},
        {"not a guid", dbGUID, 0, ErrConversion}, {"abcdef", dbText, 5, ErrFieldTooSmall},
    };
    for (const Case& c : cases)
        EXPECT_EQ(test::ErrorNumberOf([&] { ConvertFieldValue(c.input, c.type, c.size, "f"); }),
                  c.error)
            << c.input.toString().toStdString() << " type " << c.type;
}

TEST(FieldValueTest, DateStorageTextRoundTrips) {
    const QVariant values[] = {QDate(1999, 12, 31), QTime(23, 59, 58),
                               QDateTime(QDate(2000, 1, 1), QTime(0, 0, 1)),
                               QDateTime(QDate(2000, 1, 1), QTime(12, 0, 0, 250))};
    for (const QVariant& value : values)
        EXPECT_EQ(ParseDateTimeText(DateTimeStorageText(value)), value)
            << DateTimeStorageText(value).toStdString();
    EXPECT_EQ(DateTimeStorageText(QDateTime(QDate(2024, 3, 1), QTime(13, 5))),
              "2024-03-01 13:05:00");
}

// The stored text is written digit by digit; Qt's own formatting is the reference, on random
// dates, times and date-times across the whole range, with and without milliseconds.
TEST(FieldValueTest, StorageTextMatchesQtFormatting) {
    std::mt19937 random(42);
    const qint64 first = QDate(1, 1, 1).toJulianDay();
    const qint64 last = QDate(9999, 12, 31).toJulianDay();
    for (int round = 0; round < 20000; ++round) {
        const QDate date = QDate::fromJulianDay(first + random() % (last - first + 1));
        int msecs = static_cast<int>(random() % 86400000);
        if (round % 2 == 0) msecs -= msecs % 1000;  // whole seconds have no ".zzz"
        const QTime time = QTime::fromMSecsSinceStartOfDay(msecs);
        const QString dateTimeFormat = time.msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                   : QStringLiteral("yyyy-MM-dd HH:mm:ss");
        ASSERT_EQ(DateTimeStorageText(date), date.toString(QStringLiteral("yyyy-MM-dd")));
        ASSERT_EQ(DateTimeStorageText(time),
                  time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz")
                                            : QStringLiteral("HH:mm:ss")));
        const QDateTime dateTime(date, time, QTimeZone::utc());
        ASSERT_EQ(DateTimeStorageText(dateTime), dateTime.toString(dateTimeFormat));
    }
    // Outside the digit routine's range the text is still Qt's.
    EXPECT_EQ(DateTimeStorageText(QDate(12345, 1, 2)),
              QDate(12345, 1, 2).toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_EQ(DateTimeStorageText(QDate()), QString());
}

// Whatever HeldAsFieldType accepts, ConvertFieldValue gives back unchanged (same type, same
// value): table exports skip the conversion on its word.
TEST(FieldValueTest, ValuesHeldAsTheFieldTypeConvertToThemselves) {
    const QVariant values[] = {0,
                               255,
                               256,
                               -1,
                               32767,
                               32768,
                               -32768,
                               -32769,
                               2147483647,
                               0.0,
                               -0.0,
                               12.3456,
                               12.34567,
                               1e15 + 0.25,
                               1e300,
                               0.1,
                               true,
                               false,
                               QString(),
                               "abc",
                               "abcdef",
                               QDate(1999, 12, 31),
                               QTime(23, 59, 58),
                               QDateTime(QDate(1850, 6, 1), QTime(12, 30)),
                               QDateTime(QDate(2024, 2, 29), QTime(1, 2), QTimeZone::utc()),
                               QVariant::fromValue(qlonglong(7)),
                               QVariant(1.5f)};
    const short types[] = {dbBoolean,   dbByte,  dbInteger, dbLong,  dbCurrency, dbSingle,
                           dbDouble,    dbDate,  dbText,    dbMemo,  dbBigInt,   dbTime,
                           dbTimeStamp, dbFloat, dbGUID,    dbBinary};
    int held = 0;
    for (const QVariant& value : values) {
        for (const short type : types) {
            if (!HeldAsFieldType(value, type, 5)) continue;
            ++held;
            QVariant converted;
            ASSERT_NO_THROW(converted = ConvertFieldValue(value, type, 5, QStringLiteral("F")))
                << value.toString().toStdString() << " type " << type;
            EXPECT_EQ(converted.typeId(), value.typeId()) << value.toString().toStdString();
            EXPECT_TRUE(converted == value) << value.toString().toStdString() << " type " << type;
        }
    }
    EXPECT_GE(held, 30);
    // Values the conversion changes are not taken as held.
    EXPECT_FALSE(HeldAsFieldType(12.34567, dbCurrency, 0));
    EXPECT_FALSE(HeldAsFieldType(256, dbByte, 0));
    EXPECT_FALSE(HeldAsFieldType(-32769, dbInteger, 0));
    EXPECT_FALSE(HeldAsFieldType(QStringLiteral("abcdef"), dbText, 5));
}

}  // namespace
}  // namespace morvane
