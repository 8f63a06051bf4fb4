#include "export/wizard/ExportSource.h"

#include "export/data/Database.h"
#include "export/data/Recordset.h"

namespace morvane {

ExportSource::ExportSource() = default;

ExportSource::~ExportSource() {
    Release();
}

void ExportSource::SetDb(std::shared_ptr<Database> db) {
    db_ = std::move(db);
}

void ExportSource::SetRs(std::unique_ptr<Recordset> rs) {
    rs_ = std::move(rs);
}

void ExportSource::ReleaseRecordset() {
    // Releasing never reports: the recordset is gone either way.
    try {
        rs_.reset();
    } catch (...) {
    }
}

void ExportSource::Release() {
    ReleaseRecordset();
    try {
        db_.reset();
    } catch (...) {
    }
}

}  // namespace morvane
