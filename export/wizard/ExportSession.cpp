#include "export/wizard/ExportSession.h"

#include "export/data/Database.h"
#include "export/data/Recordset.h"

namespace morvane {

ExportSession::ExportSession(Prompter& prompter) : prompter_(prompter) {}

ExportSession::~ExportSession() { ReleaseSource(); }

void ExportSession::SetCaller(ExportCaller* aCaller) { caller_ = aCaller; }

void ExportSession::ShowWizard() {}

void ExportSession::ReleaseSource() {
    // Releasing never reports: the source is gone either way.
    try {
        SourceRs.reset();
        SourceDb.reset();
    } catch (...) {
    }
}

}  // namespace morvane
