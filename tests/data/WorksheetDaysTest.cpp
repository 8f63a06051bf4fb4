// Day numbers of the 1900 date system: the fixed points spreadsheets agree on, the
// fictitious 29 February 1900, dates before 1900, and a round trip over two centuries.
#include "export/data/WorksheetDays.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(WorksheetDaysTest, DayNumbersOfKnownDates) {
    struct Case {
        QDate date;
        qint64 day;
    };
    const Case cases[] = {{QDate(1900, 1, 1), 1},        {QDate(1900, 1, 31), 31},
                          {QDate(1900, 2, 28), 59},      {QDate(1900, 3, 1), 61},
                          {QDate(1999, 12, 31), 36525},  {QDate(2024, 2, 29), 45351},
                          {QDate(9999, 12, 31), 2958465}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(WorksheetDayOf(c.date), c.day);
        EXPECT_EQ(WorksheetDate(c.day), c.date);
    }
    EXPECT_EQ(WorksheetDate(60), QDate(1900, 2, 28)) << "the calendar's 29 February 1900";
    EXPECT_EQ(WorksheetDate(0), QDate(1899, 12, 30)) << "the day of time-only values";
    EXPECT_FALSE(WorksheetDayOf(QDate(1899, 12, 31)));
    EXPECT_FALSE(WorksheetDayOf(QDate()));
}

TEST(WorksheetDaysTest, EveryDateRoundTrips) {
    for (QDate date(1900, 1, 1); date.year() < 2100; date = date.addDays(1)) {
        const std::optional<qint64> day = WorksheetDayOf(date);
        ASSERT_TRUE(day);
        ASSERT_EQ(WorksheetDate(*day), date) << date.toString(Qt::ISODate).toStdString();
    }
}

}  // namespace
}  // namespace morvane
