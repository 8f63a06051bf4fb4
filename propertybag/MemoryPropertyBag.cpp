#include "propertybag/MemoryPropertyBag.h"

namespace morvane {

MemoryPropertyBag::MemoryPropertyBag() = default;

MemoryPropertyBag::MemoryPropertyBag(PropertyBagOptions options) : options_(options) {}

QVariant MemoryPropertyBag::ReadProperty(const QString& key, const QVariant& defaultValue) const {
    const auto found = values_.constFind(key);
    return found == values_.constEnd() ? defaultValue : found.value();
}

void MemoryPropertyBag::WriteProperty(const QString& key, const QVariant& value,
                                      const QVariant& defaultValue) {
    writeLog_.push_back({key, value, defaultValue});
    // A value that equals its default is left out; an older value for the key must go too,
    // or a later read would answer the stale value instead of the default.
    if (options_.omitDefaults && defaultValue.isValid() && value == defaultValue) {
        Remove(key);
        return;
    }
    SetValue(key, value);
}

QStringList MemoryPropertyBag::Keys() const {
    return keys_;
}

bool MemoryPropertyBag::Contains(const QString& key) const {
    return values_.contains(key);
}

QVariant MemoryPropertyBag::Value(const QString& key) const {
    return values_.value(key);
}

void MemoryPropertyBag::SetValue(const QString& key, const QVariant& value) {
    if (!values_.contains(key)) keys_.append(key);
    values_.insert(key, value);
}

bool MemoryPropertyBag::Remove(const QString& key) {
    if (!values_.remove(key)) return false;
    keys_.removeOne(key);
    return true;
}

void MemoryPropertyBag::Clear() {
    keys_.clear();
    values_.clear();
    writeLog_.clear();
}

}  // namespace morvane
