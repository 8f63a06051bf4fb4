#include "export/data/paradox/ParadoxHeader.h"

#include "export/data/EngineError.h"
#include "export/data/paradox/ParadoxLayout.h"

namespace morvane::paradox {

namespace {

[[noreturn]] void Damaged(const QString& path, const QString& reason) {
    throw EngineError::Of(ErrCorruptDatabase, path, reason);
}

[[noreturn]] void NotParadox(const QString& path) {
    throw EngineError::Of(ErrUnrecognizedFormat, path);
}

int FieldListOffset(int version) {
    return version <= 4 ? kHeaderFixedLevel3 : kHeaderFixedLevel4;
}

int TableNameSize(int version) {
    return version >= 12 ? 261 : 79;
}

}  // namespace

int FieldWidth(unsigned char code, int sizeByte) {
    switch (code) {
        case kAlpha:
        case kMemo:
        case kBlob:
        case kFmtMemo:
        case kOle:
        case kGraphic:
        case kBytes:
            return sizeByte;
        case kDate:
        case kLong:
        case kTime:
        case kAutoInc:
            return 4;
        case kShort:
            return 2;
        case kCurrency:
        case kNumber:
        case kTimestamp:
            return 8;
        case kLogical:
            return 1;
        case kBcd:
            return 17;
        default:
            return -1;
    }
}

TableHeader ParseHeader(const QByteArray& bytes, qint64 fileSize, const QString& path) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const int size = static_cast<int>(bytes.size());
    if (size < kHeaderFixedLevel3) {
        if (size == 0) NotParadox(path);
        Damaged(path, QStringLiteral("the header is cut short"));
    }
    TableHeader h;
    h.recordSize = static_cast<int>(Le16(p + 0x00));
    h.headerSize = static_cast<int>(Le16(p + 0x02));
    h.fileType = p[0x04];
    const int blockCode = p[0x05];
    h.version = p[0x39];
    if ((h.fileType != 0 && h.fileType != 2) || blockCode < 1 || blockCode > 4 || h.version < 3 ||
        h.version > 12)
        NotParadox(path);
    h.blockSize = blockCode * 1024;
    h.numRecords = Le32(p + 0x06);
    h.fileBlocks = static_cast<int>(Le16(p + 0x0C));
    h.firstBlock = static_cast<int>(Le16(p + 0x0E));
    h.lastBlock = static_cast<int>(Le16(p + 0x10));
    const int numFields = static_cast<int>(Le16(p + 0x21));
    const int listAt = FieldListOffset(h.version);
    if (h.headerSize < listAt || h.headerSize > fileSize)
        Damaged(
            path,
            QStringLiteral("header size %1 in a file of %2 bytes").arg(h.headerSize).arg(fileSize));
    if (size < h.headerSize) Damaged(path, QStringLiteral("the header is cut short"));
    const quint32 encryption = h.version <= 4 ? Le32(p + 0x25) : Le32(p + 0x5C);
    if (encryption != 0)
        throw EngineError::Of(ErrNotSupported,
                              QStringLiteral("encrypted Paradox table '%1'").arg(path));
    if (numFields < 1 || numFields > kMaxFields)
        Damaged(path, QStringLiteral("%1 fields").arg(numFields));
    int codePage = 0;
    if (h.version > 4) codePage = static_cast<int>(Le16(p + 0x6A));
    h.codePage = ParadoxCodePage::ForNumber(codePage);

