// Parameters: the ordered parameters of a stored query, by ordinal or by name (any case).
#pragma once

#include "export/data/DriverKey.h"
#include "export/data/Parameter.h"

#include <vector>

namespace morvane {

class Parameters {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    //! Raises 3265 when out of range.
    Parameter& Item(int index);
    //! Raises 3265 when absent.
    Parameter& Item(const QString& name);
    //! REQUIRES: 0 <= index < Count().
    const Parameter& At(int index) const { return items_.at(static_cast<size_t>(index)); }

    // Driver side: a query adds its parameters when it is made.
    void Append(DriverKey, Parameter parameter) { items_.push_back(std::move(parameter)); }

  private:
    std::vector<Parameter> items_;
};

}  // namespace morvane
