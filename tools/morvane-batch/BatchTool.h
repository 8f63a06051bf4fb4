// BatchTool: runs one batch export for morvane-batch the way the control's BatchExport
// does: a widget-free caller carrying the control's properties, a new export session with
// a console prompter, SourceConnect recomputed, DoBatchExport(setting), session released.
// Every message box of the run is printed to stderr as "TITLE: TEXT"; questions are
// answered as the request says.
//
// Usage:
//   BatchRequest request = ...;                // from ParseBatchArguments
//   int status = BatchTool(request).Run();     // 0 the run reached its end, 1 it did not
#pragma once

#include "export/control/ControlProperties.h"
#include "tools/morvane-batch/BatchOptions.h"

namespace morvane {

class BatchTool {
  public:
    explicit BatchTool(BatchRequest request);

    //! Runs the export; answers the exit status (0 completed, 1 not completed).
    int Run();

    //! The control's properties the request amounts to.
    static ControlProperties PropertiesFor(const BatchRequest& request);

  private:
    BatchRequest request_;
};

}  // namespace morvane
