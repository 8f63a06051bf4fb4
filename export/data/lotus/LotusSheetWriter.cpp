#include "export/data/lotus/LotusSheetWriter.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/FieldValue.h"

#include <QUuid>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace morvane {

namespace {

constexpr int kFlushSize = 1 << 16;

//! Characters a column of this field shows at most.
int WidthOf(const LotusColumn& column) {
    int width = 12;
    switch (column.Type) {
        case dbBoolean:
            width = 6;
            break;
        case dbByte:
            width = 4;
            break;
        case dbInteger:
            width = 7;
            break;
        case dbLong:
            width = 11;
            break;
        case dbDate:
        case dbTime:
        case dbTimeStamp:
            width = 10;
            break;
        case dbText:
        case dbChar:
            width = column.Size > 0 ? column.Size : 50;
            break;
        case dbMemo:
        case dbLongBinary:
        case dbBinary:
        case dbVarBinary:
            width = LotusLimits::ColumnWidthCap;
            break;
        case dbGUID:
            width = 38;
            break;
        default:
            break;
    }
    width = std::max<int>(width, static_cast<int>(column.Name.size()));
    return std::clamp(width, 1, LotusLimits::ColumnWidthCap);
}

}  // namespace

LotusSheetWriter::LotusSheetWriter(const QString& path, LotusVersion version)
    : path_(path), version_(version), file_(path) {}

void LotusSheetWriter::Open() {
    if (!file_.open(QIODevice::WriteOnly)) throw EngineError::Of(ErrCannotOpenFile, path_);
}

void LotusSheetWriter::Failed() {
    file_.cancelWriting();
    throw EngineError::Of(ErrDiskIO, file_.errorString());
}

std::unique_ptr<LotusSheetWriter> LotusSheetWriter::Create(
    const QString& path, LotusVersion version, const std::vector<LotusColumn>& columns) {
    if (columns.size() > static_cast<size_t>(LotusLimits::Columns))
        throw EngineError::Of(
            ErrNotSupported,
            QStringLiteral("a %1 sheet holds at most %2 columns; the table has %3 fields.")
                .arg(LotusTypeName(version))
                .arg(LotusLimits::Columns)
                .arg(columns.size()));
    std::unique_ptr<LotusSheetWriter> writer(new LotusSheetWriter(path, version));
    writer->Open();
    writer->lastColumn_ = static_cast<int>(columns.size()) - 1;
    QByteArray body;
    if (version == LotusVersion::Wk1) {
        LotusPutU16(body, LotusCode::Wk1Revision);
        writer->Record(LotusRecord::Bof, body);
        writer->rangeOffset_ = writer->buffer_.size() + 4;
        writer->Record(LotusRecord::Range, QByteArray(8, '\0'));
        for (size_t column = 0; column < columns.size(); ++column) {
            body.clear();
            LotusPutU16(body, static_cast<quint16>(column));
            body.append(static_cast<char>(WidthOf(columns[column])));
            writer->Record(LotusRecord::ColumnWidth1, body);
        }
    } else {
        body = QByteArray(26, '\0');
        LotusPatchU16(body, 0, LotusCode::Wk3Revision);
        LotusPatchU16(body, 2, 0x0004);
        body[10] = 1;     // one sheet
        body[16] = 0x01;  // LMBCS group 1 for bytes 0x80 to 0xFF
        body[17] = 0x02;
        writer->rangeOffset_ = 4;
        writer->Record(LotusRecord::Bof, body);
        body = QByteArray(4, '\0');
        for (size_t column = 0; column < columns.size(); ++column) {
            body.append(static_cast<char>(column));
            body.append(static_cast<char>(WidthOf(columns[column])));
        }
        writer->Record(LotusRecord::ColumnWidth3, body);
    }
    for (size_t column = 0; column < columns.size(); ++column)
        writer->Label(0, static_cast<int>(column), columns[column].Name, columns[column]);
    writer->nextRow_ = 1;
    return writer;
}

std::unique_ptr<LotusSheetWriter> LotusSheetWriter::Continue(const LotusSheet& sheet) {
    std::unique_ptr<LotusSheetWriter> writer(new LotusSheetWriter(sheet.Path(), sheet.Version()));
    writer->Open();
    writer->buffer_ = QByteArray(reinterpret_cast<const char*>(sheet.Bytes()),
                                 static_cast<qsizetype>(sheet.EndOffset()));
    // WK3: the used range sits in the BOF body, when the body is long enough to hold it.
    const bool longBof = LotusU16(sheet.Bytes() + 2) >= 12;
    writer->rangeOffset_ = sheet.Version() == LotusVersion::Wk1 ? sheet.RangeOffset()
                           : longBof                            ? 4
                                                                : -1;
    writer->firstColumn_ = sheet.FirstColumn();
    writer->lastColumn_ = sheet.FirstColumn() + static_cast<int>(sheet.Columns().size()) - 1;
    writer->nextRow_ = sheet.NextRow();
    return writer;
}

void LotusSheetWriter::Record(quint16 type, const QByteArray& body) {
    LotusPutU16(buffer_, type);
    LotusPutU16(buffer_, static_cast<quint16>(body.size()));
    buffer_.append(body);
    if (buffer_.size() >= kFlushSize) Flush();
}

void LotusSheetWriter::Flush() {
    if (buffer_.isEmpty()) return;
    if (file_.write(buffer_) != buffer_.size()) Failed();
    buffer_.clear();
}

