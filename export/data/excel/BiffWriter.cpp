#include "export/data/excel/BiffWriter.h"

#include "export/data/EngineError.h"
#include "export/data/excel/ExcelBytes.h"
#include "export/data/excel/ExcelCodePage.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <string>

namespace morvane {

using namespace excelbytes;

namespace {

const char* const kFormats[] = {"yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss", "hh:mm:ss"};
constexpr int kFirstCustomFormat = 164;

bool Wide(const QString& text) {
    for (QChar ch : text)
        if (ch.unicode() > 0xFF) return true;
    return false;
}

// BIFF8 text: length (1 or 2 bytes), flags (bit 0: UTF-16), characters.
void PutUnicode(QByteArray& out, const QString& text, int lengthBytes) {
    if (lengthBytes == 1)
        Put8(out, static_cast<unsigned>(text.size()));
    else
        Put16(out, static_cast<unsigned>(text.size()));
    const bool wide = Wide(text);
    Put8(out, wide ? 1 : 0);
    for (QChar ch : text) {
        if (wide)
            Put16(out, ch.unicode());
        else
            Put8(out, ch.unicode());
    }
}

// BIFF3 to BIFF5 text: length (1 or 2 bytes), Windows-1252 bytes.
void PutBytes(QByteArray& out, const QString& text, int lengthBytes) {
    const QByteArray bytes = ExcelCodePage::Encode1252(text);
    if (lengthBytes == 1)
        Put8(out, static_cast<unsigned>(bytes.size()));
    else
        Put16(out, static_cast<unsigned>(bytes.size()));
    out.append(bytes);
}

QByteArray Bof(Biff version, quint16 type) {
    QByteArray data;
    quint16 record = biff::Bof;
    switch (version) {
        case Biff::V3:
        case Biff::V4:
            record = version == Biff::V3 ? biff::Bof3 : biff::Bof4;
            Put16(data, 0);
            Put16(data, type);
            Put16(data, 0);
            break;
        case Biff::V5:
            // Build 3218 of 1993 marks a BIFF5 file (later builds write the same records
            // but readers take them for BIFF7).
            Put16(data, 0x0500);
            Put16(data, type);
            Put16(data, 3218);
            Put16(data, 1993);
            break;
        case Biff::V8:
            Put16(data, 0x0600);
            Put16(data, type);
            Put16(data, 0x0DBB);
            Put16(data, 0x07CC);
            Put32(data, 0);
            Put32(data, 6);
            break;
    }
    QByteArray out;
    PutRecord(out, record, data);
    return out;
}

// FONT x6, FORMAT, XF x20 (and STYLE from BIFF5 on).
QByteArray Formatting(Biff version) {
    QByteArray out;
    const bool workbook = version == Biff::V5 || version == Biff::V8;
    for (int font = 0; font < 6; ++font) {
        const bool bold = font >= 4;
        QByteArray data;
        Put16(data, 200);  // 10 points
        Put16(data, bold ? 1 : 0);
        Put16(data, 0x7FFF);
        if (workbook) {
            Put16(data, bold ? 700 : 400);
            Put16(data, 0);
            Put8(data, 0);
            Put8(data, 0);
            Put8(data, 0);
            Put8(data, 0);
        }
        if (version == Biff::V8)
            PutUnicode(data, QStringLiteral("Arial"), 1);
        else
            PutBytes(data, QStringLiteral("Arial"), 1);
        PutRecord(out, workbook ? biff::Font : biff::Font34, data);
    }
    // Formats: BIFF5/8 number their own formats from 164; BIFF3/4 number them by order,
    // General first.
    QStringList formats;
    if (!workbook) formats << QStringLiteral("General");
    for (const char* format : kFormats) formats << QString::fromLatin1(format);
    for (int index = 0; index < formats.size(); ++index) {
        QByteArray data;
        if (workbook) Put16(data, static_cast<unsigned>(kFirstCustomFormat + index));
        if (version == Biff::V4) Put16(data, 0);
        if (version == Biff::V8)
            PutUnicode(data, formats[index], 2);
        else
            PutBytes(data, formats[index], 1);
        PutRecord(out, version == Biff::V3 ? biff::Format3 : biff::Format, data);
    }
    for (int xf = 0; xf < 20; ++xf) {
        const bool style = xf < 15;
        const int font = xf == 19 ? 5 : 0;
        int format = 0;
        if (xf >= 16 && xf <= 18) format = workbook ? kFirstCustomFormat + xf - 16 : xf - 15;
        QByteArray data;
        switch (version) {
            case Biff::V8:
                Put16(data, font);
                Put16(data, format);
                Put16(data, style ? 0xFFF5 : 0x0001);  // locked; style XF without parent
                Put8(data, 0x20);                      // bottom aligned
                Put8(data, 0);
                Put8(data, 0);
                Put8(data, style ? 0 : 0xF8);  // attributes of its own
                Put32(data, 0);
                Put32(data, 0);
                Put16(data, 0x20C0);  // pattern colours 64 and 65 (system)
                break;
            case Biff::V5:
                Put16(data, font);
                Put16(data, format);
                Put16(data, style ? 0xFFF5 : 0x0001);
                Put8(data, 0x20);
                Put8(data, style ? 0 : 0xF8);
                Put32(data, 0x000020C0);
                Put32(data, 0);
                break;
            case Biff::V4:
                Put8(data, font);
                Put8(data, format);
                Put16(data, style ? 0xFFF5 : 0x0001);
                Put8(data, 0x20);
                Put8(data, style ? 0 : 0xF8);
                Put16(data, 0xCE00);  // no pattern, system colours
                Put32(data, 0);
                break;
            case Biff::V3:
                Put8(data, font);
                Put8(data, format);
                Put8(data, style ? 0x05 : 0x01);
                Put8(data, style ? 0 : 0xF8);
                Put16(data, style ? 0xFFF0 : 0x0000);
                Put16(data, 0xCE00);
                Put32(data, 0);
                break;
        }
        PutRecord(out, workbook ? biff::Xf : version == Biff::V4 ? biff::Xf4 : biff::Xf3, data);
    }
    if (workbook) {
        QByteArray data;
        Put16(data, 0x8000);  // built-in style Normal on XF 0
        Put8(data, 0);
        Put8(data, 0xFF);
        PutRecord(out, biff::Style, data);
    }
    return out;
}

QByteArray CodePageRecord(Biff version) {
    QByteArray data, out;
    Put16(data, version == Biff::V8 ? 1200 : 1252);
    PutRecord(out, biff::CodePage, data);
    return out;
}

// The shared string table: SST, then CONTINUE records; a string's characters that do not
// fit go on in the next record after a new flags byte.
QByteArray SharedStrings(const ExcelStrings& strings, qint64 total) {
    QByteArray out;
    QByteArray record;
    bool first = true;
    const int limit = biff::MaxRecordData(Biff::V8);
    auto flush = [&] {
        PutRecord(out, first ? biff::Sst : biff::Continue, record);
        first = false;
        record.clear();
    };
    Put32(record, static_cast<quint32>(total));
    Put32(record, strings.Count());
    for (quint32 index = 0; index < strings.Count(); ++index) {
        const QString& text = strings.At(index);
        const bool wide = Wide(text);
        const int size = wide ? 2 : 1;
        if (record.size() + 3 + size > limit) flush();
        Put16(record, static_cast<unsigned>(text.size()));
        Put8(record, wide ? 1 : 0);
        qsizetype done = 0;
        while (done < text.size()) {
            const qsizetype room = (limit - record.size()) / size;
            const qsizetype count = std::min(room, text.size() - done);
            for (qsizetype at = done; at < done + count; ++at) {
                if (wide)
                    Put16(record, text[at].unicode());
                else
                    Put8(record, text[at].unicode());
            }
            done += count;
            if (done < text.size()) {
                flush();
                Put8(record, wide ? 1 : 0);
            }
        }
    }
    flush();
    return out;
}

QByteArray Window1() {
    QByteArray data, out;
    for (unsigned value : {0x0168u, 0x001Eu, 0x3A98u, 0x2328u, 0x0038u, 0u, 0u, 1u, 0x0258u})
        Put16(data, value);
    PutRecord(out, biff::Window1, data);
    return out;
}

QByteArray Window2(Biff version, bool selected) {
    QByteArray data, out;
    Put16(data, selected ? 0x06B6 : 0x00B6);
    Put16(data, 0);
    Put16(data, 0);
    if (version == Biff::V8) {
        Put16(data, 64);
        Put16(data, 0);
        Put16(data, 0);
        Put16(data, 0);
        Put32(data, 0);
    } else {
        Put32(data, 0);
    }
    PutRecord(out, biff::Window2, data);
    return out;
}

// COLINFO for every column with a width, then DIMENSIONS.
QByteArray SheetHead(Biff version, const ExcelSheetModel& sheet) {
    QByteArray out;
    for (size_t column = 0; column < sheet.Widths().size(); ++column) {
        QByteArray data;
        Put16(data, static_cast<unsigned>(column));
        Put16(data, static_cast<unsigned>(column));
        Put16(data, static_cast<unsigned>(std::min(255, sheet.Widths()[column]) * 256 + 182));
        Put16(data, 15);
        Put16(data, 0);
        Put16(data, 0);
        PutRecord(out, biff::ColInfo, data);
    }
    QByteArray data;
    if (version == Biff::V8) {
        Put32(data, 0);
        Put32(data, sheet.Rows());
    } else {
        Put16(data, 0);
        Put16(data, sheet.Rows());
    }
    Put16(data, 0);
    Put16(data, static_cast<unsigned>(sheet.Columns()));
    Put16(data, 0);
    PutRecord(out, biff::Dimensions, data);
    return out;
}

qint64 CellBytes(Biff version, const ExcelSheetModel& sheet) {
    const qint64 texts = sheet.Cells(SpooledCell::Text);
    const qint64 textBytes = version == Biff::V8 ? 14 * texts : 12 * texts + sheet.TextCharacters();
    return 18 * sheet.Cells(SpooledCell::Number) + 12 * sheet.Cells(SpooledCell::Boolean) +
           textBytes;
}

//! A cell record's start: its number and length, then the cell's row, column and format.
void PutCellStart(LocalBytes<18>& bytes, unsigned record, unsigned length, const SpooledCell& cell,
                  unsigned xf) {
    bytes.Put16(record);
    bytes.Put16(length);
    bytes.Put16(cell.Row);
    bytes.Put16(cell.Column);
    bytes.Put16(xf);
}

void PutCell(std::string& out, Biff version, const SpooledCell& cell, const ExcelStrings& strings) {
    const unsigned xf = static_cast<unsigned>(BiffWriter::XfOf(cell.Style));
    LocalBytes<18> bytes;  // the longest fixed part: NUMBER's 4 + 14 bytes
    switch (cell.Type) {
        case SpooledCell::Number:
            PutCellStart(bytes, biff::Number, 14, cell, xf);
            bytes.PutF64(cell.Value);
            break;
        case SpooledCell::Boolean:
            PutCellStart(bytes, biff::BoolErr, 8, cell, xf);
            bytes.Put8(cell.Value != 0 ? 1 : 0);
            bytes.Put8(0);
            break;
        case SpooledCell::Text:
            if (version == Biff::V8) {
                PutCellStart(bytes, biff::LabelSst, 10, cell, xf);
                bytes.Put32(cell.String);
            } else {
                const QString& text = strings.At(cell.String);
                PutCellStart(bytes, biff::Label, static_cast<unsigned>(8 + text.size()), cell, xf);
                QByteArray label;
                PutBytes(label, text, 2);
                bytes.AppendTo(out);
                out.append(label.constData(), static_cast<size_t>(label.size()));
                return;
            }
            break;
    }
    bytes.AppendTo(out);
}

// Output in 64 KiB pieces.
class Sink {
  public:
    explicit Sink(GsfOutput* output) : output_(output) { buffer_.reserve(65536 + 8192); }
    void Add(const QByteArray& bytes) {
        buffer_.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        if (buffer_.size() >= 65536) Flush();
    }
    //! The pending bytes. A std::string: cells are appended to it by the million, and its
    //! append costs a fraction of a QByteArray's.
    std::string& Buffer() { return buffer_; }
    void Flush() {
        if (!buffer_.empty() && !gsf_output_write(output_, buffer_.size(),
                                                  reinterpret_cast<const guint8*>(buffer_.data())))
            failed_ = true;
        buffer_.clear();
    }
    bool Failed() const { return failed_; }

