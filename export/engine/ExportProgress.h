// ExportProgress: what the export run reports to while it walks the records. The progress
// window implements it; the command-line tool's console bar does too; a run without
// progress display passes none.
//
// The run sets the maximum once, then the value and the counter text ("N out of M") as it
// goes, reads CancelRequested() before every record, and calls ProcessEvents() to let
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
    //! Lets the user interface process its pending events. The run calls this, and
    //! SetValue, after the first record that ends 50 ms or more after the last call, and
    //! after the last planned record; SetValue also whenever the run ends, stopped or not.
    virtual void ProcessEvents() = 0;
};

}  // namespace morvane

#include <functional>

namespace morvane {

//! Runs an export under a progress display: the progress window shows itself modally and
//! calls run once it is up; the console bar of the command-line tool draws on stderr.
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    //! Calls run(progress) once and returns after it; the display lives for that call.
    virtual void RunWithProgress(const std::function<void(ExportProgress&)>& run) = 0;
};

}  // namespace morvane
