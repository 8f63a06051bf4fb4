// The export session's batch run: the control's BatchExport without any wizard window.
// A source query that leaves no recordset (an action query, a declined or failed one) is
// reported at the "opening Table" stage and nothing is exported.
#include "export/wizard/ExportSession.h"

#include "export/common/ErrorReport.h"
#include "export/common/IniAccess.h"
#include "export/common/RuntimeError.h"
#include "export/control/ExportCaller.h"
#include "export/data/DBEngine.h"
#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"

namespace morvane {

void ExportSession::DoBatchExport(const QString& setting) {
    const QString password = caller_->Password();
    ExportFile.clear();
    lastRunCompleted_ = false;
    ReleaseSource();
    try {
        ErrorStep = 0;
        SourceDb = DBEngine::Instance().OpenDatabase(
            caller_->DataBaseName(), 0, false,
            caller_->SourceConnect() + QStringLiteral(";pwd=") + password + QLatin1Char(';'));
        ErrorStep = 1;
        if (!caller_->TableName().isEmpty()) {
            SourceName = caller_->TableName();
            SourceRs = SourceDb->OpenRecordset(SourceName, dbOpenTable);
        } else {
            SourceName = caller_->QueryName();
            // Reports its own failures; an action query that ran, a declined one or a
            // failed one leaves no source recordset behind.
            OpenStoredQuery(SourceName);
            if (!SourceRs)
                throw RuntimeError(
                    ErrObjectNotSet,
                    QStringLiteral("Object variable or With block variable not set"));
        }
        ErrorStep = 2;
        SetIniFile(caller_->IniFile());
        if (setting.isEmpty()) {
            SetDefaultSetting();
        } else {
            SettingName = setting;
            // An incompatible setting has been reported and replaced by the defaults: the
            // export goes on with them.
            ReadSetting();
        }
        ErrorStep = 3;
        ExportFile = caller_->ExportFile();
        StartExport();
    } catch (const std::exception& error) {
        if (ErrorStep == 0)
            ErrorContext() = QStringLiteral("Error in opening DataBase ") + caller_->DataBaseName();
        else if (ErrorStep == 1)
            ErrorContext() = QStringLiteral("Error in opening Table ") + SourceName;
        ShowError(prompter_, error);
    }
    ReleaseSource();
}

}  // namespace morvane