void LotusSheetWriter::Number(int row, int column, double number, quint8 format) {
    body_.clear();
    if (version_ == LotusVersion::Wk1) {
        body_.append(static_cast<char>(format));
        LotusPutU16(body_, static_cast<quint16>(column));
        LotusPutU16(body_, static_cast<quint16>(row));
        quint64 bits;
        std::memcpy(&bits, &number, sizeof bits);
        for (int byte = 0; byte < 8; ++byte)
            body_.append(static_cast<char>((bits >> (8 * byte)) & 0xFF));
        Record(LotusRecord::Number, body_);
    } else {
        LotusPutU16(body_, static_cast<quint16>(row));
        body_.append('\0');
        body_.append(static_cast<char>(column));
        body_.append(LotusEncodeExtended(number));
        Record(LotusRecord::Number3, body_);
    }
}

void LotusSheetWriter::Label(int row, int column, const QString& text,
                             const LotusColumn& definition) {
    const QByteArray bytes = LotusEncodeText(text);
    // The body's length is 16 bits: five bytes of place, the prefix, the text and its NUL.
    if (bytes.size() > 0xFFFF - 7) throw EngineError::Of(ErrFieldTooSmall, definition.Name);
    body_.clear();
    if (version_ == LotusVersion::Wk1) {
        body_.append(static_cast<char>(LotusCode::General));
        LotusPutU16(body_, static_cast<quint16>(column));
        LotusPutU16(body_, static_cast<quint16>(row));
    } else {
        LotusPutU16(body_, static_cast<quint16>(row));
        body_.append('\0');
        body_.append(static_cast<char>(column));
    }
    body_.append('\'');  // left-aligned label
    body_.append(bytes);
    body_.append('\0');
    Record(version_ == LotusVersion::Wk1 ? LotusRecord::Label : LotusRecord::Label3, body_);
}

void LotusSheetWriter::Cell(int row, int column, const QVariant& value,
                            const LotusColumn& definition) {
    if (value.isNull()) return;
    switch (value.metaType().id()) {
        case QMetaType::Bool:
            Number(row, column, value.toBool() ? 1 : 0, LotusCode::General);
            return;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::SChar: {
            const double number = value.toDouble();
            if (std::isfinite(number)) Number(row, column, number, LotusCode::General);
            return;
        }
        case QMetaType::QDate:
        case QMetaType::QDateTime:
        case QMetaType::QTime: {
            double serial = 0;
            if (LotusSerialOf(value, serial)) {
                const bool time = value.metaType().id() == QMetaType::QTime;
                Number(row, column, serial, time ? LotusCode::Time : LotusCode::Date);
            } else {
                // Before the worksheet calendar (1900): kept as text.
                Label(row, column, ValueTextAsLocal(value), definition);
            }
            return;
        }
        case QMetaType::QByteArray:
            Label(row, column,
                  QStringLiteral("0x") + QString::fromLatin1(value.toByteArray().toHex()),
                  definition);
            return;
        case QMetaType::QUuid:
            Label(row, column, value.toUuid().toString(), definition);
            return;
        default:
            break;
    }
    // Numeric and decimal fields hold decimal text: a number when it reads as one.
    if (definition.Type == dbNumeric || definition.Type == dbDecimal) {
        bool ok = false;
        const double number = value.toString().toDouble(&ok);
        if (ok && std::isfinite(number)) {
            Number(row, column, number, LotusCode::General);
            return;
        }
    }
    Label(row, column, value.toString(), definition);
}

void LotusSheetWriter::WriteRecord(const std::vector<QVariant>& values,
                                   const std::vector<LotusColumn>& columns) {
    if (nextRow_ >= LotusLimits::Rows)
        throw EngineError::Of(
            ErrNotSupported,
            QStringLiteral("the %1 sheet '%2' is full: it holds at most %3 rows (the field "
                           "names and %4 records).")
                .arg(LotusTypeName(version_), path_)
                .arg(LotusLimits::Rows)
                .arg(LotusLimits::Rows - 1));
    const size_t count = std::min(values.size(), columns.size());
    for (size_t column = 0; column < count; ++column)
        Cell(nextRow_, firstColumn_ + static_cast<int>(column), values[column], columns[column]);
    ++nextRow_;
    ++written_;
}

void LotusSheetWriter::Finish() {
    Record(LotusRecord::Eof, QByteArray());
    Flush();
    const int lastRow = std::max(nextRow_ - 1, 0);
    const int lastColumn = std::max(lastColumn_, 0);
    if (rangeOffset_ >= 0) {
        QByteArray patch;
        if (version_ == LotusVersion::Wk1) {
            LotusPutU16(patch, static_cast<quint16>(firstColumn_));
            LotusPutU16(patch, 0);
            LotusPutU16(patch, static_cast<quint16>(lastColumn));
            LotusPutU16(patch, static_cast<quint16>(lastRow));
            if (!file_.seek(rangeOffset_) || file_.write(patch) != patch.size()) Failed();
        } else {
            LotusPutU16(patch, static_cast<quint16>(lastRow));
            patch.append('\x01');
            patch.append(static_cast<char>(lastColumn));
            if (!file_.seek(rangeOffset_ + 4) || file_.write(patch) != patch.size()) Failed();
        }
    }
    if (!file_.commit()) {
        const bool full = file_.error() == QFileDevice::ResourceError;
        throw full ? EngineError::Of(ErrDiskFull) : EngineError::Of(ErrDiskIO, file_.errorString());
    }
}

void LotusSheetWriter::Abandon() {
    file_.cancelWriting();
    file_.commit();  // cancelled: the previous file is left alone
}

}  // namespace morvane
