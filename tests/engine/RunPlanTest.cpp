#include "export/engine/RunPlan.h"
#include "export/settings/ExportSetting.h"

#include <gtest/gtest.h>
#include <limits>

namespace morvane {
namespace {

constexpr qint64 kIntMax = std::numeric_limits<int>::max();

TEST(RunPlanTest, PlannedTotalKeepsSixtyFourBits) {
    struct Case {
        qint64 records;
        int startingLine;
        bool exportAll;
        int maxLines;
        qint64 expected;
    };
    const Case cases[] = {
        {10, 1, true, 0, 10},
        {10, 4, true, 0, 7},
        {10, 11, true, 0, 0},
        {10, 20, true, 0, 0},
        {10, 1, false, 3, 3},
        {10, 9, false, 3, 2},
        {0, 1, true, 0, 0},
        // Beyond 32 bits: once cut to an int, these became negative or wrapped round.
        {3'000'000'000LL, 1, true, 0, 3'000'000'000LL},
        {kIntMax + 1, 1, true, 0, kIntMax + 1},
        {5'000'000'000LL, 1'000'000'000, true, 0, 4'000'000'001LL},
        {5'000'000'000LL, 1, false, 7, 7},
    };
    for (const Case& c : cases) {
        ExportSetting setting;
        setting.StartingLine = c.startingLine;
        setting.ExportAll = c.exportAll;
        setting.MaxLines = c.maxLines;
        EXPECT_EQ(PlannedTotal(c.records, setting), c.expected) << c.records;
    }
}

TEST(RunPlanTest, ProgressUnitsStayInRangeAndInProportion) {
    struct Case {
        qint64 count, total;
        int expected;
    };
    const Case cases[] = {
        {0, 10, 0},
        {7, 10, 7},
        {10, 10, 10},
        {kIntMax, kIntMax, static_cast<int>(kIntMax)},
        {0, 4 * kIntMax, 0},
        {4 * kIntMax, 4 * kIntMax, static_cast<int>(kIntMax)},
        {2 * kIntMax, 4 * kIntMax, static_cast<int>(kIntMax / 2)},
        {-5, 10, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ProgressUnits(c.count, c.total), c.expected, 1) << c.count << "/" << c.total;
}

}  // namespace
}  // namespace morvane
