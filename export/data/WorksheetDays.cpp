#include "export/data/WorksheetDays.h"

namespace morvane {

namespace {

const QDate kDayZero(1899, 12, 30);
const QDate kFirstDay(1900, 1, 1);
const QDate kFirstTrueDay(1900, 3, 1);  // day 61, where the count is right again

}  // namespace

std::optional<qint64> WorksheetDayOf(QDate date) {
    if (!date.isValid() || date < kFirstDay) return std::nullopt;
    const qint64 days = kDayZero.daysTo(date);
    return date < kFirstTrueDay ? days - 1 : days;
}

QDate WorksheetDate(qint64 day) {
    if (day >= 61 || day <= 0) return kDayZero.addDays(day);
    return kDayZero.addDays(day == 60 ? 60 : day + 1);
}

}  // namespace morvane
