#include "tools/morvane-batch/BatchTool.h"

#include "export/common/ConsolePrompter.h"
#include "export/control/PlainCaller.h"
#include "export/wizard/ExportSession.h"
#include "tools/morvane-batch/ConsoleProgress.h"

#include <memory>
#include <utility>

namespace morvane {
namespace {

// The console prompter of a run with a progress line: a message starts on a line of its
// own instead of continuing the bar's line.
class BarAwarePrompter : public ConsolePrompter {
  public:
    BarAwarePrompter(Options options, ConsoleProgress* progress)
        : ConsolePrompter(std::move(options)), progress_(progress) {}

    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     int defaultButton) override {
        if (progress_) progress_->BreakLine();
        return ConsolePrompter::MsgBox(text, buttons, icon, title, defaultButton);
    }

  private:
    ConsoleProgress* progress_;
};

}  // namespace

BatchTool::BatchTool(BatchRequest request) : request_(std::move(request)) {}

ControlProperties BatchTool::PropertiesFor(const BatchRequest& request) {
    ControlProperties properties;
    properties.DataBaseName = request.database;
    properties.ConnectString = request.connectType;
    properties.Password = request.password;
    properties.TableName = request.tableName;
    properties.QueryName = request.queryName;
    properties.ExportFile = request.exportFile;
    properties.IniFile = request.iniFile;
    properties.OverWrite = request.overwrite;
    properties.ShowSummary = request.display.summary;
    properties.ShowProgress = request.display.progress;
    return properties;
}

int BatchTool::Run() {
    PlainCaller caller;
    caller.Properties = PropertiesFor(request_);

    // The console bar exists only with --progress: it is what turns Ctrl-C into the cancel
    // flag, so without it Ctrl-C ends the process as usual.
    std::unique_ptr<ConsoleProgress> progress;
    if (request_.display.progress) progress = std::make_unique<ConsoleProgress>();

    ConsolePrompter::Options options;
    options.questions = request_.answers;
    BarAwarePrompter prompter(options, progress.get());

    bool completed = false;
    {
        ExportSession session(prompter);
        session.SetCaller(&caller);
        session.SetProgressDisplay(progress.get());
        caller.UpdateSourceConnect();
        session.DoBatchExport(request_.setting);
        completed = session.LastRunCompleted();
    }  // the session releases its source here, as the control releases its wizard
    return completed ? 0 : 1;
}

}  // namespace morvane
