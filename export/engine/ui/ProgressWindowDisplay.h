// ProgressWindowDisplay: runs each export under a new progress window (frmProgress), the
// display the Morvane control gives its sessions. The window lives for one run.
#pragma once

#include "export/engine/ExportProgress.h"

class QWidget;

namespace morvane {

class Prompter;

class ProgressWindowDisplay : public ProgressDisplay {
  public:
    ProgressWindowDisplay(Prompter& prompter, QWidget* parent) : prompter_(prompter), parent_(parent) {}

    void RunWithProgress(const std::function<void(ExportProgress&)>& run) override;

  private:
    Prompter& prompter_;
    QWidget* parent_;
};

}  // namespace morvane
