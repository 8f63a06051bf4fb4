#include "export/data/TableDef.h"

namespace morvane {

TableDef::TableDef(QString name, int attributes)
    : name_(std::move(name)), attributes_(attributes) {}

std::shared_ptr<Field> TableDef::CreateField(const QString& name, short type, int size) const {
    return std::make_shared<Field>(name, type, size);
}

void TableDef::MarkStored(DriverKey key) {
    stored_ = true;
    for (const auto& field : fields_.Items()) field->SetDefinitionLocked(key, true);
    fields_.SetLocked(key, true);
}

}  // namespace morvane
