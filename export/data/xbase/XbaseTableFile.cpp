#include "export/data/xbase/XbaseTableFile.h"

#include "export/data/EngineError.h"
#include "export/data/xbase/FolderTables.h"

#include <sys/file.h>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

namespace morvane {

namespace {

constexpr qint64 kWindowBytes = 64 * 1024;

}  // namespace

XbaseTableFile::XbaseTableFile(const QString& path, bool hexBinary) : path_(path), file_(path) {
    const QFileInfo info(path);
    if (!info.exists()) throw EngineError::Of(ErrFileNotFoundEngine, path);
    if (!info.isFile() || !file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EngineError::Of(ErrCannotOpenFile, path);
    // A writer that holds the file locked is still writing it: refuse rather than read a
    // half-written table. The lock is only probed, so that this process's own writers
    // (which lock while they write) are never kept out.
    if (flock(file_.handle(), LOCK_SH | LOCK_NB) != 0) throw EngineError::Of(ErrFileInUse, path);
    flock(file_.handle(), LOCK_UN);
    header_ = ParseXbaseHeader(file_.read(kMaxXbaseHeaderBytes), file_.size(), path);
    for (size_t index = 0; index < header_.fields.size(); ++index)
        if (!header_.fields[index].hidden) columns_.push_back(static_cast<int>(index));
    codec_ = std::make_unique<XbaseValueCodec>(
        header_, XbaseCodePage::ForLanguageDriver(header_.languageDriver), hexBinary);
    if (header_.HasMemoFields()) {
        const XbaseMemoKind kind = header_.MemoKind();
        const QStringList found = FolderTables::Companions(path, {MemoExtension(kind)});
        if (found.isEmpty())
            throw EngineError::Of(
                ErrFileNotFoundEngine,
                info.dir().filePath(info.completeBaseName() + MemoExtension(kind)));
        memo_ = std::make_unique<XbaseMemoReader>(found.first(), kind);
    }
}

XbaseTableFile::~XbaseTableFile() = default;

const char* XbaseTableFile::Record(qint64 index) {
    if (index < 0 || index >= header_.recordCount) return nullptr;
    if (index < windowFirst_ || index >= windowFirst_ + windowCount_) {
        const qint64 length = header_.recordLength;
        const qint64 count =
            qMin<qint64>(qMax<qint64>(1, kWindowBytes / length), header_.recordCount - index);
        window_.resize(count * length);
        if (!file_.seek(header_.headerLength + index * length) ||
            file_.read(window_.data(), window_.size()) != window_.size()) {
            windowCount_ = 0;
            throw EngineError::Of(ErrCorruptDatabase, path_,
                                  QStringLiteral("record %1 cannot be read").arg(index + 1));
        }
        windowFirst_ = index;
        windowCount_ = count;
    }
    return window_.constData() + (index - windowFirst_) * header_.recordLength;
}

void XbaseTableFile::Refresh() {
    if (!file_.seek(4)) return;
    uchar stored[4];
    if (file_.read(reinterpret_cast<char*>(stored), 4) != 4) return;
    const quint32 records = qFromLittleEndian<quint32>(stored);
    const qint64 fits = (file_.size() - header_.headerLength) / header_.recordLength;
    const auto count = static_cast<quint32>(qMin<qint64>(records, fits));
    if (count != header_.recordCount) windowCount_ = 0;
    header_.recordCount = count;
}

qint64 XbaseTableFile::ChangeStamp() {
    Refresh();
    return (static_cast<qint64>(header_.recordCount) << 24) ^ file_.size();
}

}  // namespace morvane
