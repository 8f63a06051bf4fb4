#include "export/data/paradox/ParadoxBlob.h"

#include "export/data/EngineError.h"
#include "export/data/paradox/ParadoxLayout.h"

#include <unistd.h>

namespace morvane::paradox {

namespace {

constexpr quint32 kMaxBlob = 0xFFFFu * kMbChunk;  //!< 65535 chunks: the format's limit
constexpr int kUnits = kMbChunk / 16;

}  // namespace

void MbReader::Damaged(const QString& reason) const {
    throw EngineError::Of(ErrCorruptDatabase, path_, reason);
}

void MbReader::ReadAt(qint64 offset, char* out, qint64 size) {
    if (offset < 0 || size < 0 || offset + size > size_)
        Damaged(QStringLiteral("a memo pointer runs past the end of the file"));
    // Shared blocks hold up to 64 values: the last one read is kept.
    const qint64 chunk = offset / kMbChunk * kMbChunk;
    if (offset + size <= chunk + kMbChunk && chunk + kMbChunk <= size_) {
        if (cachedAt_ != chunk) {
            cache_.resize(kMbChunk);
            if (pread(file_.handle(), cache_.data(), kMbChunk, chunk) != kMbChunk)
                throw EngineError::Of(ErrDiskIO, path_);
            cachedAt_ = chunk;
        }
        memcpy(out, cache_.constData() + (offset - chunk), static_cast<size_t>(size));
        return;
    }
    if (pread(file_.handle(), out, static_cast<size_t>(size), offset) != size)
        throw EngineError::Of(ErrDiskIO, path_);
}

void MbReader::Invalidate() {
    cachedAt_ = -1;
    if (file_.isOpen()) size_ = file_.size();
}

QByteArray MbReader::Read(quint32 mbOffset, quint32 length) {
    if (size_ < 0) {
        file_.setFileName(path_);
        if (!file_.exists()) throw EngineError::Of(ErrFileNotFoundEngine, path_);
        if (!file_.open(QIODevice::ReadOnly)) throw EngineError::Of(ErrCannotOpenFile, path_);
        size_ = file_.size();
    }
    if (length > kMaxBlob) Damaged(QStringLiteral("a memo of %1 bytes").arg(length));
    const qint64 blockAt = mbOffset & ~quint32(0xFF);
    const unsigned index = mbOffset & 0xFF;
    if (blockAt == 0) Damaged(QStringLiteral("a memo pointer to the header block"));
    unsigned char head[kMbSlotArray];
    ReadAt(blockAt, reinterpret_cast<char*>(head), 9);
    const unsigned type = head[0];
    const qint64 chunks = Le16(head + 1);
    QByteArray value(static_cast<qsizetype>(length), Qt::Uninitialized);
    if (index == 0xFF) {
        if (type != 2) Damaged(QStringLiteral("a memo pointer to a block of type %1").arg(type));
        if (Le32(head + 3) != length || 9 + qint64(length) > chunks * kMbChunk)
            Damaged(QStringLiteral("a memo block whose length disagrees with its record"));
        ReadAt(blockAt + 9, value.data(), length);
        return value;
    }
    if (type != 3) Damaged(QStringLiteral("a memo pointer to a block of type %1").arg(type));
    if (index >= kMbSlots) Damaged(QStringLiteral("memo slot %1").arg(index));
    unsigned char slot[5];
    ReadAt(blockAt + kMbSlotArray + 5 * qint64(index), reinterpret_cast<char*>(slot), 5);
    const qint64 start = qint64(slot[0]) * 16;
    const qint64 units = slot[1];
    const qint64 last = slot[4];
    if (start < kMbSlotArray + 5 * kMbSlots || units < 1 || last < 1 || last > 16 ||
        start + units * 16 > kMbChunk || (units - 1) * 16 + last != qint64(length))
        Damaged(QStringLiteral("memo slot %1 disagrees with its record").arg(index));
    ReadAt(blockAt + start, value.data(), length);
    return value;
}

void MbWriter::Create(const QString& path) {
    QByteArray header(kMbChunk, '\0');
    auto* p = reinterpret_cast<unsigned char*>(header.data());
    p[0] = 0;
    PutLe16(p + 1, 1);  // one chunk
    PutLe16(p + 3, 1);  // modification count
    PutLe16(p + 0x0B, kMbChunk);
    PutLe16(p + 0x0D, kMbChunk);
    p[0x10] = 0x10;  // unit size of shared blocks
    PutLe16(p + 0x11, kMbSlots);
    PutLe16(p + 0x13, kMbSmallLimit);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(header) != header.size())
        throw EngineError::Of(ErrCannotOpenFile, path);
}

