#include "export/data/sqlite/SqliteCursorRecordset.h"

#include "export/data/sqlite/SqliteDatabase.h"
#include "export/data/sqlite/SqliteTypes.h"

namespace morvane {

SqliteCursorRecordset::SqliteCursorRecordset(const std::shared_ptr<SqliteDatabase>& database,
                                             short type, bool updatable)
    : Recordset(database, type, updatable), database_(*database) {
    database_.Attach(this);
}

SqliteCursorRecordset::~SqliteCursorRecordset() {
    cursor_.Finalize();
    database_.Detach(this);
}

void SqliteCursorRecordset::Park() {
    cursor_.Finalize();
    parked_ = true;
}

bool SqliteCursorRecordset::doNext() {
    if (parked_) return doSeek(index_ + 1);
    // Stepping needs no commit: rows written on this connection are visible to its own
    // cursors, and committing on every step would cost one disk sync per record when a
    // table is exported into the source's own file.
    ++index_;
    if (!cursor_.Step()) {
        Park();
        return false;
    }
    return LoadRow();
}

bool SqliteCursorRecordset::LoadRow() {
    LoadColumnValues(fields_, types_, cursor_.Handle());
    return true;
}

}  // namespace morvane
