// Fields: the ordered field collection of a table definition or recordset. Items are found
// by ordinal or by name; names match without regard to case, through a hash (an exact-case
// hit costs no allocation, so export loops may look fields up by name on every row).
//
// Usage:
//   for (int i = 0; i < rs->Fields().Count(); ++i) use(rs->Fields().Item(i).Value());
#pragma once

#include "export/data/DriverKey.h"
#include "export/data/Field.h"

#include <QHash>
#include <memory>
#include <vector>

namespace morvane {

class Fields {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    //! Raises 3265 when out of range.
    Field& Item(int index) const;
    //! Raises 3265 when no field has that name.
    Field& Item(const QString& name) const;
    //! The ordinal of the named field, -1 when none.
    int IndexOf(const QString& name) const;

    //! Adds a field; raises 3191 for a name already present, 3219 when locked.
    void Append(std::shared_ptr<Field> field);
    //! Removes the named field; raises 3265 when absent, 3219 when locked.
    void Delete(const QString& name);

    const std::vector<std::shared_ptr<Field>>& Items() const { return items_; }

    // Driver side: a locked list refuses Append and Delete (a stored table, a recordset).
    void SetLocked(DriverKey, bool locked) { locked_ = locked; }

  private:
    void Rehash();

    std::vector<std::shared_ptr<Field>> items_;
    QHash<QString, int> exact_;
    QHash<QString, int> folded_;
    bool locked_ = false;
};

}  // namespace morvane
