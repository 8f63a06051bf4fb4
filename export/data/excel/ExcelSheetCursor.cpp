#include "export/data/excel/ExcelSheetCursor.h"

#include "export/data/excel/ExcelBytes.h"

#include <cmath>
#include <cstring>

namespace morvane {

using namespace excelbytes;

namespace {

// An RK value: a 30-bit integer or the high 30 bits of a double, divided by 100 when bit 0
// is set.
double RkValue(quint32 rk) {
    double value;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<qint32>(rk) >> 2);
    } else {
        const quint64 bits = static_cast<quint64>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

}  // namespace

ExcelSheetCursor::ExcelSheetCursor(std::shared_ptr<const ExcelFile> file, qint64 offset)
    : file_(std::move(file)), reader_(file_->OpenStream()), offset_(offset) {
    Restart();
}

void ExcelSheetCursor::Short() const {
    reader_->Damaged(QStringLiteral("record 0x%1 at offset %2 is too short")
                         .arg(reader_->Id(), 4, 16, QLatin1Char('0'))
                         .arg(reader_->Offset()));
}

void ExcelSheetCursor::Restart() {
    queue_.clear();
    formulaText_ = false;
    ended_ = false;
    reader_->Seek(offset_);
    if (!reader_->Next() ||
        (reader_->Id() != biff::Bof && reader_->Id() != biff::Bof3 && reader_->Id() != biff::Bof4))
        reader_->Damaged(QStringLiteral("a sheet does not start with a BOF record"));
    depth_ = 1;
}

void ExcelSheetCursor::Queue(const QByteArray& data, int column, ExcelCell::Kind kind, double value,
                             QString text) {
    ExcelCell cell;
    cell.Row = U16(data, 0);
    cell.Column = static_cast<quint16>(column);
    cell.Type = kind;
    cell.Value = value;
    cell.String = std::move(text);
    const XfInfo xf = file_->Xf(U16(data, 4));
    cell.Style = kind == ExcelCell::Number ? xf.Style : CellStyle::General;
    cell.Bold = xf.Bold;
    queue_.push_back(std::move(cell));
}

bool ExcelSheetCursor::Next(ExcelCell& cell) {
    // A formula's text result arrives in the STRING record after it: read on until it has.
    while ((queue_.empty() || (formulaText_ && queue_.size() == 1)) && !ended_) Fill();
    if (queue_.empty()) return false;
    cell = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

bool ExcelSheetCursor::Fill() {
    if (!reader_->Next()) reader_->Damaged(QStringLiteral("a sheet ends before its EOF record"));
    const quint16 id = reader_->Id();
    const QByteArray& data = reader_->Data();
    if (id == biff::Bof || id == biff::Bof3 || id == biff::Bof4 || id == biff::Bof2) {
        ++depth_;
        return false;
    }
    if (id == biff::Eof) {
        if (--depth_ == 0) {
            ended_ = true;
            formulaText_ = false;
        }
        return false;
    }
    if (depth_ > 1) return false;
    const Biff version = file_->Version();
    if (formulaText_ && id == biff::String) {
        int at = 0;
        queue_.back().String = file_->ReadText(data, at, 2, *reader_);
        formulaText_ = false;
        return true;
    }
    switch (id) {
        case biff::Number:
            if (data.size() < 14) Short();
            Queue(data, U16(data, 2), ExcelCell::Number, F64(data, 6));
            break;
        case biff::Rk:
            if (data.size() < 10) Short();
            Queue(data, U16(data, 2), ExcelCell::Number, RkValue(U32(data, 6)));
            break;
        case biff::MulRk: {
            if (data.size() < 6) Short();
            const int first = U16(data, 2);
            const int count = (static_cast<int>(data.size()) - 6) / 6;
            for (int index = 0; index < count; ++index) {
                // Each entry: XF then RK; Queue reads the XF at offset 4 of its argument.
                QByteArray entry = data.left(4);
                entry.append(data.constData() + 4 + 6 * index, 2);
                Queue(entry, first + index, ExcelCell::Number,
                      RkValue(U32(data, 4 + 6 * index + 2)));
            }
            break;
        }
        case biff::Label:
        case biff::RString: {
            if (data.size() < 8) Short();
            int at = 6;
            Queue(data, U16(data, 2), ExcelCell::Text, 0, file_->ReadText(data, at, 2, *reader_));
            break;
        }
        case biff::LabelSst:
            if (data.size() < 10 || version != Biff::V8) Short();
            Queue(data, U16(data, 2), ExcelCell::Text, 0, file_->SharedString(U32(data, 6)));
            break;
        case biff::BoolErr:
            if (data.size() < 8) Short();
            if (U8(data, 7) == 0)
                Queue(data, U16(data, 2), ExcelCell::Boolean, U8(data, 6) ? 1 : 0);
            else
                Queue(data, U16(data, 2), ExcelCell::Error, 0);
            break;
        case biff::Formula:
        case biff::Formula3:
        case biff::Formula4: {
            if (data.size() < 14) Short();
            formulaText_ = false;
            if (U16(data, 12) != 0xFFFF) {
                Queue(data, U16(data, 2), ExcelCell::Number, F64(data, 6));
                break;
            }
            switch (U8(data, 6)) {
                case 0:
                    Queue(data, U16(data, 2), ExcelCell::Text, 0);
                    formulaText_ = true;
                    break;
                case 1:
                    Queue(data, U16(data, 2), ExcelCell::Boolean, U8(data, 8) ? 1 : 0);
                    break;
                case 3:
                    Queue(data, U16(data, 2), ExcelCell::Text, 0);
                    break;
                default:
                    Queue(data, U16(data, 2), ExcelCell::Error, 0);
                    break;
            }
            break;
        }
        default:
            return false;
    }
    // A cell record ends the wait for a STRING record that never came: the text stays empty.
    if (queue_.size() > 1 && id != biff::Formula && id != biff::Formula3 && id != biff::Formula4)
        formulaText_ = false;
    return true;
}

}  // namespace morvane
