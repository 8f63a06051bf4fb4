// ParadoxTypes: which Paradox field holds each engine type at each table level, which engine
// type each Paradox field reads as, and the conversion of one value between the two.
// docs/engine.md has the tables.
//
// Usage:
//   FieldLayout layout = PlanField(dbLong, 0, 5);           // I (long integer) at level 5
//   QVariant value = DecodeValue(layout, record, page, mb, path);
//   EncodeValue(layout, engineType, value, record, page, &mbWriter, fieldName);
#pragma once

#include "export/data/paradox/ParadoxHeader.h"

#include <QVariant>

namespace morvane::paradox {

class MbReader;
class MbWriter;

//! The file version byte written for a table level (3, 4 or 5).
int VersionByteOf(int level);

//! The Paradox field of a new field of engine type `type` (declared size `size`) in a table
//! of `level` (3, 4, 5); the name is left empty. Raises 3259 for a type code the engine
//! does not have.
FieldLayout PlanField(short type, int size, int level);

//! The engine type code a Paradox field reads as.
short EngineTypeOf(const FieldLayout& layout);
//! The size the engine reports for it (Text: characters; Binary: bytes; others: the
//! engine's own size).
int EngineSizeOf(const FieldLayout& layout);

//! The value of a field in a record (a null QVariant when blank). Memo and blob values
//! longer than their leader are read through `mb`.
QVariant DecodeValue(const FieldLayout& layout, const unsigned char* record,
                     const ParadoxCodePage& page, MbReader& mb, const QString& path);

//! Stores `value` (already in the representation of `engineType`) into its place in
//! `record`; memo and blob values longer than their leader go through `mb`. A Null writes
//! a blank field. Raises 3421 for a value the field cannot hold (the blank codes of S and
//! I), 3163 for a value longer than the field.
void EncodeValue(const FieldLayout& layout, short engineType, const QVariant& value,
                 unsigned char* record, const ParadoxCodePage& page, MbWriter* mb,
                 const QString& fieldName);

}  // namespace morvane::paradox
