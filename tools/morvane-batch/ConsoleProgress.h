// ConsoleProgress: the progress display of the command-line batch tool. It draws one line
// on the error stream a few times a second (records done out of the planned total, the
// rate and the time left) and turns Ctrl-C into the cancel flag, so the run stops at the
// next record and closes its file cleanly, as the progress window's stop button does. A
// second Ctrl-C ends the process at once.
//
// Usage:
//   ConsoleProgress progress;              // installs the Ctrl-C handler for its lifetime
//   session.SetProgressDisplay(&progress);
#pragma once

#include "export/engine/ExportProgress.h"

#include <QElapsedTimer>
#include <csignal>
#include <cstdio>

namespace morvane {

class ConsoleProgress : public ExportProgress, public ProgressDisplay {
  public:
    explicit ConsoleProgress(std::FILE* out = stderr);
    ~ConsoleProgress() override;

    void RunWithProgress(const std::function<void(ExportProgress&)>& run) override;

    void SetMaximum(int maximum) override;
    void SetValue(int value, const QString& label) override;
    bool CancelRequested() const override;
    void ProcessEvents() override;

    //! Ends the bar's line when one is open, so that a message printed now starts on a
    //! line of its own; the next redraw starts a new bar line.
    void BreakLine();

  private:
    void Draw(bool final);

    std::FILE* out_;
    int maximum_ = 0;
    int value_ = 0;
    QElapsedTimer clock_;
    qint64 lastDraw_ = -1;
    struct sigaction previous_ {};
    bool drawn_ = false;
    bool lineOpen_ = false;  //!< the bar's line has no line end yet
};

}  // namespace morvane
