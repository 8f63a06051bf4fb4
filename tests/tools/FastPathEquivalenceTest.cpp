// The export's fast paths give the very values of the general routines they stand in for:
// stored dates read by the native driver without the general date parser, floating-point
// text without Qt's general number formatting, and dates and times formatted by a
// compiled numeric format instead of QLocale::toString.
#include "export/data/FieldTypes.h"
#include "export/data/FieldValue.h"
#include "export/data/sqlite/SqliteTypes.h"
#include "export/engine/ValueText.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDateTime>
#include <cstring>
#include <random>

namespace morvane {
namespace {

TEST(FastPathEquivalenceTest, StoredDatesReadAsTheGeneralParserReadsThem) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_stmt* select = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT ?", -1, &select, nullptr), SQLITE_OK);
    const char* const texts[] = {
        "2024-02-09",
        "1999-12-31 15:04:05",
        "1999-12-31 15:04:05.123",
        "15:04:05",
        "00:00:00.007",
        "2024-02-29",
        "2023-02-29",
        "2024-13-01",
        "24:00:00",
        "2024-01-01 24:00:00",
        " 2024-02-09",
        "2024-2-9",
        "12/31/1999",
        "0000-01-01",
        "2024-02-09T10:00:00",
        "abcd-ef-gh",
        "1999-12-31 15:04:05.1",
        "10:61:00",
        "2024-03-31 02:30:00",
        "9999-12-31 23:59:59.999",
        "1899-12-30 10:00:00",
        "",
        "2024-02-09 10:00:0x",
        "2024-02-09x10:00:00",
    };
    for (const char* text : texts) {
        sqlite3_reset(select);
        sqlite3_bind_text(select, 1, text, -1, SQLITE_STATIC);
        ASSERT_EQ(sqlite3_step(select), SQLITE_ROW);
        const QVariant read = ReadColumnValue(select, 0, dbDate);
        QVariant expected = ParseDateTimeText(QString::fromUtf8(text));
        if (expected.isNull()) expected = QString::fromUtf8(text);
        EXPECT_EQ(read.typeId(), expected.typeId()) << text;
        EXPECT_EQ(read, expected) << text;
        if (read.typeId() == QMetaType::QDateTime) {
            EXPECT_EQ(read.toDateTime().timeSpec(), expected.toDateTime().timeSpec()) << text;
        }
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

class RegionalTest : public ::testing::Test {
  protected:
    void TearDown() override { SetRegionalLocale(QLocale::system()); }
};

TEST_F(RegionalTest, FloatingTextMatchesQtGeneralFormat) {
    SetRegionalLocale(QLocale::c());
    std::mt19937_64 random(7);
    std::vector<double> values = {0.5,
                                  2.5,
                                  1e15,
                                  1e14,
                                  999999999999999.0,
                                  1e-4,
                                  1e-5,
                                  1e20,
                                  -1e-300,
                                  5e-324,
                                  1.7976931348623157e308,
                                  1.0 / 3,
                                  3952478.5,
                                  1234567890123456.5,
                                  0.1 + 0.2};
    for (int index = 0; index < 20000; ++index) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) values.push_back(value);
        values.push_back(static_cast<double>(random() % 100000000) /
                         std::pow(10.0, static_cast<double>(random() % 12)));
        values.push_back(static_cast<double>(random() % 20000000) / 2.0);  // ties at 7 digits
    }
    int mismatches = 0;
    for (const double value : values) {
        if (value == 0) continue;
        const QString asDouble = ValueText(value, dbDouble);
        const QString asSingle = ValueText(static_cast<float>(value), dbSingle);
        if (asDouble != QString::number(value, 'G', 15) ||
            asSingle != QString::number(static_cast<float>(value), 'G', 7)) {
            if (++mismatches < 5)
                ADD_FAILURE() << value << ": " << asDouble.toStdString() << " / "
                              << asSingle.toStdString();
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(ValueText(std::numeric_limits<double>::infinity(), dbDouble),
              QString::number(std::numeric_limits<double>::infinity(), 'G', 15));
}

TEST_F(RegionalTest, DatesAndTimesMatchQLocaleInEveryLocale) {
    const QLocale locales[] = {
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::English, QLocale::UnitedKingdom),
        QLocale(QLocale::Japanese, QLocale::Japan),
        QLocale(QLocale::Korean, QLocale::SouthKorea),
        QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::Persian, QLocale::Iran),
        QLocale(QLocale::Hindi, QLocale::India),
        QLocale(QLocale::Swedish, QLocale::Sweden),
        QLocale(QLocale::Chinese, QLocale::China),
        QLocale(QLocale::Dutch, QLocale::Netherlands),
        QLocale(QLocale::Bulgarian, QLocale::Bulgaria),
        QLocale(QLocale::Hungarian, QLocale::Hungary),
    };
    std::mt19937 random(11);
    for (const QLocale& locale : locales) {
        SetRegionalLocale(locale);
        const QString dateFormat = DateFormatFor(locale);
        const QString timeFormat = TimeFormatFor(locale);
        for (int index = 0; index < 300; ++index) {
            const QDate date(1 + static_cast<int>(random() % 9999),
                             1 + static_cast<int>(random() % 12),
                             1 + static_cast<int>(random() % 28));
            const QTime time(static_cast<int>(random() % 24), static_cast<int>(random() % 60),
                             static_cast<int>(random() % 60));
            const std::string label = locale.name().toStdString() + " " +
                                      date.toString(Qt::ISODate).toStdString() + " " +
                                      time.toString(Qt::ISODate).toStdString();
            EXPECT_EQ(ValueText(date, dbDate), locale.toString(date, dateFormat)) << label;
            EXPECT_EQ(ValueText(time, dbDate), locale.toString(time, timeFormat)) << label;
            const QString both = ValueText(QDateTime(date, time), dbDate);
            const QString expected =
                time == QTime(0, 0)
                    ? locale.toString(date, dateFormat)
                    : locale.toString(date, dateFormat) + u' ' + locale.toString(time, timeFormat);
            EXPECT_EQ(both, expected) << label;
        }
    }
}

}  // namespace
}  // namespace morvane
