// JetProperties: the properties of a table and its columns as MSysObjects.LvProp stores
// them, read with bounds checks (libmdb's reader of this block loops on damaged input).
// Only what the engine reports is kept: which columns are Required.
//
// LvProp layout (little-endian):
//
//   0   4   "KKD\0" (Jet 3) or "MR2\0" (Jet 4)
//   then blocks, each:
//     0   4   block length (from this field)
//     4   2   block type: 0x80 property names, 0x00 the table's values, 0x01 a column's
//   names block: [2 name length][name] ...   (names in the file's text encoding)
//   value block:
//     6   4   length of this field, the next and the object name
//     10  2   object name length, then the name (the column; empty for the table)
//     then entries: [2 entry length][1 DDL flag][1 data type][2 index into the names]
//                   [2 value length][value]
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

namespace morvane {

class JetProperties {
  public:
    //! The case-folded names of the columns whose "Required" property is true. Damaged
    //! parts of the block are ignored (the column then counts as not required).
    static QSet<QString> RequiredColumns(const QByteArray& lvProp, int version, int codePage);
};

}  // namespace morvane