    // Field types and sizes, then past the run-time pointers and the table name to the
    // field names.
    const int namesAt = listAt + 2 * numFields + 4 + 4 * numFields + TableNameSize(h.version);
    if (namesAt > h.headerSize)
        Damaged(path, QStringLiteral("the field list runs past the header"));
    int offset = 0;
    for (int i = 0; i < numFields; ++i) {
        FieldLayout field;
        field.code = p[listAt + 2 * i];
        field.sizeByte = p[listAt + 2 * i + 1];
        field.width = FieldWidth(field.code, field.sizeByte);
        if (field.width < 0)
            Damaged(path, QStringLiteral("field %1 has the unknown type 0x%2")
                              .arg(i + 1)
                              .arg(field.code, 2, 16, QLatin1Char('0')));
        if (field.width == 0) Damaged(path, QStringLiteral("field %1 has length 0").arg(i + 1));
        if ((field.code == kMemo || field.code == kFmtMemo) && field.width <= kBlobTail)
            Damaged(path,
                    QStringLiteral("memo field %1 has length %2").arg(i + 1).arg(field.width));
        if ((field.code >= kBlob && field.code <= kGraphic) && field.width < kBlobTail)
            Damaged(path,
                    QStringLiteral("blob field %1 has length %2").arg(i + 1).arg(field.width));
        field.offset = offset;
        offset += field.width;
        h.fields.push_back(field);
    }
    if (offset != h.recordSize)
        Damaged(path, QStringLiteral("record size %1 but the fields take %2 bytes")
                          .arg(h.recordSize)
                          .arg(offset));
    if (h.recordSize > h.blockSize - kBlockHeader)
        Damaged(path, QStringLiteral("records of %1 bytes in blocks of %2")
                          .arg(h.recordSize)
                          .arg(h.blockSize));
    int at = namesAt;
    for (FieldLayout& field : h.fields) {
        int end = at;
        while (end < h.headerSize && p[end] != 0) ++end;
        if (end >= h.headerSize)
            Damaged(path, QStringLiteral("the field names run past the header"));
        field.name = h.codePage->Decode(bytes.constData() + at, end - at);
        if (field.name.isEmpty())
            field.name = QStringLiteral("Field%1").arg(&field - &h.fields[0] + 1);
        at = end + 1;
    }
    return h;
}

QByteArray BuildHeader(const TableHeader& h, const QByteArray& tableName) {
    const int n = static_cast<int>(h.fields.size());
    const int listAt = FieldListOffset(h.version);
    int needed = listAt + 2 * n + 4 + 4 * n + TableNameSize(h.version);
    QByteArray names;
    for (const FieldLayout& field : h.fields) {
        names += h.codePage->Encode(field.name);
        names += '\0';
    }
    const QByteArray sortOrder("ascii", 6);
    needed += static_cast<int>(names.size()) + 2 * n + static_cast<int>(sortOrder.size());
    const int headerSize = (needed + kHeaderUnit - 1) / kHeaderUnit * kHeaderUnit;
    QByteArray bytes(headerSize, '\0');
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    PutLe16(p + 0x00, static_cast<unsigned>(h.recordSize));
    PutLe16(p + 0x02, static_cast<unsigned>(headerSize));
    p[0x04] = 2;  // a table without a primary key
    p[0x05] = static_cast<unsigned char>(h.blockSize / 1024);
    PutLe16(p + 0x21, static_cast<unsigned>(n));
    p[0x39] = static_cast<unsigned char>(h.version);
    p[0x3E] = 0x1F;
    p[0x3F] = 0x0F;
    if (h.version > 4) {
        PutLe32(p + 0x25, 0xFF00FF00u);  // "the encryption moved to 0x5C"
        PutLe16(p + 0x58, 0x0100u + static_cast<unsigned>(h.version));
        PutLe16(p + 0x5A, 0x0100u + static_cast<unsigned>(h.version));
        PutLe16(p + 0x64, static_cast<unsigned>(n + 1));
        PutLe16(p + 0x6A, static_cast<unsigned>(h.codePage->Number()));
    }
    int at = listAt;
    for (const FieldLayout& field : h.fields) {
        p[at++] = field.code;
        p[at++] = static_cast<unsigned char>(field.sizeByte);
    }
    at += 4 + 4 * n;  // run-time pointers
    const QByteArray name = tableName.left(TableNameSize(h.version) - 1);
    memcpy(p + at, name.constData(), static_cast<size_t>(name.size()));
    at += TableNameSize(h.version);
    memcpy(p + at, names.constData(), static_cast<size_t>(names.size()));
    at += static_cast<int>(names.size());
    for (int i = 0; i < n; ++i, at += 2) PutLe16(p + at, static_cast<unsigned>(i + 1));
    memcpy(p + at, sortOrder.constData(), static_cast<size_t>(sortOrder.size()));
    PatchCounts(bytes, 0, 0);
    return bytes;
}

void PatchCounts(QByteArray& header, quint32 records, int blocks) {
    auto* p = reinterpret_cast<unsigned char*>(header.data());
    PutLe32(p + 0x06, records);
    PutLe16(p + 0x0A, static_cast<unsigned>(blocks));
    PutLe16(p + 0x0C, static_cast<unsigned>(blocks));
    PutLe16(p + 0x0E, blocks > 0 ? 1u : 0u);
    PutLe16(p + 0x10, static_cast<unsigned>(blocks));
    PutLe16(p + 0x3A, static_cast<unsigned>(blocks));
}

}  // namespace morvane::paradox
