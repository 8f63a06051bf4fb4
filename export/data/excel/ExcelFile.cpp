#include "export/data/excel/ExcelFile.h"

#include "export/data/EngineError.h"
#include "export/data/excel/ExcelBytes.h"
#include "export/data/excel/ExcelCodePage.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <QFileInfo>

namespace morvane {

using namespace excelbytes;

namespace {

const char kOleSignature[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};

// Built-in number formats 14 to 22 and 45 to 47 are dates and times.
CellStyle BuiltInStyle(int index) {
    if (index >= 14 && index <= 17) return CellStyle::Date;
    if ((index >= 18 && index <= 21) || (index >= 45 && index <= 47)) return CellStyle::Time;
    if (index == 22) return CellStyle::DateTime;
    return CellStyle::General;
}

[[noreturn]] void Unrecognized(const QString& path) {
    throw EngineError::Of(ErrUnrecognizedFormat, path);
}

// A UTF-16 or compressed (Latin-1) character run of `count` characters at `at`.
QString Chars(const QByteArray& data, int at, int count, bool wide) {
    if (!wide) return QString::fromLatin1(data.constData() + at, count);
    QString text(count, Qt::Uninitialized);
    for (int index = 0; index < count; ++index) text[index] = QChar(U16(data, at + 2 * index));
    return text;
}

}  // namespace

ExcelFile::~ExcelFile() {
    if (stream_) g_object_unref(stream_);
}

CellStyle ExcelFile::StyleOfFormat(const QString& format) {
    bool date = false, time = false, month = false;
    for (qsizetype index = 0; index < format.size(); ++index) {
        const QChar ch = format[index].toLower();
        if (ch == QLatin1Char('"')) {
            index = format.indexOf(QLatin1Char('"'), index + 1);
            if (index < 0) break;
        } else if (ch == QLatin1Char('[')) {
            // [h] and [mm] elapsed times are times; colours and conditions are skipped.
            const qsizetype end = format.indexOf(QLatin1Char(']'), index + 1);
            if (end < 0) break;
            const QString inside = format.mid(index + 1, end - index - 1).toLower();
            if (inside == QLatin1String("h") || inside == QLatin1String("hh") ||
                inside == QLatin1String("mm") || inside == QLatin1String("ss"))
                time = true;
            index = end;
        } else if (ch == QLatin1Char('\\') || ch == QLatin1Char('_') || ch == QLatin1Char('*')) {
            ++index;
        } else if (ch == QLatin1Char('y') || ch == QLatin1Char('d')) {
            date = true;
        } else if (ch == QLatin1Char('h') || ch == QLatin1Char('s')) {
            time = true;
        } else if (ch == QLatin1Char('m')) {
            month = true;
        }
    }
    if (month && !time) date = true;
    if (date && time) return CellStyle::DateTime;
    if (date) return CellStyle::Date;
    if (time) return CellStyle::Time;
    return CellStyle::General;
}

std::shared_ptr<ExcelFile> ExcelFile::Open(const QString& path, const QString& oneSheetName) {
    const QFileInfo info(path);
    if (!info.exists()) throw EngineError::Of(ErrFileNotFoundEngine, path);
    if (!info.isFile() || !info.isReadable()) throw EngineError::Of(ErrCannotOpenFile, path);
    gsf_init();
    std::shared_ptr<ExcelFile> file(new ExcelFile());
    file->path_ = path;
    GError* error = nullptr;
    GsfInput* input = gsf_input_stdio_new(QFile::encodeName(path).constData(), &error);
    if (!input) {
        if (error) g_error_free(error);
        throw EngineError::Of(ErrCannotOpenFile, path);
    }
    const guint8* head = gsf_input_size(input) >= 8 ? gsf_input_read(input, 8, nullptr) : nullptr;
    const bool ole = head && std::memcmp(head, kOleSignature, 8) == 0;
    gsf_input_seek(input, 0, G_SEEK_SET);
    if (!ole) {
        file->stream_ = input;
    } else {
        GsfInfile* infile = gsf_infile_msole_new(input, &error);
        g_object_unref(input);
        if (!infile) {
            const QString why = error ? QString::fromUtf8(error->message) : QString();
            if (error) g_error_free(error);
            throw EngineError::Of(ErrCorruptDatabase, path,
                                  QStringLiteral("broken compound file: %1").arg(why));
        }
        for (const char* name : {"Workbook", "Book", "WORKBOOK", "BOOK"}) {
            file->stream_ = gsf_infile_child_by_name(infile, name);
            if (file->stream_) break;
        }
        g_object_unref(infile);
        if (!file->stream_) Unrecognized(path);
    }
    BiffRecordReader reader(gsf_input_dup(file->stream_, nullptr), path);
    if (!reader.Next() || reader.Data().size() < 4) Unrecognized(path);
    const QByteArray& bof = reader.Data();
    switch (reader.Id()) {
        case biff::Bof3:
            file->version_ = Biff::V3;
            break;
        case biff::Bof4:
            file->version_ = Biff::V4;
            break;
        case biff::Bof:
            file->version_ = U16(bof, 0) == 0x0600 ? Biff::V8 : Biff::V5;
            break;
        default:
            Unrecognized(path);
    }
    if (ole != (file->version_ == Biff::V5 || file->version_ == Biff::V8)) Unrecognized(path);
    file->ReadGlobals(reader, U16(bof, 2), oneSheetName);
    return file;
}

std::unique_ptr<BiffRecordReader> ExcelFile::OpenStream() const {
    GsfInput* copy = gsf_input_dup(stream_, nullptr);
    if (!copy) throw EngineError::Of(ErrCannotOpenFile, path_);
    return std::make_unique<BiffRecordReader>(copy, path_);
}

void ExcelFile::ReadGlobals(BiffRecordReader& reader, quint16 bofType,
                            const QString& oneSheetName) {
    const bool workbook = version_ == Biff::V5 || version_ == Biff::V8;
    if (bofType == biff::Workspace)
        throw EngineError::Of(
            ErrNotSupported,
            QStringLiteral("the file '%1' is an Excel 4.0 workbook, which is not read; save "
                           "its sheets as separate files")
                .arg(path_));
    if (workbook ? (bofType != biff::Globals && bofType != biff::Worksheet)
                 : bofType != biff::Worksheet)
        throw EngineError::Of(
            ErrNotSupported,
            QStringLiteral("the file '%1' holds a sheet type that is not read (0x%2)")
                .arg(path_)
                .arg(bofType, 4, 16, QLatin1Char('0')));
    if (bofType == biff::Worksheet) sheets_.push_back({oneSheetName, 0});
    const bool globalsOnly = bofType == biff::Globals;
    while (reader.Next()) {
        const QByteArray& data = reader.Data();
        const quint16 id = reader.Id();
        if (id == biff::Eof && globalsOnly) break;
        if (!globalsOnly && (id == biff::Dimensions || id == biff::Eof)) break;
        switch (id) {
            case biff::FilePass:
                throw EngineError::Of(
                    ErrNotSupported,
                    QStringLiteral("the workbook '%1' is protected by a password (encrypted); "
                                   "it cannot be read")
                        .arg(path_));
            case biff::CodePage:
                if (data.size() >= 2) codePage_ = U16(data, 0);
                break;
            case biff::DateMode:
                if (data.size() >= 2) date1904_ = U16(data, 0) == 1;
                break;
            case biff::Font:
            case biff::Font34:
                if (data.size() >= 4) {
                    // Font index 4 is never written: the fifth record is font 5.
                    if (fontBold_.size() == 4) fontBold_.push_back(false);
                    const bool bold = version_ == Biff::V5 || version_ == Biff::V8
                                          ? data.size() >= 8 && U16(data, 6) >= 700
                                          : (U16(data, 2) & 1) != 0;
                    fontBold_.push_back(bold);
                }
                break;
            case biff::Format:
            case biff::Format3: {
                int at = 0;
                int index = static_cast<int>(formats_.size());
                if (version_ == Biff::V5 || version_ == Biff::V8) {
                    if (data.size() < 2) break;
                    index = U16(data, 0);
                    at = 2;
                } else if (version_ == Biff::V4) {
                    at = 2;
                }
                const QString format = ReadText(data, at, version_ == Biff::V8 ? 2 : 1, reader);
                formats_.push_back({index, StyleOfFormat(format)});
                break;
            }
            case biff::Xf:
            case biff::Xf3:
            case biff::Xf4:
                if (data.size() >= 4) {
                    if (version_ == Biff::V5 || version_ == Biff::V8)
                        xfs_.push_back({U16(data, 0), U16(data, 2)});
                    else
                        xfs_.push_back({U8(data, 0), U8(data, 1)});
                }
                break;
            case biff::BoundSheet:
                if (globalsOnly && data.size() >= 7) {
                    int at = 6;
                    const qint64 offset = U32(data, 0);
                    const int type = U8(data, 5);
                    const QString name = ReadText(data, at, 1, reader);
                    if (type == 0) sheets_.push_back({name, offset});
                }
                break;
            case biff::Sst:
                if (version_ == Biff::V8) ReadSharedStrings(reader);
                break;
            default:
                break;
        }
    }
    for (const auto& [font, format] : xfs_) {
        XfInfo info;
        info.Bold = font >= 0 && static_cast<size_t>(font) < fontBold_.size() &&
                    fontBold_[static_cast<size_t>(font)];
        info.Style = BuiltInStyle(format);
        if (!workbook) info.Style = CellStyle::General;
        for (const auto& [index, style] : formats_)
            if (index == format) info.Style = style;
        xfInfo_.push_back(info);
    }
}

XfInfo ExcelFile::Xf(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= xfInfo_.size()) return {};
    return xfInfo_[static_cast<size_t>(index)];
}

