#include "export/engine/RunPlan.h"

#include "export/settings/ExportSetting.h"

#include <algorithm>
#include <limits>

namespace morvane {

qint64 PlannedTotal(qint64 recordCount, const ExportSetting& setting) {
    const qint64 startingLine = setting.StartingLine;
    qint64 total = recordCount - (startingLine - 1);
    if (!setting.ExportAll && recordCount - startingLine >= setting.MaxLines)
        total = setting.MaxLines;
    if (total < 0) total = 0;
    if (total > recordCount) total = recordCount;
    return total;
}

int ProgressUnits(qint64 count, qint64 total) {
    constexpr qint64 kMost = std::numeric_limits<int>::max();
    if (count < 0) count = 0;
    if (total <= kMost && count <= kMost) return static_cast<int>(count);
    // Scaled in proportion (long double: count * kMost does not fit 64 bits).
    const qint64 scale = std::max(total, count);
    return static_cast<int>(static_cast<long double>(count) * kMost / scale);
}

}  // namespace morvane
