// FieldIndex: the ordinal of a source field by its exact name (case-sensitive), 0 when no
// field has that name, so a name the source lacks shares the width of ordinal 0.
#pragma once

#include <QString>

namespace morvane {

class Fields;

int FieldIndex(const Fields& fields, const QString& fieldname);

}  // namespace morvane
