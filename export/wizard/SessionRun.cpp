// The export session's run: under the progress display or directly.
#include "export/wizard/ExportSession.h"

#include "export/control/ExportCaller.h"
#include "export/data/Recordset.h"
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
    RunContext context{*caller_,  prompter_,  SourceRs.get(), SourceName, Setting,
                       SelFields, ExportFile, ErrorStep,      progress};
    context.createExportTable = [this] { return CreateExportTable(ExportFile); };
    context.destDb = &DestDb;
    context.destTableName = &DestTableName;
    context.sourceDb = SourceDb.get();
    lastRunCompleted_ = ExportRun(context).Run();
    // The run has closed the destination; the session keeps no handle to it.
    DestDb.reset();
}

}  // namespace morvane
