#include "export/data/Parameters.h"

#include "export/data/EngineError.h"

namespace morvane {

Parameter& Parameters::Item(int index) {
    if (index < 0 || index >= Count()) throw EngineError::Of(ErrItemNotFound);
    return items_[static_cast<size_t>(index)];
}

Parameter& Parameters::Item(const QString& name) {
    for (Parameter& parameter : items_)
        if (parameter.Name().compare(name, Qt::CaseInsensitive) == 0) return parameter;
    throw EngineError::Of(ErrItemNotFound);
}

}  // namespace morvane
