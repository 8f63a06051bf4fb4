// FieldTypeName: the display name of an engine field type code, as shown in the export
// run's message about a value that a destination field cannot take.
//
//   FieldTypeName(8) == "Date / Time"; FieldTypeName(9) == "" (no name for that code)
#pragma once

#include <QString>

namespace morvane {

//! The display name of an engine field type code (export/data/FieldTypes.h); empty for
//! the codes that have none.
QString FieldTypeName(int typeCode);

}  // namespace morvane