  private:
    GsfOutput* output_;
    std::string buffer_;
    bool failed_ = false;
};

// The globals substream with the sheets at `offsets`.
QByteArray Globals(const ExcelWorkbook& book, const std::vector<quint32>& offsets, qint64 texts) {
    const Biff version = book.Version;
    QByteArray out = Bof(version, biff::Globals);
    out += CodePageRecord(version);
    out += Window1();
    QByteArray mode;
    Put16(mode, 0);
    PutRecord(out, biff::DateMode, mode);
    out += Formatting(version);
    for (size_t index = 0; index < book.Sheets.size(); ++index) {
        QByteArray data;
        Put32(data, offsets[index]);
        Put8(data, 0);  // visible
        Put8(data, 0);  // worksheet
        if (version == Biff::V8)
            PutUnicode(data, book.Sheets[index]->Name(), 1);
        else
            PutBytes(data, book.Sheets[index]->Name(), 1);
        PutRecord(out, biff::BoundSheet, data);
    }
    if (version == Biff::V8) out += SharedStrings(book.Strings, texts);
    PutRecord(out, biff::Eof, QByteArray());
    return out;
}

void WriteStream(const ExcelWorkbook& book, Sink& sink) {
    const Biff version = book.Version;
    const bool workbook = version == Biff::V5 || version == Biff::V8;
    std::vector<QByteArray> heads, tails;
    std::vector<qint64> sizes;
    qint64 texts = 0;
    for (size_t index = 0; index < book.Sheets.size(); ++index) {
        const ExcelSheetModel& sheet = *book.Sheets[index];
        QByteArray head = Bof(version, biff::Worksheet);
        if (!workbook) head += CodePageRecord(version) + Formatting(version);
        head += SheetHead(version, sheet);
        QByteArray tail = Window2(version, index == 0);
        PutRecord(tail, biff::Eof, QByteArray());
        sizes.push_back(head.size() + CellBytes(version, sheet) + tail.size());
        heads.push_back(std::move(head));
        tails.push_back(std::move(tail));
        texts += sheet.Cells(SpooledCell::Text);
    }
    if (workbook) {
        std::vector<quint32> offsets(book.Sheets.size(), 0);
        const qint64 globalsSize = Globals(book, offsets, texts).size();
        qint64 at = globalsSize;
        for (size_t index = 0; index < sizes.size(); ++index) {
            offsets[index] = static_cast<quint32>(at);
            at += sizes[index];
        }
        sink.Add(Globals(book, offsets, texts));
    }
    for (size_t index = 0; index < book.Sheets.size(); ++index) {
        sink.Add(heads[index]);
        book.Sheets[index]->ForEach([&](const SpooledCell& cell) {
            PutCell(sink.Buffer(), version, cell, book.Strings);
            if (sink.Buffer().size() >= 65536) sink.Flush();
        });
        sink.Add(tails[index]);
    }
    sink.Flush();
}

}  // namespace

void BiffWriter::Write(const ExcelWorkbook& book, const QString& path) {
    gsf_init();
    const QFileInfo info(path);
    QTemporaryFile temporary(
        info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    if (!temporary.open()) throw EngineError::Of(ErrCannotOpenFile, path);
    temporary.close();
    const QByteArray temporaryName = QFile::encodeName(temporary.fileName());
    GError* error = nullptr;
    GsfOutput* file = gsf_output_stdio_new(temporaryName.constData(), &error);
    if (!file) {
        if (error) g_error_free(error);
        throw EngineError::Of(ErrCannotOpenFile, path);
    }
    bool failed = false;
    if (book.Version == Biff::V5 || book.Version == Biff::V8) {
        GsfOutfile* ole = gsf_outfile_msole_new(file);
        GsfOutput* stream =
            gsf_outfile_new_child(ole, book.Version == Biff::V8 ? "Workbook" : "Book", FALSE);
        Sink sink(stream);
        WriteStream(book, sink);
        failed = sink.Failed();
        failed = !gsf_output_close(stream) || failed;
        g_object_unref(stream);
        failed = !gsf_output_close(GSF_OUTPUT(ole)) || failed;
        g_object_unref(ole);
    } else {
        Sink sink(file);
        WriteStream(book, sink);
        failed = sink.Failed();
    }
    // Closing the compound file closes its sink too.
    if (!gsf_output_is_closed(file)) failed = !gsf_output_close(file) || failed;
    g_object_unref(file);
    if (failed) throw EngineError::Of(ErrDiskIO, QStringLiteral("writing %1").arg(path));
    // The new file gets the old one's permissions, or the usual ones of a new document.
    QFile::setPermissions(temporary.fileName(), info.exists()
                                                    ? QFile::permissions(path)
                                                    : QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0)
        throw EngineError::Of(ErrDiskIO, QStringLiteral("replacing %1").arg(path));
    temporary.setAutoRemove(false);
}

}  // namespace morvane
