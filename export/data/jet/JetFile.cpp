#include "export/data/jet/JetFile.h"

#include "export/data/EngineError.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>

namespace morvane {

namespace {

constexpr int kOffsetMask = 0x1FFF;
constexpr quint32 kInlineValue = 0x80000000u;
constexpr quint32 kSingleRowValue = 0x40000000u;
constexpr quint32 kLengthMask = 0x3FFFFFFFu;
constexpr int kReferenceSize = 12;

[[noreturn]] void RaiseUnrecognized(const QString& path) {
    throw EngineError::Of(ErrUnrecognizedFormat, path);
}

quint32 Read32(const unsigned char* bytes) {
    return qFromLittleEndian<quint32>(bytes);
}

}  // namespace

JetFile::JetFile(QString path, JetHeader header, quint32 pageCount, MdbHandle* handle)
    : path_(std::move(path)), header_(std::move(header)), pageCount_(pageCount), handle_(handle) {}

JetFile::~JetFile() {
    mdb_close(handle_);
}

std::unique_ptr<JetFile> JetFile::Open(const QString& path, const QString& password) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw EngineError::Of(ErrFileNotFoundEngine, path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw EngineError::Of(ErrCannotOpenFile, path);
    const JetHeader header = JetHeader::Parse(file.read(JetHeader::kMinimumSize));
    if (!header.Valid()) RaiseUnrecognized(path);
    // Page 0 and the catalogue's definition page (page 2) at least; a shorter file is cut.
    const qint64 pages = file.size() / header.PageSize();
    if (pages < 3 || pages > 0xFFFFFF) RaiseUnrecognized(path);
    if (header.Password() != password)
        throw EngineError::Of(ErrNotValidPassword);
    file.close();

    MdbHandle* handle = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle) RaiseUnrecognized(path);
    std::unique_ptr<JetFile> jet(new JetFile(path, header, static_cast<quint32>(pages), handle));
    if (handle->fmt->pg_size != header.PageSize()) RaiseUnrecognized(path);
    return jet;
}

void JetFile::RaiseCorrupt(const QString& what) const {
    throw EngineError::Of(ErrCorruptDatabase, path_, what);
}

MdbTableDef* JetFile::ReadTable(quint32 page, const QString& name) {
    if (!LoadPage(page) || handle_->pg_buf[0] != MDB_PAGE_TABLE)
        RaiseCorrupt(QStringLiteral("the definition of table '%1' is missing").arg(name));
    MdbCatalogEntry*& entry = entryByPage_[page];
    if (!entry) {
        entries_.emplace_back();
        entry = &entries_.back();
        entry->mdb = handle_;
        entry->object_type = MDB_TABLE;
        entry->table_pg = page;
        const QByteArray utf8 = name.toUtf8().left(MDB_MAX_OBJ_NAME);
        std::memcpy(entry->object_name, utf8.constData(), static_cast<size_t>(utf8.size()));
    }
    MdbTableDef* table = mdb_read_table(entry);
    if (!table) RaiseCorrupt(QStringLiteral("the definition of table '%1' is damaged").arg(name));
    // libmdb sizes its row buffers for MDB_MAX_COLS columns.
    if (table->num_cols == 0 || table->num_cols > MDB_MAX_COLS ||
        table->num_var_cols > table->num_cols || !LoadPage(page) || !mdb_read_columns(table) ||
        table->columns->len != table->num_cols) {
        mdb_free_tabledef(table);
        RaiseCorrupt(QStringLiteral("the columns of table '%1' are damaged").arg(name));
    }
    try {
        CheckUsageMap(table);
        CheckColumns(table);
    } catch (...) {
        mdb_free_tabledef(table);
        throw;
    }
    return table;
}

// libmdb walks the usage map to find the table's data pages without checking it: a map of
// type 0 is a start page (bytes 1-4) and a bitmap; a map of type 1 lists the pages that
// hold the bitmaps (4 bytes each), and libmdb ends the program when one cannot be read.
// Other types make libmdb scan every page, which is safe.
void JetFile::CheckUsageMap(MdbTableDef* table) {
    const QString what =
        QStringLiteral("the page map of table '%1' is damaged").arg(QString::fromUtf8(table->name));
    if (!table->usage_map || table->map_sz < 1) RaiseCorrupt(what);
    const unsigned char type = table->usage_map[0];
    if (type == 0 && table->map_sz < 5) RaiseCorrupt(what);
    if (type != 1) return;
    if (table->map_sz < 5) RaiseCorrupt(what);
    for (size_t offset = 1; offset + 4 <= table->map_sz; offset += 4) {
        const quint32 page = Read32(table->usage_map + offset);
        if (page != 0 && !ValidPage(page)) RaiseCorrupt(what);
    }
}

