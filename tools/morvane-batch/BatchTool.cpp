#include "tools/morvane-batch/BatchTool.h"

#include "export/common/ConsolePrompter.h"
#include "export/common/IniFile.h"
#include "export/control/PlainCaller.h"
#include "export/wizard/ExportSession.h"
#include "tools/morvane-batch/ConsoleProgress.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace morvane {
namespace {

// The console prompter of the tool: a message starts on a line of its own instead of
// continuing the progress bar's line.
class BatchPrompter : public ConsolePrompter {
  public:
    BatchPrompter(Options options, ConsoleProgress* progress)
        : ConsolePrompter(std::move(options)), progress_(progress) {}

    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     int defaultButton) override {
        if (progress_) progress_->BreakLine();
        return ConsolePrompter::MsgBox(text, buttons, icon, title, defaultButton);
    }

  private:
    ConsoleProgress* progress_;
};

//! True when the settings file holds a section for the setting (its name in the settings
//! list is not needed: that list hides every name after one starting with "Default").
bool SettingExists(const QString& iniFile, const QString& setting) {
    if (iniFile.isEmpty()) return false;
    IniFile ini(iniFile);
    ini.Load();
    return ini.Keys(setting).has_value();
}

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
    // A setting the file does not hold would read as an empty selection and export records
    // with no fields; for a script that is a failure, so it is refused before the run.
    if (!request_.setting.isEmpty()) {
        if (!SettingExists(request_.iniFile, request_.setting)) {
            std::fprintf(stderr, "Error: no setting named '%s' in the settings file '%s'\n",
                         qUtf8Printable(request_.setting), qUtf8Printable(request_.iniFile));
            return 1;
        }
    }
    PlainCaller caller;
    caller.Properties = PropertiesFor(request_);

    // The console bar exists only with --progress: it is what turns Ctrl-C into the cancel
    // flag, so without it Ctrl-C ends the process as usual.
    std::unique_ptr<ConsoleProgress> progress;
    if (request_.display.progress) progress = std::make_unique<ConsoleProgress>();

    ConsolePrompter::Options options;
    options.questions = request_.answers;
    // A parameter's input box is titled with its name between apostrophes and a colon;
    // a box no --param answers gets an empty answer.
    for (auto param = request_.parameters.cbegin(); param != request_.parameters.cend(); ++param)
        options.inputAnswers.insert(QLatin1Char('\'') + param.key() + QStringLiteral("':"),
                                    param.value());
    BatchPrompter prompter(options, progress.get());

    // A run that went on past an error report (a continue prompt answered Yes, an
    // incompatible setting exported with the defaults) is no clean success for a script.
    SessionOutcome outcome;
    {
        ExportSession session(prompter);
        session.SetCaller(&caller);
        session.SetProgressDisplay(progress.get());
        caller.UpdateSourceConnect();
        session.DoBatchExport(request_.setting);
        outcome = session.Outcome();
    }  // the session releases its source here, as the control releases its wizard
    return outcome.Completed && outcome.ErrorReports == 0 ? 0 : 1;
}

}  // namespace morvane
