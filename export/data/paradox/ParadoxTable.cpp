#include "export/data/paradox/ParadoxTable.h"

#include "export/data/EngineError.h"
#include "export/data/paradox/ParadoxLayout.h"

#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

namespace morvane::paradox {

namespace {

constexpr qint64 kMaxHeader = 65535;

// Opens `file` read-only with the engine's errors for a missing or unreadable file.
void OpenForReading(QFile& file, const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) throw EngineError::Of(ErrFileNotFoundEngine, path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw EngineError::Of(ErrCannotOpenFile, path);
}

// True when another open file holds an exclusive lock on the file.
bool LockedByWriter(QFile& file) {
    if (flock(file.handle(), LOCK_SH | LOCK_NB) != 0) return errno == EWOULDBLOCK;
    flock(file.handle(), LOCK_UN);
    return false;
}

QByteArray ReadHeaderBytes(QFile& file, const QString& path) {
    if (!file.seek(0)) throw EngineError::Of(ErrDiskIO, path);
    return file.read(std::min(file.size(), kMaxHeader));
}

}  // namespace

QString MbPathOf(const QString& tablePath) {
    const QFileInfo info(tablePath);
    const QString wanted = info.completeBaseName() + QStringLiteral(".mb");
    const QDir dir = info.dir();
    if (QFileInfo::exists(dir.filePath(wanted))) return dir.filePath(wanted);
    const QStringList found =
        dir.entryList({info.completeBaseName() + QStringLiteral(".mb")}, QDir::Files);
    for (const QString& name : found)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(name);
    return dir.filePath(wanted);
}

// ---------------------------------------------------------------------------------------
// TableReader

TableReader::TableReader(const QString& path, bool ownWriter) : path_(path), file_(path) {
    OpenForReading(file_, path);
    if (!ownWriter && LockedByWriter(file_)) throw EngineError::Of(ErrFileInUse, path);
    Walk();
}

void TableReader::Damaged(const QString& reason) const {
    throw EngineError::Of(ErrCorruptDatabase, path_, reason);
}

void TableReader::Walk() {
    fileSize_ = file_.size();
    header_ = ParseHeader(ReadHeaderBytes(file_, path_), fileSize_, path_);
    blocks_.clear();
    starts_.clear();
    lastEmpty_ = 0;
    total_ = 0;
    loaded_ = SIZE_MAX;
    current_ = -1;
    const qint64 blockSize = header_.blockSize;
    const qint64 recordSize = header_.recordSize;
    const qint64 blocksInFile = (fileSize_ - header_.headerSize) / blockSize +
                                ((fileSize_ - header_.headerSize) % blockSize ? 1 : 0);
    std::vector<bool> seen(static_cast<size_t>(blocksInFile) + 1, false);
    qint64 number = header_.firstBlock;
    if (header_.numRecords == 0 && number > blocksInFile) number = 0;  // never written
    while (number != 0) {
        if (number > blocksInFile)
            Damaged(QStringLiteral("block %1 lies past the end of the file").arg(number));
        if (seen[static_cast<size_t>(number)])
            Damaged(QStringLiteral("the block chain loops at block %1").arg(number));
        seen[static_cast<size_t>(number)] = true;
        const qint64 at = header_.headerSize + (number - 1) * blockSize;
        unsigned char head[kBlockHeader];
        if (pread(file_.handle(), head, kBlockHeader, at) != kBlockHeader)
            Damaged(QStringLiteral("block %1 is cut short").arg(number));
        const int added = static_cast<qint16>(Le16(head + 4));
        qint64 count = 0;
        if (added >= 0) {
            if (added % recordSize != 0 || added + recordSize > blockSize - kBlockHeader)
                Damaged(QStringLiteral("block %1 claims %2 bytes of records")
                            .arg(number)
                            .arg(added + recordSize));
            count = added / recordSize + 1;
            if (at + kBlockHeader + count * recordSize > fileSize_)
                Damaged(QStringLiteral("block %1 is cut short").arg(number));
            blocks_.push_back(static_cast<quint16>(number));
            starts_.push_back(total_);
            total_ += count;
        } else {
            lastEmpty_ = static_cast<int>(number);
        }
        number = Le16(head);
    }
    if (!blocks_.empty()) lastEmpty_ = 0;
    if (total_ != qint64(header_.numRecords))
        Damaged(QStringLiteral("the header counts %1 records but the blocks hold %2")
                    .arg(header_.numRecords)
                    .arg(total_));
}

bool TableReader::Sync(qint64 stamp) {
    if (stamp == stamp_ && file_.size() == fileSize_) return false;
    stamp_ = stamp;
    Walk();
    return true;
}

int TableReader::LastBlockCount() const {
    if (blocks_.empty()) return 0;
    return static_cast<int>(total_ - starts_.back());
}

void TableReader::Load(size_t position) {
    if (loaded_ == position) return;
    const qint64 at = header_.headerSize + (qint64(blocks_[position]) - 1) * header_.blockSize;
    const qint64 size = std::min<qint64>(header_.blockSize, fileSize_ - at);
    block_.resize(header_.blockSize);
    if (pread(file_.handle(), block_.data(), static_cast<size_t>(size), at) != size)
        throw EngineError::Of(ErrDiskIO, path_);
    loaded_ = position;
}

bool TableReader::Seek(qint64 index) {
    if (index < 0 || index >= total_) {
        current_ = -1;
        return false;
    }
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), index);
    Load(static_cast<size_t>(after - starts_.begin()) - 1);
    current_ = index;
    return true;
}

