// RunPlan: how many records a run exports, and how that count is shown on a progress bar
// that counts in 32 bits. Record counts are 64-bit everywhere in the run; a source of more
// than 2^31 - 1 records is shown scaled, so the bar still fills from 0 to its maximum.
//
// Usage:
//   qint64 total = PlannedTotal(source.RecordCount(), setting);
//   progress.SetMaximum(ProgressUnits(total, total));
//   progress.SetValue(ProgressUnits(count, total), label);
#pragma once

#include <QtGlobal>

namespace morvane {

struct ExportSetting;

//! The records the run exports from a source of recordCount records: from StartingLine on,
//! at most MaxLines unless ExportAll, never fewer than 0 or more than the source holds.
qint64 PlannedTotal(qint64 recordCount, const ExportSetting& setting);

//! count on a progress scale whose maximum is ProgressUnits(total, total): count itself
//! while both fit an int, else scaled down in proportion. Never negative or above INT_MAX.
int ProgressUnits(qint64 count, qint64 total);

}  // namespace morvane
