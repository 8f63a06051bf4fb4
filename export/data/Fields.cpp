#include "export/data/Fields.h"

#include "export/data/EngineError.h"

namespace morvane {

namespace {

[[noreturn]] void NotFound() {
    throw EngineError::Of(ErrItemNotFound);
}

}  // namespace

Field& Fields::Item(int index) const {
    if (index < 0 || index >= Count()) NotFound();
    return *items_[static_cast<size_t>(index)];
}

Field& Fields::Item(const QString& name) const {
    const int index = IndexOf(name);
    if (index < 0) NotFound();
    return *items_[static_cast<size_t>(index)];
}

int Fields::IndexOf(const QString& name) const {
    const auto exact = exact_.constFind(name);
    if (exact != exact_.constEnd()) return exact.value();
    return folded_.value(name.toCaseFolded(), -1);
}

void Fields::Append(std::shared_ptr<Field> field) {
    if (locked_) throw EngineError::Of(ErrInvalidOperation);
    if (!field || field->Name().trimmed().isEmpty()) throw EngineError::Of(ErrInvalidArgument);
    if (IndexOf(field->Name()) >= 0)
        throw EngineError::Raise(ErrFieldDefinedTwice,
                                 QStringLiteral("Cannot define field more than once."));
    items_.push_back(std::move(field));
    Rehash();
}

void Fields::Delete(const QString& name) {
    if (locked_) throw EngineError::Of(ErrInvalidOperation);
    const int index = IndexOf(name);
    if (index < 0) NotFound();
    items_.erase(items_.begin() + index);
    Rehash();
}

void Fields::Rehash() {
    exact_.clear();
    folded_.clear();
    for (int index = Count() - 1; index >= 0; --index) {
        const QString& name = items_[static_cast<size_t>(index)]->Name();
        exact_.insert(name, index);
        folded_.insert(name.toCaseFolded(), index);
    }
}

}  // namespace morvane