bool TableReader::Next() {
    return current_ >= 0 && Seek(current_ + 1);
}

const unsigned char* TableReader::Record() const {
    const qint64 inBlock = current_ - starts_[loaded_];
    return reinterpret_cast<const unsigned char*>(block_.constData()) + kBlockHeader +
           inBlock * header_.recordSize;
}

// ---------------------------------------------------------------------------------------
// TableWriter

void CreateTableFile(const QString& path, const QByteArray& header, bool withMb) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFileInfo::exists(path))
            throw EngineError::Of(ErrTableExists, QFileInfo(path).completeBaseName());
        throw EngineError::Of(ErrCannotOpenFile, path);
    }
    if (file.write(header) != header.size()) {
        file.remove();
        throw EngineError::Of(ErrDiskFull);
    }
    file.close();
    if (withMb) {
        const QString mbPath = MbPathOf(path);
        QFile::remove(mbPath);  // a stale memo file of a table deleted by hand
        MbWriter::Create(mbPath);
    }
}

TableWriter::TableWriter(const QString& path) : path_(path), file_(path) {
    const QFileInfo info(path);
    if (!info.exists()) throw EngineError::Of(ErrFileNotFoundEngine, path);
    if (!file_.open(QIODevice::ReadWrite)) {
        if (file_.open(QIODevice::ReadOnly)) throw EngineError::Of(ErrReadOnly);
        throw EngineError::Of(ErrCannotOpenFile, path);
    }
    if (flock(file_.handle(), LOCK_EX | LOCK_NB) != 0) throw EngineError::Of(ErrFileInUse, path);
    TableReader tail(path, true);
    header_ = tail.Header();
    if (header_.fileType != 2) throw EngineError::Of(ErrReadOnly);
    headerBytes_ = ReadHeaderBytes(file_, path).left(header_.headerSize);
    capacity_ = (header_.blockSize - kBlockHeader) / header_.recordSize;
    const qint64 data = file_.size() - header_.headerSize;
    physical_ = static_cast<int>((data + header_.blockSize - 1) / header_.blockSize);
    records_ = header_.numRecords;
    firstBlock_ = header_.numRecords > 0 || tail.LastBlock() != 0 ? header_.firstBlock : 0;
    blockNo_ = tail.LastBlock();
    if (blockNo_ != 0) {
        inBlock_ = tail.LastBlockCount();
        block_.resize(header_.blockSize);
        block_.fill('\0');
        const qint64 at = header_.headerSize + qint64(blockNo_ - 1) * header_.blockSize;
        const qint64 size = std::min<qint64>(header_.blockSize, file_.size() - at);
        if (!file_.seek(at) || file_.read(block_.data(), size) != size)
            throw EngineError::Of(ErrDiskIO, path);
    }
}

