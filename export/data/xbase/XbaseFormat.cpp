#include "export/data/xbase/XbaseFormat.h"

#include "export/data/EngineError.h"

#include <QtEndian>

namespace morvane {

namespace {

[[noreturn]] void Damaged(const QString& path, const QString& why) {
    throw EngineError::Of(ErrCorruptDatabase, path, why);
}

[[noreturn]] void NotXbase(const QString& path) {
    throw EngineError::Of(ErrUnrecognizedFormat, path);
}

bool KnownVersion(quint8 version) {
    switch (version) {
        case 0x02:
        case 0x03:
        case 0x05:
        case 0x30:
        case 0x31:
        case 0x32:
        case 0x43:
        case 0x63:
        case 0x7B:
        case 0x83:
        case 0x8B:
        case 0x8D:
        case 0xCB:
        case 0xF5:
        case 0xFB:
            return true;
        default:
            return false;
    }
}

// The bytes a field of this type must have, 0 when any length will do.
int FixedLength(char type, bool visualFoxPro) {
    switch (type) {
        case 'D':
            return 8;
        case 'L':
            return 1;
        case 'I':
            return visualFoxPro ? 4 : 0;
        case 'Y':
        case 'T':
            return 8;
        case 'B':
            return visualFoxPro ? 8 : 0;
        default:
            return 0;
    }
}

bool KnownType(char type, bool visualFoxPro) {
    switch (type) {
        case 'C':
        case 'N':
        case 'F':
        case 'D':
        case 'L':
        case 'M':
        case 'B':
        case 'G':
        case 'P':
            return true;
        case 'I':
        case 'Y':
        case 'T':
        case 'V':
        case 'Q':
        case '0':
            return visualFoxPro;
        default:
            return false;
    }
}

}  // namespace

XbaseMemoKind XbaseHeader::MemoKind() const {
    if (IsVisualFoxPro() || version == 0xF5 || version == 0xFB) return XbaseMemoKind::FoxPro;
    if (version == 0x83) return XbaseMemoKind::Dbase3;
    if (version == 0x8B || version == 0x8D || version == 0xCB || version == 0x7B)
        return XbaseMemoKind::Dbase4;
    // A table marked without memo may still declare memo fields (some writers leave the
    // mark): read them the dBASE III way.
    return XbaseMemoKind::Dbase3;
}

bool XbaseHeader::HasMemoFields() const {
    for (const auto& field : fields)
        if (field.type == 'M' || field.type == 'G' || field.type == 'P' ||
            (field.type == 'B' && !IsVisualFoxPro()))
            return true;
    return false;
}

QString MemoExtension(XbaseMemoKind kind) {
    switch (kind) {
        case XbaseMemoKind::Dbase3:
        case XbaseMemoKind::Dbase4:
            return QStringLiteral(".dbt");
        case XbaseMemoKind::FoxPro:
            return QStringLiteral(".fpt");
        default:
            return {};
    }
}

XbaseHeader ParseXbaseHeader(const QByteArray& bytes, qint64 fileSize, const QString& path) {
    if (bytes.size() < 32) NotXbase(path);
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    XbaseHeader header;
    header.version = data[0];
    if (!KnownVersion(header.version)) NotXbase(path);
    const bool vfp = header.IsVisualFoxPro();
    header.lastUpdate = QDate(1900 + data[1], data[2], data[3]);
    header.recordCount = qFromLittleEndian<quint32>(data + 4);
    header.headerLength = qFromLittleEndian<quint16>(data + 8);
    header.recordLength = qFromLittleEndian<quint16>(data + 10);
    header.tableFlags = data[28];
    header.languageDriver = data[29];
    if (header.headerLength < 33 || header.headerLength > fileSize)
        Damaged(path, QStringLiteral("header length %1 in a file of %2 bytes")
                          .arg(header.headerLength)
                          .arg(fileSize));
    if (header.recordLength < 1) Damaged(path, QStringLiteral("record length 0"));

    // Descriptors up to the 0x0D mark, within the header length and the bytes read.
    const int limit = static_cast<int>(qMin<qsizetype>(header.headerLength, bytes.size()));
    int position = 32;
    int offset = 1;
    int nullBits = 0;
    while (true) {
        if (position >= limit) Damaged(path, QStringLiteral("no end of the field list"));
        if (data[position] == 0x0D) break;
        if (position + 32 > limit) Damaged(path, QStringLiteral("field list cut short"));
        const uchar* descriptor = data + position;
        XbaseFieldDescriptor field;
        int nameLength = 0;
        while (nameLength < 11 && descriptor[nameLength] != 0) ++nameLength;
        field.name =
            QString::fromLatin1(reinterpret_cast<const char*>(descriptor), nameLength).trimmed();
        field.type = static_cast<char>(descriptor[11]);
        if (field.type >= 'a' && field.type <= 'z') field.type = static_cast<char>(field.type - 32);
        field.length = descriptor[16];
        field.decimals = descriptor[17];
        field.flags = vfp ? descriptor[18] : 0;
        const QString shown =
            field.name.isEmpty() ? QStringLiteral("#%1").arg(header.fields.size() + 1) : field.name;
        if (!KnownType(field.type, vfp)) {
            const auto code = static_cast<unsigned char>(field.type);
            const QString type = code > 32 && code < 127
                                     ? QString(QLatin1Char(field.type))
                                     : QStringLiteral("0x%1").arg(code, 2, 16, QLatin1Char('0'));
            Damaged(path, QStringLiteral("unknown type %1 of field '%2'").arg(type, shown));
        }
        if (field.length == 0) Damaged(path, QStringLiteral("field '%1' has length 0").arg(shown));
        const int fixed = FixedLength(field.type, vfp);
        if (fixed != 0 && field.length != fixed)
            Damaged(path, QStringLiteral("field '%1' of type %2 has length %3")
                              .arg(shown, QString(QLatin1Char(field.type)))
                              .arg(field.length));
        field.offset = offset;
        offset += field.length;
        if (field.type == '0') {
            field.hidden = true;
            header.nullFlagsField = static_cast<int>(header.fields.size());
        } else if (vfp && (field.flags & 0x02)) {
            field.nullBit = nullBits++;
        }
        header.fields.push_back(field);
        position += 32;
    }
    if (header.fields.empty()) Damaged(path, QStringLiteral("no fields"));
    if (offset != header.recordLength)
        Damaged(path, QStringLiteral("record length %1 but fields of %2 bytes")
                          .arg(header.recordLength)
                          .arg(offset));
    if (header.headerLength < position + 1)
        Damaged(path, QStringLiteral("header length %1 shorter than its field list")
                          .arg(header.headerLength));
    if (header.nullFlagsField >= 0 &&
        header.fields[static_cast<size_t>(header.nullFlagsField)].length * 8 < nullBits)
        Damaged(path, QStringLiteral("too few null flags"));
    const qint64 need =
        header.headerLength + static_cast<qint64>(header.recordCount) * header.recordLength;
    if (need > fileSize)
        Damaged(path, QStringLiteral("the header counts %1 records but the file holds %2")
                          .arg(header.recordCount)
                          .arg((fileSize - header.headerLength) / header.recordLength));
    return header;
}

QByteArray BuildXbaseHeader(const XbaseHeader& header) {
    const bool vfp = header.IsVisualFoxPro();
    const int length = 32 + 32 * static_cast<int>(header.fields.size()) + 1 + (vfp ? 263 : 0);
    QByteArray bytes(length, '\0');
    auto* data = reinterpret_cast<uchar*>(bytes.data());
    data[0] = header.version;
    const QDate date = header.lastUpdate.isValid() ? header.lastUpdate : QDate::currentDate();
    data[1] = static_cast<uchar>(qBound(0, date.year() - 1900, 255));
    data[2] = static_cast<uchar>(date.month());
    data[3] = static_cast<uchar>(date.day());
    qToLittleEndian<quint32>(header.recordCount, data + 4);
    qToLittleEndian<quint16>(static_cast<quint16>(length), data + 8);
    int recordLength = 1;
    for (const auto& field : header.fields) recordLength += field.length;
    qToLittleEndian<quint16>(static_cast<quint16>(recordLength), data + 10);
    data[28] = header.tableFlags;
    data[29] = header.languageDriver;
    int position = 32;
    int offset = 1;
    for (const auto& field : header.fields) {
        uchar* descriptor = data + position;
        const QByteArray name = field.name.toLatin1().left(10);
        memcpy(descriptor, name.constData(), static_cast<size_t>(name.size()));
        descriptor[11] = static_cast<uchar>(field.type);
        if (vfp) qToLittleEndian<quint32>(static_cast<quint32>(offset), descriptor + 12);
        descriptor[16] = static_cast<uchar>(field.length);
        descriptor[17] = static_cast<uchar>(field.decimals);
        descriptor[18] = field.flags;
        offset += field.length;
        position += 32;
    }
    data[position] = 0x0D;
    return bytes;
}

}  // namespace morvane