const QString& ExcelFile::SharedString(quint32 index) const {
    if (index >= strings_.size())
        throw EngineError::Of(
            ErrCorruptDatabase, path_,
            QStringLiteral("shared string index %1 is out of range (the table holds %2)")
                .arg(index)
                .arg(strings_.size()));
    return strings_[index];
}

QString ExcelFile::ReadText(const QByteArray& data, int& at, int lengthBytes,
                            const BiffRecordReader& reader) const {
    if (!Has(data, at, lengthBytes)) reader.Damaged(QStringLiteral("a text runs past its record"));
    const int length = lengthBytes == 1 ? U8(data, at) : U16(data, at);
    at += lengthBytes;
    if (version_ != Biff::V8) {
        if (!Has(data, at, length)) reader.Damaged(QStringLiteral("a text runs past its record"));
        const QString text = ExcelCodePage::Decode(data.constData() + at, length, codePage_);
        at += length;
        return text;
    }
    if (!Has(data, at, 1)) reader.Damaged(QStringLiteral("a text runs past its record"));
    const int flags = U8(data, at++);
    int runs = 0;
    qint64 extended = 0;
    if (flags & 0x08) {
        if (!Has(data, at, 2)) reader.Damaged(QStringLiteral("a text runs past its record"));
        runs = U16(data, at);
        at += 2;
    }
    if (flags & 0x04) {
        if (!Has(data, at, 4)) reader.Damaged(QStringLiteral("a text runs past its record"));
        extended = U32(data, at);
        at += 4;
    }
    const bool wide = flags & 0x01;
    const qint64 bytes = static_cast<qint64>(length) * (wide ? 2 : 1);
    if (!Has(data, at, bytes)) reader.Damaged(QStringLiteral("a text runs past its record"));
    const QString text = Chars(data, at, length, wide);
    at += static_cast<int>(bytes);
    const qint64 skip = 4LL * runs + extended;
    at = static_cast<int>(std::min<qint64>(data.size(), at + skip));
    return text;
}

