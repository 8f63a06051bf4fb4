// JetValue: a column value of a Jet row, from the bytes libmdb located in the page
// buffer, in the engine's representation of its type (FieldTypes.h). Jet's own column
// type codes are the engine's codes, except its decimal (0x10), which is the engine's 20.
//
// Stored forms (little-endian), as read here:
//
//   Boolean   no bytes: the row's null-mask bit is the value (set = True)
//   Byte 1, Integer 2, Long 4 (signed), Single 4, Double 8 (IEEE)
//   Currency  8-byte signed integer, units of 1/10000
//   Date/Time 8-byte double: days since 1899-12-30, the fraction the time of day (for a
//             negative value the fraction still counts forward from midnight)
//   GUID      16 bytes: 4, 2, 2 little-endian, then 8 bytes as they stand
//   Decimal   17 bytes, formatted by libmdb with the column's precision and scale
//   Text      JetText; Memo: JetText of the long value; Binary, OLE: the bytes
#pragma once

#include "export/data/jet/JetFile.h"

#include <QVariant>

namespace morvane {

class JetValue {
  public:
    //! The engine type code for a libmdb column type; 0 for a type the engine lacks.
    static short EngineType(int columnType);
    //! The size the engine reports for the column (Text: characters).
    static int EngineSize(const MdbColumn& column, int version);
    //! The value of `field` (a column of the row in the handle's page buffer). Raises 3049
    //! when the value does not fit its row.
    static QVariant Read(JetFile& file, const MdbColumn& column, const MdbField& field);
    //! A Date/Time value from its stored double.
    static QVariant DateFromDays(double days);
};

}  // namespace morvane
