// XbaseTypes: how engine field types become xBase fields when a table is written, and how
// xBase fields read back as engine types (docs/engine.md, "dBASE and FoxPro tables", has
// both tables).
//
// Usage:
//   XbaseFieldDescriptor d = XbaseFieldFor(dbCurrency, 0, true, XbaseVersion::FoxPro3);  // Y
//   XbaseEngineType t = EngineTypeOf(d, header.IsVisualFoxPro());   // dbCurrency, 8
#pragma once

#include "export/data/xbase/XbaseFormat.h"

namespace morvane {

//! The xBase field (type, length, decimals, flags; no name) an engine field of `type` and
//! declared `size` is written as in `version`. `nullable`: a FoxPro 3.0 field may be Null.
XbaseFieldDescriptor XbaseFieldFor(short type, int size, bool nullable, XbaseVersion version);

//! True when `version` has no binary field type, so binary values are written as hex text.
bool WritesBinaryAsHex(XbaseVersion version);

struct XbaseEngineType {
    short type = 0;
    int size = 0;
};

//! The engine type and size a field of a table file reads as.
XbaseEngineType EngineTypeOf(const XbaseFieldDescriptor& field, bool visualFoxPro);

//! The header version byte of a new table (`withMemo`: it has a memo field).
quint8 XbaseVersionByte(XbaseVersion version, bool withMemo);

//! Table limits of a version.
struct XbaseLimits {
    int maxFields;
    int maxRecordLength;
    int maxNumericWidth;
};
XbaseLimits LimitsOf(XbaseVersion version);

//! The name of a version as its type specifier spells it ("dBASE IV").
QString XbaseVersionName(XbaseVersion version);

}  // namespace morvane