// The column entries libmdb uses to take rows apart: each must place its value inside a
// page, and the column numbers must be those of a table of this many columns.
void JetFile::CheckColumns(MdbTableDef* table) {
    for (guint index = 0; index < table->columns->len; ++index) {
        const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, index));
        if (column->col_size < 0 ||
            (column->is_fixed &&
             (column->fixed_offset < 0 || column->fixed_offset + column->col_size > PageSize())) ||
            column->row_col_num < 0 || column->row_col_num >= MDB_MAX_COLS * 4 ||
            (!column->is_fixed && column->var_col_num >= table->num_cols))
            RaiseCorrupt(QStringLiteral("column %1 of table '%2' is damaged")
                             .arg(QString::fromUtf8(column->name), QString::fromUtf8(table->name)));
    }
}

bool JetFile::LoadPage(quint64 page) {
    if (!ValidPage(page)) return false;
    return mdb_read_pg(handle_, static_cast<unsigned long>(page)) ==
           static_cast<ssize_t>(PageSize());
}

int JetFile::RowCount(const unsigned char* page) const {
    const int offset = handle_->fmt->row_count_offset;
    const int count = qFromLittleEndian<quint16>(page + offset);
    // The row directory must fit in the page before the rows it points at.
    if (offset + 2 + 2 * count > PageSize()) return -1;
    return count;
}

bool JetFile::FindRow(const unsigned char* page, int row, int* start, int* length,
                      bool* deleted) const {
    const int count = RowCount(page);
    if (row < 0 || row >= count) return false;
    const int offset = handle_->fmt->row_count_offset;
    const int entry = qFromLittleEndian<quint16>(page + offset + 2 + 2 * row);
    const int end =
        row == 0 ? PageSize() : qFromLittleEndian<quint16>(page + offset + 2 * row) & kOffsetMask;
    *start = entry & kOffsetMask;
    *deleted = (entry & 0x4000) != 0;
    *length = end - *start;
    const int directoryEnd = offset + 2 + 2 * count;
    return *start >= directoryEnd && end <= PageSize() && *length >= 0;
}

QByteArray JetFile::ReadLongValue(const unsigned char* reference, int size) {
    if (size < kReferenceSize) RaiseCorrupt(QStringLiteral("a long value reference is cut"));
    const quint32 header = Read32(reference);
    const quint32 length = header & kLengthMask;
    if (header & kInlineValue) {
        if (static_cast<quint32>(size - kReferenceSize) < length)
            RaiseCorrupt(QStringLiteral("an inline long value is longer than its row"));
        return QByteArray(reinterpret_cast<const char*>(reference + kReferenceSize),
                          static_cast<int>(length));
    }
    // A value can be no longer than the file that holds it.
    if (static_cast<quint64>(length) > static_cast<quint64>(pageCount_) * PageSize())
        RaiseCorrupt(QStringLiteral("a long value is longer than the file"));
    const bool singleRow = (header & kSingleRowValue) != 0;
    if (!singleRow && (header & ~kLengthMask) != 0)
        RaiseCorrupt(QStringLiteral("a long value reference has unknown flags"));
    QByteArray value;
    value.reserve(static_cast<int>(length));
    quint32 pageRow = Read32(reference + 4);
    // Each part comes from another row; more parts than pages means the chain loops.
    for (quint32 parts = 0; pageRow != 0; ++parts) {
        if (parts > pageCount_ * 256u) RaiseCorrupt(QStringLiteral("a long value chain loops"));
        const quint32 page = pageRow >> 8;
        if (!ValidPage(page) || mdb_read_alt_pg(handle_, page) != PageSize())
            RaiseCorrupt(QStringLiteral("a long value points past the end of the file"));
        const unsigned char* buffer = handle_->alt_pg_buf;
        int start = 0;
        int rowLength = 0;
        bool deleted = false;
        if (!FindRow(buffer, static_cast<int>(pageRow & 0xFF), &start, &rowLength, &deleted))
            RaiseCorrupt(QStringLiteral("a long value row is outside its page"));
        if (singleRow) {
            value.append(reinterpret_cast<const char*>(buffer + start),
                         std::min<int>(rowLength, static_cast<int>(length)));
            break;
        }
        if (rowLength < 4) RaiseCorrupt(QStringLiteral("a long value part is cut"));
        pageRow = Read32(buffer + start);
        const int take =
            std::min<qint64>(rowLength - 4, static_cast<qint64>(length) - value.size());
        value.append(reinterpret_cast<const char*>(buffer + start + 4), take);
        if (static_cast<quint32>(value.size()) >= length) break;
    }
    return value;
}

}  // namespace morvane
