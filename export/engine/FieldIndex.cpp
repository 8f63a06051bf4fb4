#include "export/engine/FieldIndex.h"

#include "export/data/Fields.h"

namespace morvane {

int FieldIndex(const Fields& fields, const QString& fieldname) {
    for (int ordinal = 0; ordinal < fields.Count(); ++ordinal) {
        if (fields.Item(ordinal).Name() == fieldname) return ordinal;
    }
    return 0;
}

}  // namespace morvane
