#include "export/engine/ui/ProgressWindowDisplay.h"

#include "export/engine/ui/frmProgress.h"

namespace morvane {

void ProgressWindowDisplay::RunWithProgress(const std::function<void(ExportProgress&)>& run) {
    frmProgress window(prompter_, parent_ ? parent_->window() : nullptr);
    window.RunWithProgress(run);
}

}  // namespace morvane
