// The wizard's "Save Setting" prompt: names the current setting and stores it.
#include "export/common/Prompter.h"
#include "export/engine/ExportCaller.h"
#include "export/wizard/ExportSession.h"
#include "export/wizard/SettingsHost.h"

namespace morvane {

bool PromptSaveSetting(SettingsHost& host) {
    ExportSession& session = host.Session();
    Prompter& prompter = session.GetPrompter();
    const QString name = prompter
                             .InputBox(QStringLiteral("Type in the name of the setting:"),
                                       QStringLiteral("Save Setting"), session.SettingName())
                             .value_or(QString());
    if (name.isEmpty()) return false;
    // A name the settings file cannot hold would corrupt another setting or the file's own
    // sections, so it is refused here and nothing is written.
    const QString problem = ExportSession::SettingNameProblem(name);
    if (!problem.isEmpty()) {
        prompter.MsgBox(problem, MsgButtons::OK, MsgIcon::Exclamation,
                        QStringLiteral("Save Setting"));
        return false;
    }
    session.SetSettingName(name);
    if (!host.Title().isEmpty())
        host.SetTitle(session.Caller()->ExportCaption() + QStringLiteral(" - ") + name);
    session.SaveSetting();
    return true;
}

}  // namespace morvane