TableWriter::~TableWriter() {
    try {
        Flush();
    } catch (const EngineError&) {
        // Reported by the owner's explicit Flush; a destructor must not throw.
    }
}

MbWriter* TableWriter::Mb() {
    if (!mb_) {
        const QString mbPath = MbPathOf(path_);
        if (!QFileInfo::exists(mbPath)) MbWriter::Create(mbPath);
        mb_ = std::make_unique<MbWriter>(mbPath);
    }
    return mb_.get();
}

void TableWriter::WriteAt(qint64 offset, const char* data, qint64 size) {
    if (!file_.seek(offset) || file_.write(data, size) != size)
        throw EngineError::Of(ErrDiskIO, path_);
}

void TableWriter::StartBlock() {
    if (physical_ + 1 > kMaxBlocks)
        throw EngineError::Raise(
            ErrResourceExceeded,
            QStringLiteral("The Paradox table '%1' is full (%2 blocks of %3 bytes).")
                .arg(path_)
                .arg(kMaxBlocks)
                .arg(header_.blockSize));
    const int number = physical_ + 1;
    if (blockNo_ != 0) {
        PutLe16(reinterpret_cast<unsigned char*>(block_.data()), static_cast<unsigned>(number));
        WriteAt(header_.headerSize + qint64(blockNo_ - 1) * header_.blockSize, block_.constData(),
                block_.size());
    }
    const int previous = blockNo_;
    block_ = QByteArray(header_.blockSize, '\0');
    PutLe16(reinterpret_cast<unsigned char*>(block_.data()) + 2, static_cast<unsigned>(previous));
    blockNo_ = number;
    inBlock_ = 0;
    physical_ = number;
    if (firstBlock_ == 0) firstBlock_ = number;
    dirty_ = true;
}

void TableWriter::Append(const unsigned char* record) {
    if (records_ == 0xFFFFFFFFu) throw EngineError::Of(ErrResourceExceeded);
    if (blockNo_ == 0 || inBlock_ >= capacity_) StartBlock();
    auto* p = reinterpret_cast<unsigned char*>(block_.data());
    memcpy(p + kBlockHeader + inBlock_ * header_.recordSize, record,
           static_cast<size_t>(header_.recordSize));
    ++inBlock_;
    PutLe16(p + 4, static_cast<unsigned>((inBlock_ - 1) * header_.recordSize));
    ++records_;
    dirty_ = true;
}

void TableWriter::Flush() {
    if (mb_) mb_->Flush();
    if (!dirty_) return;
    WriteAt(header_.headerSize + qint64(blockNo_ - 1) * header_.blockSize, block_.constData(),
            block_.size());
    auto* p = reinterpret_cast<unsigned char*>(headerBytes_.data());
    PutLe32(p + 0x06, records_);
    PutLe16(p + 0x0A, static_cast<unsigned>(physical_));
    PutLe16(p + 0x0C, static_cast<unsigned>(physical_));
    PutLe16(p + 0x0E, static_cast<unsigned>(firstBlock_));
    PutLe16(p + 0x10, static_cast<unsigned>(blockNo_));
    PutLe16(p + 0x3A, static_cast<unsigned>(physical_));
    WriteAt(0, headerBytes_.constData(), 0x80);
    file_.flush();
    dirty_ = false;
}

}  // namespace morvane::paradox
