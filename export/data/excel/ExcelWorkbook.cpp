#include "export/data/excel/ExcelWorkbook.h"

#include "export/data/EngineError.h"
#include "export/data/excel/ExcelBytes.h"

namespace morvane {

using namespace excelbytes;

namespace {

constexpr int kCellBytes = 16;
constexpr int kBufferBytes = 64 * 1024;

}  // namespace

quint32 ExcelStrings::Intern(const QString& text) {
    const auto found = index_.constFind(text);
    if (found != index_.constEnd()) return *found;
    const quint32 index = static_cast<quint32>(items_.size());
    items_.push_back(text);
    index_.insert(text, index);
    return index;
}

ExcelSheetModel::ExcelSheetModel(QString name) : name_(std::move(name)) {}

void ExcelSheetModel::Add(const SpooledCell& cell, const ExcelStrings& strings) {
    if (!spool_.isOpen()) {
        if (!spool_.open())
            throw EngineError::Of(ErrDiskIO, QStringLiteral("cannot create a temporary file"));
        buffer_.reserve(kBufferBytes + 64);
    }
    // Row u32, column u16, kind u8, style u8, then the number or the string index.
    LocalBytes<kCellBytes> bytes;
    bytes.Put32(cell.Row);
    bytes.Put16(cell.Column);
    bytes.Put8(cell.Type);
    bytes.Put8(static_cast<unsigned>(cell.Style));
    if (cell.Type == SpooledCell::Text) {
        bytes.Put32(cell.String);
        bytes.Put32(0);
        textCharacters_ += strings.At(cell.String).size();
    } else {
        bytes.PutF64(cell.Value);
    }
    bytes.AppendTo(buffer_);
    ++counts_[cell.Type];
    rows_ = std::max(rows_, cell.Row + 1);
    columns_ = std::max(columns_, cell.Column + 1);
    if (buffer_.size() >= static_cast<size_t>(kBufferBytes)) FlushBuffer();
}

void ExcelSheetModel::FlushBuffer() const {
    if (buffer_.empty()) return;
    spool_.seek(spool_.size());
    if (spool_.write(buffer_.data(), static_cast<qint64>(buffer_.size())) !=
        static_cast<qint64>(buffer_.size()))
        throw EngineError::Of(ErrDiskIO, QStringLiteral("cannot write a temporary file"));
    buffer_.clear();  // keeps the capacity: no allocation per piece
}

void ExcelSheetModel::ForEach(const std::function<void(const SpooledCell&)>& visit) const {
    if (!spool_.isOpen()) return;
    FlushBuffer();
    spool_.seek(0);
    QByteArray chunk;
    for (;;) {
        chunk = spool_.read(kBufferBytes / kCellBytes * kCellBytes);
        if (chunk.isEmpty()) break;
        for (int at = 0; at + kCellBytes <= chunk.size(); at += kCellBytes) {
            SpooledCell cell;
            cell.Row = U32(chunk, at);
            cell.Column = U16(chunk, at + 4);
            cell.Type = static_cast<SpooledCell::Kind>(U8(chunk, at + 6));
            cell.Style = static_cast<SpoolStyle>(U8(chunk, at + 7));
            if (cell.Type == SpooledCell::Text)
                cell.String = U32(chunk, at + 8);
            else
                cell.Value = F64(chunk, at + 8);
            visit(cell);
        }
    }
}

ExcelSheetModel* ExcelWorkbook::Find(const QString& name) const {
    for (const auto& sheet : Sheets)
        if (sheet->Name().compare(name, Qt::CaseInsensitive) == 0) return sheet.get();
    return nullptr;
}

}  // namespace morvane