// The SST record and its CONTINUE records hold the strings back to back; a string's
// characters may go on in the next CONTINUE record, which then starts with a new flags byte
// (its characters may change between compressed and UTF-16 there).
void ExcelFile::ReadSharedStrings(BiffRecordReader& reader) {
    std::vector<QByteArray> parts{reader.Data()};
    qint64 next = reader.Offset() + 4 + reader.Data().size();
    for (;;) {
        if (!reader.Next()) break;
        if (reader.Id() != biff::Continue) {
            reader.Seek(reader.Offset());
            break;
        }
        parts.push_back(reader.Data());
        next = reader.Offset() + 4 + reader.Data().size();
    }
    Q_UNUSED(next);
    if (parts[0].size() < 8) reader.Damaged(QStringLiteral("the shared string table is cut short"));
    const quint32 unique = U32(parts[0], 4);
    size_t part = 0;
    int at = 8;
    // Bytes of string headers, rich-text runs and extensions, read across record borders.
    auto take = [&](int count, QByteArray* out) {
        while (count > 0) {
            if (part >= parts.size())
                reader.Damaged(QStringLiteral("the shared string table is cut short"));
            const int here = std::min(count, static_cast<int>(parts[part].size()) - at);
            if (out) out->append(parts[part].constData() + at, here);
            at += here;
            count -= here;
            if (at >= parts[part].size() && count > 0) {
                ++part;
                at = 0;
            }
        }
    };
    strings_.reserve(std::min<quint32>(unique, 65536));
    for (quint32 index = 0; index < unique; ++index) {
        if (part < parts.size() && at >= parts[part].size()) {
            ++part;
            at = 0;
        }
        if (part >= parts.size()) break;  // fewer strings than announced: the rest is absent
        QByteArray header;
        take(3, &header);
        int length = U16(header, 0);
        const int flags = U8(header, 2);
        bool wide = flags & 0x01;
        int runs = 0;
        qint64 extended = 0;
        if (flags & 0x08) {
            QByteArray count;
            take(2, &count);
            runs = U16(count, 0);
        }
        if (flags & 0x04) {
            QByteArray size;
            take(4, &size);
            extended = U32(size, 0);
        }
        QString text;
        text.reserve(length);
        while (length > 0) {
            if (part >= parts.size())
                reader.Damaged(QStringLiteral("the shared string table is cut short"));
            if (at >= parts[part].size()) {
                ++part;
                at = 0;
                if (part >= parts.size() || parts[part].isEmpty())
                    reader.Damaged(QStringLiteral("the shared string table is cut short"));
                wide = U8(parts[part], 0) & 0x01;
                at = 1;
                continue;
            }
            const int room = (static_cast<int>(parts[part].size()) - at) / (wide ? 2 : 1);
            if (room == 0)
                reader.Damaged(QStringLiteral("a shared string is split inside a character"));
            const int count = std::min(room, length);
            text += Chars(parts[part], at, count, wide);
            at += count * (wide ? 2 : 1);
            length -= count;
        }
        qint64 skip = 4LL * runs + extended;
        while (skip > 0) {
            if (part >= parts.size())
                reader.Damaged(QStringLiteral("the shared string table is cut short"));
            const qint64 here = std::min<qint64>(skip, parts[part].size() - at);
            at += static_cast<int>(here);
            skip -= here;
            if (skip > 0) {
                ++part;
                at = 0;
            }
        }
        strings_.push_back(std::move(text));
    }
}

}  // namespace morvane
