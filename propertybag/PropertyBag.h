// PropertyBag: the typed property store a host keeps for a control, the way a form file
// keeps the properties of the controls placed on it. Values are QVariants stored under
// string keys; a write names the value's default so a bag may leave out values that equal
// it, and a read names the default to answer when the key is absent.
//
// MemoryPropertyBag keeps the values in memory (in write order); FilePropertyBag keeps them
// in a small text file of its own. Both ship with the control libraries.
#pragma once

#include "propertybag/PropertyBagExport.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>
#include <vector>

namespace morvane {

class MORVANE_PROPERTYBAG_EXPORT PropertyBag {
  public:
    virtual ~PropertyBag() = default;

    //! The value stored under key, or defaultValue when the bag holds no such key.
    virtual QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const = 0;

    //! Stores value under key. defaultValue is the value's default: a bag may leave the
    //! key out when the value equals it (a later read then answers the default again).
    virtual void WriteProperty(const QString& key, const QVariant& value,
                               const QVariant& defaultValue) = 0;

    //! Keys present in the bag, in the order they were first written or loaded.
    virtual QStringList Keys() const = 0;
};

}  // namespace morvane
