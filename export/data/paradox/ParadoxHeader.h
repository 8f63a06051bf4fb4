// ParadoxHeader: the header of a Paradox table file (.db), read from its bytes with every
// offset and count checked (ParadoxLayout.h draws it), and built for a new table.
//
// Reading raises an engine error that names the file: 3343 for a file that is not a Paradox
// table (an index file, an unknown version or block size), 3049 for a damaged one (cut
// short, field list past the header, a zero-length field, an unknown field type, a record
// size that disagrees with the fields), 3251 for an encrypted table.
#pragma once

#include "export/data/paradox/ParadoxText.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace morvane::paradox {

struct FieldLayout {
    unsigned char code = 0;  //!< FieldCode
    int sizeByte = 0;        //!< the header's size byte (decimals for BCD)
    int width = 0;           //!< bytes in a record
    int offset = 0;          //!< position in a record
    QString name;
};

struct TableHeader {
    int recordSize = 0;
    int headerSize = 0;
    int fileType = 2;
    int blockSize = 0;
    quint32 numRecords = 0;
    int fileBlocks = 0;
    int firstBlock = 0;
    int lastBlock = 0;
    int version = 0;  //!< the file version byte (3 .. 12)
    std::vector<FieldLayout> fields;
    std::shared_ptr<const ParadoxCodePage> codePage;
};

//! The record width of a field of `code` whose size byte is `sizeByte`; 0 for a zero-length
//! field, -1 for an unknown type.
int FieldWidth(unsigned char code, int sizeByte);

//! How many header bytes ParseHeader needs before it knows the header size.
constexpr int kHeaderProbe = 0x78;

//! Parses the header of `path`, `header` being its first bytes (at least the whole header
//! when the file is long enough), `fileSize` the size of the file.
TableHeader ParseHeader(const QByteArray& header, qint64 fileSize, const QString& path);

//! The header bytes of a new empty table at file version byte `version` (3, 9 or 11).
QByteArray BuildHeader(const TableHeader& header, const QByteArray& tableName);

//! Sets the counts of a header built by BuildHeader: `records` records in `blocks` blocks
//! chained 1 .. blocks.
void PatchCounts(QByteArray& header, quint32 records, int blocks);

}  // namespace morvane::paradox
