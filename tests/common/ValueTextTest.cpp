#include "export/engine/ValueText.h"

#include "export/data/FieldTypes.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QUuid>

namespace morvane {
namespace {

struct ValueCase {
    QVariant value;
    short type;
    const char* us;
    const char* german;
};

class ValueTextTest : public ::testing::Test {
  protected:
    void TearDown() override { SetRegionalLocale(QLocale::system()); }
};

TEST_F(ValueTextTest, UsEnglishAndGerman) {
    const QDateTime afternoon(QDate(1999, 12, 31), QTime(15, 4, 5));
    const QUuid guid("{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}");
    const ValueCase cases[] = {
        {true, dbBoolean, "True", "True"},
        {false, dbBoolean, "False", "False"},
        {-7, dbLong, "-7", "-7"},
        {255, dbByte, "255", "255"},
        {1234567, dbLong, "1234567", "1234567"},
        {1234.5, dbDouble, "1234.5", "1234,5"},
        {0.1 + 0.2, dbDouble, "0.3", "0,3"},
        {1e20, dbDouble, "1E+20", "1E+20"},
        {1e-5, dbDouble, "1E-05", "1E-05"},
        {1.5e-7, dbFloat, "1.5E-07", "1,5E-07"},
        {123456789012345678.0, dbDouble, "1.23456789012346E+17", "1,23456789012346E+17"},
        {-0.0, dbDouble, "0", "0"},
        {QVariant::fromValue(1234567.8f), dbSingle, "1234568", "1234568"},
        {QVariant::fromValue(0.1f), dbSingle, "0.1", "0,1"},
        {12.5, dbCurrency, "12.5", "12,5"},
        {3.14159, dbCurrency, "3.1416", "3,1416"},
        {-2.0, dbCurrency, "-2", "-2"},
        {QString("12.50"), dbDecimal, "12.50", "12,50"},
        {afternoon, dbDate, "12/31/1999 3:04:05 PM", "31.12.1999 15:04:05"},
        {QDateTime(QDate(2024, 2, 9), QTime(0, 0)), dbDate, "2/9/2024", "09.02.2024"},
        {QDate(2024, 2, 9), dbDate, "2/9/2024", "09.02.2024"},
        {QTime(15, 4, 5), dbTime, "3:04:05 PM", "15:04:05"},
        {QDateTime(QDate(1899, 12, 30), QTime(9, 0, 0)), dbDate, "9:00:00 AM", "09:00:00"},
        {QDateTime(QDate(1899, 12, 30), QTime(0, 0)), dbDate, "12:00:00 AM", "00:00:00"},
        {afternoon, dbTimeStamp, "12/31/1999 3:04:05 PM", "31.12.1999 15:04:05"},
        {QVariant::fromValue(guid), dbGUID, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}",
         "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}"},
        {QString("a.b, c"), dbText, "a.b, c", "a.b, c"},
        {QString("memo\r\n"), dbMemo, "memo\r\n", "memo\r\n"},
        {QByteArray("\x01\x02"), dbLongBinary, "", ""},
        {QByteArray("x"), dbBinary, "", ""},
        {QVariant(), dbText, "", ""},
        {QVariant(), dbLong, "", ""},
        {QVariant::fromValue(qlonglong(9007199254740993LL)), dbBigInt, "9007199254740993",
         "9007199254740993"},
    };
    struct Region {
        QLocale locale;
        bool german;
    };
    const Region regions[] = {{QLocale(QLocale::English, QLocale::UnitedStates), false},
                              {QLocale::c(), false},
                              {QLocale(QLocale::German, QLocale::Germany), true}};
    for (const auto& region : regions) {
        SetRegionalLocale(region.locale);
        for (const auto& c : cases)
            EXPECT_EQ(ValueText(c.value, c.type), region.german ? c.german : c.us)
                << region.locale.name().toStdString() << " " << c.us;
    }
}

}  // namespace
}  // namespace morvane
