#include "export/engine/TextFileWriter.h"

#include "export/common/CodePage.h"
#include "export/common/RuntimeError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <system_error>
#include <utility>

namespace morvane {
namespace {

constexpr int kBufferSize = 1 << 16;
// Buffers queued or being written at most: the caller waits beyond that, so memory stays
// flat however fast it formats.
constexpr size_t kMaxQueued = 4;

//! A buffer with room for a full one and the record that overfills it.
QByteArray EmptyBuffer() {
    QByteArray buffer;
    buffer.reserve(kBufferSize + 4096);
    return buffer;
}

RuntimeError BadFileNameOrNumber() {
    return RuntimeError(ErrBadFileNameOrNumber, QStringLiteral("Bad file name or number"));
}

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
    Abandon();  // a file still open (a caller's slip) is released, not left to its thread
    if (path.isEmpty()) throw BadFileNameOrNumber();
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
    buffer_ = EmptyBuffer();
    failure_ = 0;
    stopping_ = false;
    try {
        thread_ = std::thread([this] { WriteQueued(); });
    } catch (const std::system_error&) {
        // No thread to write with (the process is out of threads): nothing is opened.
        ::close(fd_);
        fd_ = -1;
        throw RuntimeError(75, QStringLiteral("Path/File access error"));
    }
}

void TextFileWriter::Write(QStringView text) {
    if (fd_ < 0) throw BadFileNameOrNumber();
    CodePage::AppendAnsi(buffer_, text);
    if (buffer_.size() >= kBufferSize) Submit();
}

void TextFileWriter::FlushIfFull() {
    if (fd_ < 0) {
        buffer_.clear();
        throw BadFileNameOrNumber();
    }
    if (buffer_.size() >= kBufferSize) Submit();
}

void TextFileWriter::Submit() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return queued_.size() + (busy_ ? 1 : 0) < kMaxQueued; });
    if (failure_ != 0) {
        // An earlier write failed: these bytes are dropped with the bytes that failed, and
        // the failure is raised (the file stays open for Close or Abandon).
        buffer_.resize(0);
        RaiseWriteFailure(lock);
    }
    queued_.push_back(std::move(buffer_));
    if (spare_.empty()) {
        buffer_ = EmptyBuffer();
    } else {
        buffer_ = std::move(spare_.back());
        spare_.pop_back();
    }
    changed_.notify_all();
}

void TextFileWriter::WaitWritten(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [&] { return queued_.empty() && !busy_; });
}

void TextFileWriter::RaiseWriteFailure(std::unique_lock<std::mutex>& lock) {
    const int failure = std::exchange(failure_, 0);
    if (failure == 0) return;
    lock.unlock();
    throw FileError(failure);
}

void TextFileWriter::WriteQueued() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || !queued_.empty(); });
        if (queued_.empty()) return;  // stopping, everything written
        QByteArray bytes = std::move(queued_.front());
        queued_.pop_front();
        busy_ = true;
        // Bytes handed over after a failure that was not raised yet are dropped with the
        // failed ones: the caller learns of the failure before anything after it is written.
        const bool drop = failure_ != 0;
        lock.unlock();
        int error = 0;
        const char* data = bytes.constData();
        qsizetype left = drop ? 0 : bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(fd_, data, static_cast<size_t>(left));
            if (written < 0) {
                if (errno == EINTR) continue;
                error = errno;
                break;
            }
            data += written;
            left -= written;
        }
        bytes.resize(0);  // keeps the allocation for reuse
        lock.lock();
        busy_ = false;
        if (error != 0 && failure_ == 0) failure_ = error;
        spare_.push_back(std::move(bytes));
        changed_.notify_all();
    }
}

int TextFileWriter::StopAndClose() noexcept {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        WaitWritten(lock);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    const int result = ::close(fd_);
    const int error = result != 0 ? errno : 0;
    fd_ = -1;
    return error;
}

void TextFileWriter::Flush() {
    if (fd_ < 0) {
        if (buffer_.isEmpty()) return;
        throw BadFileNameOrNumber();
    }
    if (!buffer_.isEmpty()) Submit();
    std::unique_lock<std::mutex> lock(mutex_);
    WaitWritten(lock);
    RaiseWriteFailure(lock);
}

void TextFileWriter::Close() {
    if (fd_ < 0) return;
    try {
        Flush();
    } catch (const RuntimeError&) {
        StopAndClose();
        throw;
    }
    const int error = StopAndClose();
    if (error != 0 && error != EINTR) throw FileError(error);
}

void TextFileWriter::Abandon() noexcept {
    if (fd_ < 0) return;
    try {
        Flush();
    } catch (...) {
        // The file is released below whatever happened to its last bytes.
    }
    StopAndClose();
}

}  // namespace morvane
