// MemoryPropertyBag: a PropertyBag that keeps its values in memory, in the order the keys
// were first written or loaded. Hosts with no form file of their own use it, and tests use
// its write log to see exactly what a control saved (key, value and default of every
// WriteProperty call, in call order).
//
// Usage:
//   MemoryPropertyBag bag;                      // keeps every value written
//   control.WriteProperties(bag);
//   bag.Value("ExportCaption");                 // what was stored
//   bag.WriteLog()[0].key;                      // what was written first
//
//   MemoryPropertyBag lean({/*omitDefaults=*/true});  // leaves out values equal to default
#pragma once

#include "propertybag/PropertyBagExport.h"

#include "propertybag/PropertyBag.h"

#include <QHash>

namespace morvane {

//! How a bag treats the values it is given.
struct PropertyBagOptions {
    //! Leave out a value equal to its default (and drop a stored value for that key), the
    //! way a form file leaves out properties that still hold their defaults.
    bool omitDefaults = false;
};

class MORVANE_PROPERTYBAG_EXPORT MemoryPropertyBag : public PropertyBag {
  public:
    //! One WriteProperty call as it was made.
    struct WriteRecord {
        QString key;
        QVariant value;
        QVariant defaultValue;
    };

    MemoryPropertyBag();
    explicit MemoryPropertyBag(PropertyBagOptions options);

    QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const override;
    void WriteProperty(const QString& key, const QVariant& value,
                       const QVariant& defaultValue) override;
    QStringList Keys() const override;

    bool Contains(const QString& key) const;
    //! The stored value; an invalid QVariant when the key is absent.
    QVariant Value(const QString& key) const;
    //! Stores a value as loaded from a file: no default, not logged, never omitted.
    void SetValue(const QString& key, const QVariant& value);
    //! Removes the key; answers whether it was present.
    bool Remove(const QString& key);
    //! Empties the bag and its write log.
    void Clear();

    const std::vector<WriteRecord>& WriteLog() const { return writeLog_; }
    const PropertyBagOptions& Options() const { return options_; }

  private:
    PropertyBagOptions options_;
    QStringList keys_;
    QHash<QString, QVariant> values_;
    std::vector<WriteRecord> writeLog_;
};

}  // namespace morvane
