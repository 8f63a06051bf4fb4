#include "export/wizard/ExportSession.h"

#include "export/common/Prompter.h"
#include "export/data/Database.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/engine/ExportCaller.h"

namespace morvane {

ExportSession::ExportSession(Prompter& prompter)
    : prompter_(prompter), errorReportsAtStart_(prompter.ErrorReports()) {}

ExportSession::~ExportSession() = default;

void ExportSession::SetCaller(ExportCaller* aCaller) {
    caller_ = aCaller;
}

SessionOutcome ExportSession::Outcome() const {
    return SessionOutcome{lastRunCompleted_, prompter_.ErrorReports() - errorReportsAtStart_};
}

void ExportSession::OpenSourceDatabase(const QString& password) {
    source_.SetDb(DBEngine::Instance().OpenDatabase(
        caller_->DataBaseName(), 0, false,
        caller_->SourceConnect() + QStringLiteral(";pwd=") + password + QLatin1Char(';')));
}

}  // namespace morvane
