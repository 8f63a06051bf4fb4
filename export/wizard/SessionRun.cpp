// The export session's run: under the progress display or directly.
#include "export/wizard/ExportSession.h"

#include "export/data/Recordset.h"
#include "export/engine/ExportCaller.h"
#include "export/engine/ExportProgress.h"
#include "export/engine/ExportRun.h"

namespace morvane {

void ExportSession::StartExport() {
    lastRunCompleted_ = false;
    if (caller_->ShowProgress() && progressDisplay_) {
        progressDisplay_->RunWithProgress(
            [this](ExportProgress& progress) { DoExport(&progress); });
    } else {
        DoExport(nullptr);
    }
}

void ExportSession::DoExport(ExportProgress* progress) {
    RunContext context{*caller_,          prompter_,
                       source_.Rs(),      source_.Name(),
                       setting_,          lists_.Selected().Names(),
                       destination_.File, errorStep_,
                       progress,          [this] { return CreateExportTable(destination_.File); },
                       &destination_.Db,  &destination_.TableName,
                       source_.Db()};
    lastRunCompleted_ = ExportRun(context).Run();
    // The run has closed the destination; the session keeps no handle to it.
    destination_.Db.reset();
}

}  // namespace morvane
