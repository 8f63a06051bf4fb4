// The export session's batch run: the control's BatchExport without any wizard window.
// A source query that leaves no recordset (an action query, a declined or failed one) is
// reported at the "opening Table" stage and nothing is exported.
#include "export/wizard/ExportSession.h"

#include "export/common/ErrorReport.h"
#include "export/common/IniAccess.h"
#include "export/common/Prompter.h"
#include "export/common/RuntimeError.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/engine/ExportCaller.h"

namespace morvane {

void ExportSession::DoBatchExport(const QString& setting) {
    const QString password = caller_->Password();
    destination_.File.clear();
    lastRunCompleted_ = false;
    errorReportsAtStart_ = prompter_.ErrorReports();
    source_.Release();
    try {
        errorStep_ = 0;
        OpenSourceDatabase(password);
        errorStep_ = 1;
        if (!caller_->TableName().isEmpty()) {
            source_.SetName(caller_->TableName());
            source_.SetRs(source_.Db()->OpenRecordset(source_.Name(), dbOpenTable));
        } else {
            source_.SetName(caller_->QueryName());
            // Reports its own failures; an action query that ran, a declined one or a
            // failed one leaves no source recordset behind.
            OpenStoredQuery(source_.Name());
            if (!source_.Rs())
                throw RuntimeError(
                    ErrObjectNotSet,
                    QStringLiteral("Object variable or With block variable not set"));
        }
        errorStep_ = 2;
        BindIniFile();
        if (setting.isEmpty()) {
            SetDefaultSetting();
        } else {
            settingName_ = setting;
            // An incompatible setting has been reported and replaced by the defaults: the
            // export goes on with them.
            ReadSetting();
        }
        errorStep_ = 3;
        destination_.File = caller_->ExportFile();
        StartExport();
    } catch (const std::exception& error) {
        if (errorStep_ == 0)
            ErrorContext() = QStringLiteral("Error in opening DataBase ") + caller_->DataBaseName();
        else if (errorStep_ == 1)
            ErrorContext() = QStringLiteral("Error in opening Table ") + source_.Name();
        ShowError(prompter_, error);
    }
    source_.Release();
}

}  // namespace morvane
