// ExportProgress: what the export run reports to while it walks the records. The progress
// window implements it; the command-line tool's console bar does too; a run without
// progress display passes none.
//
// The run sets the maximum once, then after each record the value and the counter text
// ("N out of M"), reads CancelRequested() between records, and calls ProcessEvents() to let
// the user interface serve its stop button and animation.
#pragma once

#include <QString>

namespace morvane {

class ExportProgress {
public:
    virtual ~ExportProgress() = default;

    //! The planned total of records; set once before the record loop.
    virtual void SetMaximum(int maximum) = 0;
    //! Records done and the counter text shown beside the bar.
    virtual void SetValue(int value, const QString& label) = 0;
    //! True once the user has confirmed a stop; read by the run between records.
    virtual bool CancelRequested() const = 0;
    //! Lets the user interface process its pending events. The run may call this less
    //! often than once per record, but calls it before reading CancelRequested().
    virtual void ProcessEvents() = 0;
};

}  // namespace morvane
