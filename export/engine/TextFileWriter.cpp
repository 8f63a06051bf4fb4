#include "export/engine/TextFileWriter.h"

#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>

namespace morvane {
namespace {

constexpr int kBufferSize = 1 << 16;

RuntimeError FileError(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC:
        case EDQUOT:
            return RuntimeError(61, QStringLiteral("Disk full"));
        case EACCES:
        case EPERM:
        case EROFS:
            return RuntimeError(ErrPermissionDenied, QStringLiteral("Permission denied"));
        case ENOENT:
        case ENOTDIR:
            return RuntimeError(ErrPathNotFound, QStringLiteral("Path not found"));
        case EIO:
            return RuntimeError(ErrDeviceIO, QStringLiteral("Device I/O error"));
        default:
            return RuntimeError(75, QStringLiteral("Path/File access error"));
    }
}

}  // namespace

TextFileWriter::~TextFileWriter() {
    Abandon();
}

bool TextFileWriter::IsSpecialPath(const QString& path) {
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
    return !S_ISREG(info.st_mode);
}

void TextFileWriter::Open(const QString& path) {
    if (path.isEmpty())
        throw RuntimeError(ErrBadFileNameOrNumber, QStringLiteral("Bad file name or number"));
    if (IsSpecialPath(path)) throw RuntimeError(75, QStringLiteral("Path/File access error"));
    const int fd =
        ::open(QFile::encodeName(path).constData(),
               O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) throw FileError(errno);
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // Raced with something that replaced the path by a special file.
        ::close(fd);
        throw RuntimeError(75, QStringLiteral("Path/File access error"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    path_ = path;
    buffer_.clear();
    buffer_.reserve(kBufferSize + 4096);
}

void TextFileWriter::Write(QStringView text) {
    if (fd_ < 0)
        throw RuntimeError(ErrBadFileNameOrNumber, QStringLiteral("Bad file name or number"));
    CodePage::AppendAnsi(buffer_, text);
    if (buffer_.size() >= kBufferSize) Flush();
}

void TextFileWriter::FlushIfFull() {
    if (fd_ < 0) {
        buffer_.clear();
        throw RuntimeError(ErrBadFileNameOrNumber, QStringLiteral("Bad file name or number"));
    }
    if (buffer_.size() >= kBufferSize) Flush();
}

void TextFileWriter::Flush() {
    if (buffer_.isEmpty()) return;
    if (fd_ < 0)
        throw RuntimeError(ErrBadFileNameOrNumber, QStringLiteral("Bad file name or number"));
    const char* data = buffer_.constData();
    qsizetype left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            buffer_.clear();  // the bytes cannot be written; do not retry them forever
            throw FileError(error);
        }
        data += written;
        left -= written;
    }
    buffer_.resize(0);  // keeps the allocation for the next bytes
}

void TextFileWriter::Close() {
    if (fd_ < 0) return;
    int error = 0;
    try {
        Flush();
    } catch (const RuntimeError&) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    if (::close(fd_) != 0) error = errno;
    fd_ = -1;
    if (error != 0 && error != EINTR) throw FileError(error);
}

void TextFileWriter::Abandon() noexcept {
    if (fd_ < 0) return;
    try {
        Flush();
    } catch (...) {
        // The file is released below whatever happened to its last bytes.
    }
    ::close(fd_);
    fd_ = -1;
}

}  // namespace morvane
