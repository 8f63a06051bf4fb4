#include "export/data/xbase/XbaseTableWriter.h"

#include "export/data/EngineError.h"
#include "export/data/xbase/FolderTables.h"

#include <sys/file.h>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

namespace morvane {

namespace {

constexpr qint64 kBufferBytes = 256 * 1024;
constexpr qint64 kMaxFileSize = 0x7FFFFFFF;

QString MemoPathFor(const QString& path, XbaseMemoKind kind) {
    const QFileInfo info(path);
    const QStringList found = FolderTables::Companions(path, {MemoExtension(kind)});
    if (!found.isEmpty()) return found.first();
    // Same case of extension as the table file.
    QString extension = MemoExtension(kind);
    if (info.suffix() == info.suffix().toUpper()) extension = extension.toUpper();
    return info.dir().filePath(info.completeBaseName() + extension);
}

}  // namespace

void XbaseTableWriter::Create(const QString& path, const XbaseHeader& header) {
    if (QFileInfo::exists(path))
        throw EngineError::Of(ErrTableExists, QFileInfo(path).completeBaseName());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw EngineError::Of(ErrCannotOpenFile, path);
    QByteArray bytes = BuildXbaseHeader(header);
    bytes.append('\x1A');
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.remove();
        throw EngineError::Of(ErrDiskIO, path);
    }
    file.close();
    if (header.HasMemoFields()) {
        const QString memoPath = MemoPathFor(path, header.MemoKind());
        try {
            XbaseMemoWriter memo(memoPath, header.MemoKind(), true);
        } catch (...) {
            QFile::remove(path);
            throw;
        }
    }
}

XbaseTableWriter::XbaseTableWriter(const QString& path, bool hexBinary) : path_(path), file_(path) {
    if (!QFileInfo::exists(path)) throw EngineError::Of(ErrFileNotFoundEngine, path);
    if (!file_.open(QIODevice::ReadWrite)) throw EngineError::Of(ErrCannotOpenFile, path);
    if (flock(file_.handle(), LOCK_EX | LOCK_NB) != 0) throw EngineError::Of(ErrFileInUse, path);
    flock(file_.handle(), LOCK_UN);
    header_ = ParseXbaseHeader(file_.read(kMaxXbaseHeaderBytes), file_.size(), path);
    codec_ = std::make_unique<XbaseValueCodec>(
        header_, XbaseCodePage::ForLanguageDriver(header_.languageDriver), hexBinary);
    if (header_.HasMemoFields()) {
        const QString memoPath = MemoPathFor(path, header_.MemoKind());
        memo_ = std::make_unique<XbaseMemoWriter>(memoPath, header_.MemoKind(),
                                                  !QFileInfo::exists(memoPath));
    }
    written_ = header_.recordCount;
    record_.resize(header_.recordLength);
}

XbaseTableWriter::~XbaseTableWriter() {
    try {
        Flush();
    } catch (...) {  // reported by the Flush the recordset makes before closing
    }
}

char* XbaseTableWriter::NewRecord() {
    record_.fill(' ');
    if (header_.nullFlagsField >= 0) {
        const auto& flags = header_.fields[static_cast<size_t>(header_.nullFlagsField)];
        memset(record_.data() + flags.offset, 0, static_cast<size_t>(flags.length));
    }
    return record_.data();
}

void XbaseTableWriter::Append() {
    const qint64 end = header_.headerLength + (written_ + pending_ + 1) * header_.recordLength + 1;
    if (end > kMaxFileSize)
        throw EngineError::Raise(
            ErrResourceExceeded,
            QStringLiteral("The table '%1' would pass the 2 GB its format can hold.").arg(path_));
    if (written_ + pending_ >= 0xFFFFFFFFLL) throw EngineError::Of(ErrResourceExceeded);
    buffer_.append(record_);
    ++pending_;
    if (buffer_.size() >= kBufferBytes) Flush();
}

void XbaseTableWriter::Flush() {
    if (memo_) memo_->Flush();
    if (pending_ == 0) return;
    buffer_.append('\x1A');
    // Locked while the records and the count are written (see XbaseTableFile).
    if (flock(file_.handle(), LOCK_EX | LOCK_NB) != 0) throw EngineError::Of(ErrFileInUse, path_);
    struct Unlock {
        int handle;
        ~Unlock() { flock(handle, LOCK_UN); }
    } unlock{file_.handle()};
    const qint64 at = header_.headerLength + written_ * header_.recordLength;
    if (!file_.seek(at) || file_.write(buffer_) != buffer_.size())
        throw EngineError::Of(ErrDiskIO, path_);
    written_ += pending_;
    pending_ = 0;
    buffer_.clear();
    header_.recordCount = static_cast<quint32>(written_);
    uchar head[8];
    const QDate today = QDate::currentDate();
    head[0] = header_.version;
    head[1] = static_cast<uchar>(qBound(0, today.year() - 1900, 255));
    head[2] = static_cast<uchar>(today.month());
    head[3] = static_cast<uchar>(today.day());
    qToLittleEndian<quint32>(header_.recordCount, head + 4);
    if (!file_.seek(0) || file_.write(reinterpret_cast<const char*>(head), 8) != 8 ||
        !file_.flush())
        throw EngineError::Of(ErrDiskIO, path_);
}

}  // namespace morvane
