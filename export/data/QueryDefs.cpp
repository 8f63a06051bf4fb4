#include "export/data/QueryDefs.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/ObjectNames.h"

namespace morvane {

namespace {

[[noreturn]] void NotFound() {
    throw EngineError::Of(ErrItemNotFound);
}

}  // namespace

void QueryDefs::Load() {
    if (loaded_) return;
    items_ = database_->ListQueries(DriverKey());
    loaded_ = true;
}

int QueryDefs::Count() {
    Load();
    return static_cast<int>(items_.size());
}

QueryDef& QueryDefs::Item(int index) {
    Load();
    if (index < 0 || index >= Count()) NotFound();
    return *items_[static_cast<size_t>(index)];
}

QueryDef& QueryDefs::Item(const QString& name) {
    return *ItemShared(name);
}

std::shared_ptr<QueryDef> QueryDefs::ItemShared(const QString& name) {
    Load();
    const int at = FindObjectName(items_, name, [](const auto& query) { return query->Name(); });
    if (at < 0) NotFound();
    return items_[static_cast<size_t>(at)];
}

void QueryDefs::Delete(const QString& name) {
    const std::shared_ptr<QueryDef> query = ItemShared(name);
    database_->DropQuery(DriverKey(), query->Name());
}

void QueryDefs::Refresh() {
    loaded_ = false;
    Load();
}

}  // namespace morvane
