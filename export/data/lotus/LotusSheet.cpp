#include "export/data/lotus/LotusSheet.h"

#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace morvane {

namespace {

double ReadDouble(const uchar* p) {
    quint64 bits = 0;
    for (int byte = 7; byte >= 0; --byte) bits = (bits << 8) | p[byte];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

//! The text of a NUL-terminated string of at most `size` bytes, without its label prefix
//! when `prefixed`.
QString TextAt(const uchar* p, int size, bool prefixed) {
    const auto* start = reinterpret_cast<const char*>(p);
    const void* nul = std::memchr(start, 0, static_cast<size_t>(size));
    int length = nul ? static_cast<int>(static_cast<const char*>(nul) - start) : size;
    if (prefixed && length > 0 && std::strchr("'\"^\\|", start[0])) {
        ++start;
        --length;
    }
    return LotusDecodeText(start, length);
}

//! True when the label body (prefix, text, NUL) holds no character.
bool EmptyLabel(const uchar* p, int size) {
    const bool prefix = size > 0 && p[0] != 0 && std::strchr("'\"^\\|", p[0]);
    const int at = prefix ? 1 : 0;
    return at >= size || p[at] == 0;
}

}  // namespace

std::shared_ptr<LotusSheet> LotusSheet::Open(const QString& path) {
    std::shared_ptr<LotusSheet> sheet(new LotusSheet);
    sheet->path_ = path;
    sheet->file_.setFileName(path);
    if (QFileInfo(path).isDir() || !sheet->file_.open(QIODevice::ReadOnly))
        throw EngineError::Of(ErrCannotOpenFile, path);
    sheet->size_ = sheet->file_.size();
    if (sheet->size_ < 6 || sheet->size_ > 0x7FFFFFFF)
        throw EngineError::Of(ErrUnrecognizedFormat, path);
    sheet->data_ = sheet->file_.map(0, sheet->size_);
    if (!sheet->data_) throw EngineError::Of(ErrCannotOpenFile, path);
    sheet->Scan();
    sheet->Index();
    sheet->TypeColumns();
    return sheet;
}

void LotusSheet::Damaged(const QString& what) const {
    throw EngineError::Of(ErrCorruptDatabase, path_, what);
}

void LotusSheet::Scan() {
    // The beginning-of-file record names the format: 0x0404 to 0x0406 the Release 1 and 2
    // family (WKS, Symphony, WK1), 0x1000 and later Release 3 and after (WK3, WK4).
    if (LotusU16(data_) != LotusRecord::Bof || LotusU16(data_ + 2) < 2 ||
        4 + LotusU16(data_ + 2) > size_)
        throw EngineError::Of(ErrUnrecognizedFormat, path_);
    const quint16 revision = LotusU16(data_ + 4);
    if (revision >= 0x0404 && revision <= 0x0406)
        version_ = LotusVersion::Wk1;
    else if (revision >= 0x1000 && revision <= 0x1005)
        version_ = LotusVersion::Wk3;
    else
        throw EngineError::Of(ErrUnrecognizedFormat, path_);
    const bool wk1 = version_ == LotusVersion::Wk1;

    qint64 at = 0;
    bool ended = false;
    while (at + 4 <= size_) {
        const quint16 type = LotusU16(data_ + at);
        const int length = LotusU16(data_ + at + 2);
        if (at + 4 + length > size_)
            Damaged(QStringLiteral("the record at byte %1 runs past the end of the file").arg(at));
        const uchar* body = data_ + at + 4;
        if (type == LotusRecord::Eof) {
            endOffset_ = at;
            ended = true;
            break;
        }
        int minimum = -1;  // body bytes a cell record needs; -1: not a cell we read
        bool label = false;
        if (wk1) {
            switch (type) {
                case LotusRecord::Range:
                    if (length >= 8) rangeOffset_ = at + 4;
                    break;
                case LotusRecord::Integer:
                    minimum = 7;
                    break;
                case LotusRecord::Number:
                    minimum = 13;
                    break;
                case LotusRecord::Formula:
                    minimum = 15;
                    break;
                case LotusRecord::Label:
                case LotusRecord::FormulaString1:
                    minimum = 5;
                    label = true;
                    break;
                default:
                    break;
            }
        } else {
            switch (type) {
                case LotusRecord::Number3:
                case LotusRecord::Formula3:
                    minimum = 14;
                    break;
                case LotusRecord::SmallNumber3:
                    minimum = 6;
                    break;
                case LotusRecord::Double3:
                    minimum = 12;
                    break;
                case LotusRecord::Label3:
                case LotusRecord::FormulaString3:
                    minimum = 4;
                    label = true;
                    break;
                default:
                    break;
            }
        }
        if (minimum >= 0) {
            if (length < minimum)
                Damaged(QStringLiteral("the cell record at byte %1 is %2 bytes long, too short")
                            .arg(at)
                            .arg(length));
            Cell cell{static_cast<quint32>(at), 0, 0, 0};
            bool keep = true;
            if (wk1) {
                const int column = LotusU16(body + 1);
                if (column >= LotusLimits::Columns)
                    Damaged(QStringLiteral("the cell at byte %1 lies in column %2, past the "
                                           "last column")
                                .arg(at)
                                .arg(column + 1));
                cell.Column = static_cast<quint8>(column);
                cell.Row = LotusU16(body + 3);
                if (label) keep = !EmptyLabel(body + 5, length - 5);
            } else {
                cell.Row = LotusU16(body);
                cell.Column = body[3];
                keep = body[2] == 0;  // the first sheet only
                if (label && keep) keep = !EmptyLabel(body + 4, length - 4);
            }
            if (keep) cells_.push_back(cell);
        }
        at += 4 + length;
    }
    if (!ended) Damaged(QStringLiteral("it ends without its end-of-file record"));
}

void LotusSheet::Index() {
    // Writers store cells row by row or column by column; reading needs rows. A formula's
    // text value follows its formula record at the same place, so the sort keeps file
    // order among equal places and the later record wins when a row is decoded.
    const auto before = [](const Cell& a, const Cell& b) {
        return a.Row != b.Row ? a.Row < b.Row : a.Column < b.Column;
    };
    if (!std::is_sorted(cells_.begin(), cells_.end(), before))
        std::stable_sort(cells_.begin(), cells_.end(), before);
    if (cells_.empty()) {
        rowStart_ = {0, 0};
        nextRow_ = 1;
        return;
    }
    headerRow_ = cells_.front().Row;
    const int lastRow = cells_.back().Row;
    int first = 255, last = 0;
    for (const Cell& cell : cells_) {
        first = std::min<int>(first, cell.Column);
        last = std::max<int>(last, cell.Column);
    }
    firstColumn_ = first;
    columns_.resize(static_cast<size_t>(last - first + 1));
    rowStart_.assign(static_cast<size_t>(lastRow - headerRow_ + 2), 0);
    size_t cell = 0;
    for (int row = headerRow_; row <= lastRow + 1; ++row) {
        while (cell < cells_.size() && cells_[cell].Row < row) ++cell;
        rowStart_[static_cast<size_t>(row - headerRow_)] = static_cast<quint32>(cell);
    }
    recordCount_ = lastRow - headerRow_;
    nextRow_ = lastRow + 1;
}

LotusSheet::Value LotusSheet::Decode(const Cell& cell) const {
    Value value;
    const uchar* record = data_ + cell.Offset;
    const quint16 type = LotusU16(record);
    const int length = LotusU16(record + 2);
    const uchar* body = record + 4;
    switch (type) {
        case LotusRecord::Integer:
        case LotusRecord::Number:
        case LotusRecord::Formula: {
            value.Is = Value::NumberKind;
            value.Number = type == LotusRecord::Integer ? static_cast<qint16>(LotusU16(body + 5))
                                                        : ReadDouble(body + 5);
            if (LotusIsDateFormat(body[0], value.Time)) value.Is = Value::DateKind;
            if (!std::isfinite(value.Number)) value.Is = Value::None;
            break;
        }
        case LotusRecord::Label:
            value.Is = Value::TextKind;
            value.Text = TextAt(body + 5, length - 5, true);
            break;
        case LotusRecord::FormulaString1:
            value.Is = Value::TextKind;
            value.Text = TextAt(body + 5, length - 5, false);
            break;
        case LotusRecord::Number3:
        case LotusRecord::Formula3:
            // A sign-and-exponent of 0xFFFF marks a special value (blank, error, NA, text
            // held elsewhere), none of which is a number.
            if (LotusU16(body + 12) == 0xFFFF) break;
            value.Is = Value::NumberKind;
            value.Number = LotusDecodeExtended(body + 4);
            break;
        case LotusRecord::SmallNumber3:
            value.Is = Value::NumberKind;
            value.Number = LotusDecodeSmallNumber(static_cast<qint16>(LotusU16(body + 4)));
            break;
        case LotusRecord::Double3:
            value.Is = Value::NumberKind;
            value.Number = ReadDouble(body + 4);
            if (!std::isfinite(value.Number)) value.Is = Value::None;
            break;
        case LotusRecord::Label3:
            value.Is = Value::TextKind;
            value.Text = TextAt(body + 4, length - 4, true);
            break;
        case LotusRecord::FormulaString3:
            value.Is = Value::TextKind;
            value.Text = TextAt(body + 4, length - 4, false);
            break;
        default:
            break;
    }
    return value;
}

void LotusSheet::TypeColumns() {
    // Field names: the header row's cells; an empty or repeated name becomes "F<n>" (n the
    // column's number from 1), since every field needs a name of its own.
    const size_t count = columns_.size();
    std::vector<int> seen(count, 0);  // 1 number, 2 date, 4 text
    for (quint32 at = rowStart_[0]; at < rowStart_[1]; ++at) {
        const Value value = Decode(cells_[at]);
        const size_t column = cells_[at].Column - firstColumn_;
        if (value.Is == Value::TextKind)
            columns_[column].Name = value.Text.trimmed();
        else if (value.Is != Value::None)
            columns_[column].Name = QString::number(value.Number, 'g', 15);
    }
    for (size_t column = 0; column < count; ++column) {
        QString& name = columns_[column].Name;
        bool taken = name.isEmpty();
        for (size_t other = 0; !taken && other < column; ++other)
            taken = columns_[other].Name.compare(name, Qt::CaseInsensitive) == 0;
        if (taken) name = QStringLiteral("F%1").arg(column + 1);
    }
    const qint64 rows = std::min<qint64>(recordCount_, kTypeRows);
    for (qint64 row = 1; row <= rows; ++row)
        for (quint32 at = rowStart_[static_cast<size_t>(row)];
             at < rowStart_[static_cast<size_t>(row + 1)]; ++at) {
            const Value value = Decode(cells_[at]);
            const size_t column = cells_[at].Column - firstColumn_;
            seen[column] |= value.Is == Value::NumberKind ? 1
                            : value.Is == Value::DateKind ? 2
                            : value.Is == Value::TextKind ? 4
                                                          : 0;
        }
    for (size_t column = 0; column < count; ++column) {
        LotusColumn& target = columns_[column];
        if (seen[column] & 4 || seen[column] == 0) {
            target.Type = dbText;
            target.Size = 255;
        } else {
            target.Type = seen[column] & 1 ? dbDouble : dbDate;
            target.Size = 8;
        }
    }
}

void LotusSheet::ReadRecord(qint64 index, std::vector<QVariant>& values) const {
    values.assign(columns_.size(), QVariant());
    const auto row = static_cast<size_t>(index + 1);
    if (row + 1 >= rowStart_.size()) return;
    for (quint32 at = rowStart_[row]; at < rowStart_[row + 1]; ++at) {
        const Value value = Decode(cells_[at]);
        const size_t column = cells_[at].Column - firstColumn_;
        const short type = columns_[column].Type;
        QVariant& out = values[column];
        switch (value.Is) {
            case Value::None:
                out = QVariant();
                break;
            case Value::TextKind:
                out = value.Text;
                break;
            case Value::NumberKind:
            case Value::DateKind:
                if (type == dbDate)
                    out = LotusDateOf(value.Number, value.Time);
                else if (type == dbDouble)
                    out = value.Number;
                else
                    out = QString::number(value.Number, 'g', 15);
                break;
        }
    }
}

}  // namespace morvane
