#include "export/data/xbase/XbaseMemo.h"

#include "export/data/EngineError.h"

#include <QFileInfo>
#include <QtEndian>

namespace morvane {

namespace {

constexpr qint64 kMaxFileSize = 0x7FFFFFFF;
constexpr int kFoxProBlockSize = 64;
constexpr int kFoxProHeaderSize = 512;

void OpenOrRaise(QFile& file, const QString& path, QIODevice::OpenMode mode) {
    if (!QFileInfo::exists(path)) throw EngineError::Of(ErrFileNotFoundEngine, path);
    if (!file.open(mode)) throw EngineError::Of(ErrCannotOpenFile, path);
}

}  // namespace

XbaseMemoReader::XbaseMemoReader(const QString& path, XbaseMemoKind kind)
    : path_(path), kind_(kind), file_(path) {
    OpenOrRaise(file_, path, QIODevice::ReadOnly | QIODevice::Unbuffered);
    size_ = file_.size();
    const QByteArray header = file_.read(32);
    if (header.size() < 8) Damaged(QStringLiteral("no memo file header"));
    const auto* data = reinterpret_cast<const uchar*>(header.constData());
    if (kind_ == XbaseMemoKind::FoxPro) {
        blockSize_ = qFromBigEndian<quint16>(data + 6);
        // Some writers store 0 for the block size of 512-byte blocks... and FoxPro allows
        // a block size of 1 (values packed): both are read.
        if (blockSize_ == 0) blockSize_ = 512;
    } else if (kind_ == XbaseMemoKind::Dbase4 && header.size() >= 22) {
        const int size = qFromLittleEndian<quint16>(data + 20);
        blockSize_ = size >= 64 && size % 64 == 0 ? size : 512;
    }
}

void XbaseMemoReader::Damaged(const QString& why) const {
    throw EngineError::Of(ErrCorruptDatabase, path_, why);
}

QByteArray XbaseMemoReader::ReadAt(qint64 offset, qint64 length) {
    constexpr qint64 kWindow = 64 * 1024;
    length = qMax<qint64>(0, qMin(length, size_ - offset));
    if (offset >= windowStart_ && offset + length <= windowStart_ + window_.size())
        return window_.mid(offset - windowStart_, length);
    if (length > kWindow) {
        if (!file_.seek(offset)) return {};
        return file_.read(length);
    }
    window_.resize(qMin(kWindow, size_ - offset));
    if (!file_.seek(offset) || file_.read(window_.data(), window_.size()) != window_.size()) {
        window_.clear();
        return {};
    }
    windowStart_ = offset;
    return window_.left(length);
}

QByteArray XbaseMemoReader::Read(quint32 block) {
    const qint64 start = static_cast<qint64>(block) * blockSize_;
    if (block == 0 || start >= size_)
        Damaged(QStringLiteral("memo block %1 past the end of the file").arg(block));
    if (kind_ == XbaseMemoKind::Dbase3) {
        // Up to the first 0x1A, or the end of the file.
        QByteArray value;
        for (qint64 at = start; at < size_; at += 512) {
            const QByteArray chunk = ReadAt(at, 512);
            if (chunk.isEmpty()) break;
            const qsizetype end = chunk.indexOf('\x1A');
            if (end >= 0) return value + chunk.left(end);
            value += chunk;
        }
        return value;
    }
    const QByteArray head = ReadAt(start, 8);
    if (head.size() < 8) Damaged(QStringLiteral("memo block %1 cut short").arg(block));
    const auto* data = reinterpret_cast<const uchar*>(head.constData());
    qint64 length = 0;
    if (kind_ == XbaseMemoKind::FoxPro) {
        length = qFromBigEndian<quint32>(data + 4);
    } else {
        length = qFromLittleEndian<quint32>(data + 4);
        // dBASE IV counts the 8 bytes of the block header in the length.
        if (data[0] != 0xFF || data[1] != 0xFF || length < 8)
            Damaged(QStringLiteral("memo block %1 has no value header").arg(block));
        length -= 8;
    }
    if (start + 8 + length > size_)
        Damaged(
            QStringLiteral("the value at memo block %1 runs past the end of the file").arg(block));
    const QByteArray value = ReadAt(start + 8, length);
    if (value.size() != length) Damaged(QStringLiteral("memo block %1 cut short").arg(block));
    return value;
}

XbaseMemoWriter::XbaseMemoWriter(const QString& path, XbaseMemoKind kind, bool create)
    : path_(path), kind_(kind), file_(path) {
    if (kind_ == XbaseMemoKind::FoxPro) blockSize_ = kFoxProBlockSize;
    if (create) {
        if (!file_.open(QIODevice::ReadWrite | QIODevice::Truncate))
            throw EngineError::Of(ErrCannotOpenFile, path);
        const int headerSize = kind_ == XbaseMemoKind::FoxPro ? kFoxProHeaderSize : 512;
        nextBlock_ = static_cast<quint32>(headerSize / blockSize_);
        QByteArray header(headerSize, '\0');
        auto* data = reinterpret_cast<uchar*>(header.data());
        if (kind_ == XbaseMemoKind::FoxPro) {
            qToBigEndian<quint32>(nextBlock_, data);
            qToBigEndian<quint16>(static_cast<quint16>(blockSize_), data + 6);
        } else {
            qToLittleEndian<quint32>(nextBlock_, data);
            if (kind_ == XbaseMemoKind::Dbase4) {
                const QByteArray base =
                    QFileInfo(path).completeBaseName().toLatin1().toUpper().left(8);
                memcpy(data + 8, base.constData(), static_cast<size_t>(base.size()));
                qToLittleEndian<quint16>(static_cast<quint16>(blockSize_), data + 20);
            } else {
                data[16] = 0x03;
            }
        }
        if (file_.write(header) != header.size()) throw EngineError::Of(ErrDiskIO, path);
        return;
    }
    if (!QFileInfo::exists(path)) throw EngineError::Of(ErrFileNotFoundEngine, path);
    if (!file_.open(QIODevice::ReadWrite)) throw EngineError::Of(ErrCannotOpenFile, path);
    const QByteArray header = file_.read(32);
    if (header.size() < 8)
        throw EngineError::Of(ErrCorruptDatabase, path, QStringLiteral("no memo file header"));
    const auto* data = reinterpret_cast<const uchar*>(header.constData());
    if (kind_ == XbaseMemoKind::FoxPro) {
        nextBlock_ = qFromBigEndian<quint32>(data);
        blockSize_ = qMax<int>(1, qFromBigEndian<quint16>(data + 6));
    } else {
        nextBlock_ = qFromLittleEndian<quint32>(data);
        const int size = header.size() >= 22 ? qFromLittleEndian<quint16>(data + 20) : 0;
        if (kind_ == XbaseMemoKind::Dbase4 && size >= 64 && size % 64 == 0) blockSize_ = size;
    }
    // Never write over what the file already holds.
    const qint64 end = (file_.size() + blockSize_ - 1) / blockSize_;
    if (nextBlock_ < end) nextBlock_ = static_cast<quint32>(end);
    if (nextBlock_ == 0) nextBlock_ = 1;
}

XbaseMemoWriter::~XbaseMemoWriter() {
    try {
        Flush();
    } catch (...) {  // a failing flush at destruction has been reported by the last Append
    }
}

quint32 XbaseMemoWriter::Append(const QByteArray& bytes, bool text) {
    const qint64 start = static_cast<qint64>(nextBlock_) * blockSize_;
    if (pending_.isEmpty()) pendingStart_ = start;
    const qsizetype at = pending_.size();
    if (kind_ == XbaseMemoKind::Dbase3) {
        pending_.append(bytes);
        pending_.append("\x1A\x1A", 2);
    } else {
        uchar head[8];
        if (kind_ == XbaseMemoKind::Dbase4) {
            head[0] = 0xFF, head[1] = 0xFF, head[2] = 0x08, head[3] = 0x00;
            qToLittleEndian<quint32>(static_cast<quint32>(bytes.size() + 8), head + 4);
        } else {
            qToBigEndian<quint32>(text ? 1u : 0u, head);
            qToBigEndian<quint32>(static_cast<quint32>(bytes.size()), head + 4);
        }
        pending_.append(reinterpret_cast<const char*>(head), 8);
        pending_.append(bytes);
        // dBASE IV: an end mark, for readers that look for one.
        if (kind_ == XbaseMemoKind::Dbase4) pending_.append('\x1F');
    }
    const qsizetype used = pending_.size() - at;
    const qsizetype blocks = (used + blockSize_ - 1) / blockSize_;
    pending_.append(blocks * blockSize_ - used, kind_ == XbaseMemoKind::Dbase4   ? '\x1F'
                                                : kind_ == XbaseMemoKind::Dbase3 ? '\x1A'
                                                                                 : '\0');
    if (start + blocks * blockSize_ > kMaxFileSize) {
        pending_.truncate(at);
        throw EngineError::Raise(
            ErrResourceExceeded,
            QStringLiteral("The memo file '%1' would pass the 2 GB its format can hold.")
                .arg(path_));
    }
    const quint32 block = nextBlock_;
    nextBlock_ += static_cast<quint32>(blocks);
    dirty_ = true;
    if (pending_.size() >= 256 * 1024) WritePending();
    return block;
}

void XbaseMemoWriter::WritePending() {
    if (pending_.isEmpty()) return;
    if (!file_.seek(pendingStart_) || file_.write(pending_) != pending_.size())
        throw EngineError::Of(ErrDiskIO, path_);
    pending_.clear();
}

void XbaseMemoWriter::Flush() {
    if (!dirty_) return;
    WritePending();
    uchar next[4];
    if (kind_ == XbaseMemoKind::FoxPro)
        qToBigEndian<quint32>(nextBlock_, next);
    else
        qToLittleEndian<quint32>(nextBlock_, next);
    if (!file_.seek(0) || file_.write(reinterpret_cast<const char*>(next), 4) != 4 ||
        !file_.flush())
        throw EngineError::Of(ErrDiskIO, path_);
    dirty_ = false;
}

}  // namespace morvane
