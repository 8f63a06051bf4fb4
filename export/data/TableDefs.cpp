#include "export/data/TableDefs.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/ObjectNames.h"

namespace morvane {

namespace {

[[noreturn]] void NotFound() {
    throw EngineError::Of(ErrItemNotFound);
}

}  // namespace

void TableDefs::Load() {
    if (loaded_) return;
    items_ = database_->ListTables(DriverKey());
    for (const auto& table : items_) table->MarkStored(DriverKey());
    loaded_ = true;
}

int TableDefs::Count() {
    Load();
    return static_cast<int>(items_.size());
}

TableDef& TableDefs::Item(int index) {
    Load();
    if (index < 0 || index >= Count()) NotFound();
    return *items_[static_cast<size_t>(index)];
}

int TableDefs::IndexOf(const QString& name) {
    Load();
    return FindObjectName(items_, name, [](const auto& table) { return table->Name(); });
}

TableDef& TableDefs::Item(const QString& name) {
    const int index = IndexOf(name);
    if (index < 0) NotFound();
    return *items_[static_cast<size_t>(index)];
}

void TableDefs::Append(const std::shared_ptr<TableDef>& tableDef) {
    if (!tableDef || tableDef->IsStored()) throw EngineError::Of(ErrInvalidOperation);
    database_->AppendTable(DriverKey(), *tableDef);
    tableDef->MarkStored(DriverKey());
    Load();
    if (IndexOf(tableDef->Name()) < 0) items_.push_back(tableDef);
}

void TableDefs::Delete(const QString& name) {
    const int index = IndexOf(name);
    if (index < 0) NotFound();
    database_->DropTable(DriverKey(), items_[static_cast<size_t>(index)]->Name());
    items_.erase(items_.begin() + index);
}

void TableDefs::Refresh() {
    loaded_ = false;
    Load();
}

}  // namespace morvane