MbWriter::MbWriter(const QString& path) : path_(path), file_(path) {
    if (!file_.open(QIODevice::ReadWrite)) throw EngineError::Of(ErrCannotOpenFile, path);
    end_ = (file_.size() + kMbChunk - 1) / kMbChunk * kMbChunk;
    if (end_ < kMbChunk) end_ = kMbChunk;
}

MbWriter::~MbWriter() {
    try {
        Flush();
    } catch (const EngineError&) {
        // Reported by the explicit Flush of the owner; a destructor must not throw.
    }
}

void MbWriter::WriteAt(qint64 offset, const char* data, qint64 size) {
    if (!file_.seek(offset) || file_.write(data, size) != size)
        throw EngineError::Of(ErrDiskIO, path_);
}

void MbWriter::StartSharedBlock() {
    Flush();
    shared_ = QByteArray(kMbChunk, '\0');
    auto* p = reinterpret_cast<unsigned char*>(shared_.data());
    p[0] = 3;
    PutLe16(p + 1, 1);
    sharedAt_ = end_;
    end_ += kMbChunk;
    nextSlot_ = kMbSlots - 1;
    nextUnit_ = kMbSubDataStart / 16;
}

quint32 MbWriter::Write(const QByteArray& value) {
    const qint64 length = value.size();
    if (length > qint64(kMaxBlob))
        throw EngineError::Raise(ErrResourceExceeded,
                                 QStringLiteral("A memo of %1 bytes does not fit the file '%2'.")
                                     .arg(length)
                                     .arg(path_));
    if (length < kMbSmallLimit) {
        const int units = static_cast<int>((length + 15) / 16);
        if (shared_.isEmpty() || nextSlot_ < 0 || nextUnit_ + units > kUnits) StartSharedBlock();
        if (sharedAt_ > 0xFFFFF000LL)
            throw EngineError::Raise(ErrResourceExceeded,
                                     QStringLiteral("The memo file '%1' is full.").arg(path_));
        auto* p = reinterpret_cast<unsigned char*>(shared_.data());
        const int slot = nextSlot_--;
        unsigned char* entry = p + kMbSlotArray + 5 * slot;
        entry[0] = static_cast<unsigned char>(nextUnit_);
        entry[1] = static_cast<unsigned char>(units);
        PutLe16(entry + 2, 1);
        entry[4] = static_cast<unsigned char>(length - (units - 1) * 16);
        memcpy(p + nextUnit_ * 16, value.constData(), static_cast<size_t>(length));
        nextUnit_ += units;
        dirty_ = true;
        return static_cast<quint32>(sharedAt_) | static_cast<quint32>(slot);
    }
    const qint64 chunks = (9 + length + kMbChunk - 1) / kMbChunk;
    const qint64 at = end_;
    if (at + chunks * kMbChunk > 0xFFFFFF00LL)
        throw EngineError::Raise(ErrResourceExceeded,
                                 QStringLiteral("The memo file '%1' is full.").arg(path_));
    QByteArray block(static_cast<qsizetype>(chunks * kMbChunk), '\0');
    auto* p = reinterpret_cast<unsigned char*>(block.data());
    p[0] = 2;
    PutLe16(p + 1, static_cast<unsigned>(chunks));
    PutLe32(p + 3, static_cast<quint32>(length));
    PutLe16(p + 7, 1);
    memcpy(p + 9, value.constData(), static_cast<size_t>(length));
    WriteAt(at, block.constData(), block.size());
    end_ += chunks * kMbChunk;
    return static_cast<quint32>(at) | 0xFFu;
}

void MbWriter::Flush() {
    if (dirty_) {
        WriteAt(sharedAt_, shared_.constData(), shared_.size());
        dirty_ = false;
    }
    if (file_.isOpen()) file_.flush();
}

}  // namespace morvane::paradox
