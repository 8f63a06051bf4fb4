// BenchRuns: the timed runs of the export benchmark, each over the whole benchmark table:
//   OurExport      the export session, as a batch run does it, with the default setting or
//                  a variant of it (output kind, options that change bytes, a host handler
//                  on BeforeFieldExport), with no progress display or under a given one;
//   SqliteCsv      the sqlite3 command-line shell's "-csv" output of the same table;
//   BareReadLoop   a loop over the table through the sqlite3 C API reading every column
//                  as text and doing nothing else (the floor any export stands on).
// Each run records wall-clock and processor time: on a shared machine the processor time is
// the steadier figure. Measured() runs one of them in a child process of its own, so that
// its processor time and peak memory are its alone. CountingProgress is a headless progress display
// that only counts what the run asks of it.
//
// Usage:
//   RunTiming ours = BenchRuns::OurExport(db, out, nullptr);
//   CountingProgress counter;
//   RunTiming shown = BenchRuns::OurExport(db, out, &counter);
#pragma once

#include "export/engine/ExportProgress.h"

#include <QString>
#include <functional>

namespace morvane::bench {

//! What one timed run did.
struct RunTiming {
    double seconds = 0;     //!< wall-clock time
    double cpuSeconds = 0;  //!< processor time (user + system) of the process doing the work
    qint64 rows = 0;        //!< records exported or read
    qint64 bytes = 0;       //!< size of the file written (0 for the read loop)
    qint64 peakKb = 0;      //!< peak resident memory of the child that ran it (Measured)
    bool ok = false;        //!< the run reached its end
    QString problem;        //!< why not, when !ok
    double RowsPerSecond() const { return seconds > 0 ? rows / seconds : 0; }
    double RowsPerCpuSecond() const { return cpuSeconds > 0 ? rows / cpuSeconds : 0; }
};

//! A progress display without window: counts the run's calls; never cancels.
class CountingProgress : public ExportProgress, public ProgressDisplay {
  public:
    void RunWithProgress(const std::function<void(ExportProgress&)>& run) override { run(*this); }
    void SetMaximum(int maximum) override { maximum_ = maximum; }
    void SetValue(int value, const QString& label) override;
    bool CancelRequested() const override { return false; }
    void ProcessEvents() override { ++processEventsCalls_; }

    int maximum() const { return maximum_; }
    qint64 setValueCalls() const { return setValueCalls_; }
    qint64 processEventsCalls() const { return processEventsCalls_; }
    qint64 lastValue() const { return lastValue_; }

  private:
    int maximum_ = 0;
    qint64 setValueCalls_ = 0;
    qint64 processEventsCalls_ = 0;
    qint64 lastValue_ = 0;
};

//! What an export run changes from the default setting.
struct ExportVariant {
    int kind = 0;  //!< 0 delimited, 1 fixed, 2 HTML tags, 3 HTML page
    bool header = false;
    bool upper = false;
    bool oem = false;
    int separator = 0;          //!< 0 comma, 1 semicolon, 2 space, 3 tab
    int delimiter = 0;          //!< 0 double quote, 1 single quote, 2 none
    int widthChange = 0;        //!< added to every default fixed width
    bool fieldHandler = false;  //!< a host handler on BeforeFieldExport (it reads the value)
};

class BenchRuns {
  public:
    //! Exports the table of `database` to `exportFile` with the default setting changed as
    //! variant says. With a display, ShowProgress is True and the run goes through
    //! display->RunWithProgress.
    static RunTiming OurExport(const QString& database, const QString& exportFile,
                               ProgressDisplay* display, const ExportVariant& variant = {});
    //! `sqlite3 -csv DATABASE "SELECT * FROM t" > exportFile`.
    static RunTiming SqliteCsv(const QString& database, const QString& exportFile);
    //! Steps through every row reading every column as text.
    static RunTiming BareReadLoop(const QString& database);
    //! Runs `run` in a forked child; its processor time and peak memory are the child's.
    static RunTiming Measured(const std::function<RunTiming()>& run);
};

}  // namespace morvane::bench
