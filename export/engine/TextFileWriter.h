// TextFileWriter: the destination file of a text export. It creates the file anew, takes
// text pieces, converts them to bytes of the ANSI code page and writes them through a
// buffer of its own, with no line ends, length prefix or byte-order mark added. Every
// failure raises a RuntimeError with the number a user would recognise (61 "Disk full",
// 70 "Permission denied", 75 "Path/File access error", 76 "Path not found", ...).
//
// The bytes are written to the file by a thread of its own (write-behind): formatting the
// next records goes on while the kernel copies the earlier ones into the file, which for
// the HTML kinds (ten times the bytes of the values) is most of an export's time. A
// failure of a background write is raised by the next Write, FlushIfFull, Flush or Close;
// Flush and Close wait until every byte handed over is written.
//
// Only regular files are written: a path that names a directory, a device, a pipe or any
// other special file is refused before anything is opened, so an export can never block on
// a FIFO or write into a device node.
//
// Usage:
//   TextFileWriter out;
//   out.Open("/tmp/orders.txt");       // REQUIRES: not open
//   out.Write(record);                 // buffered; errors may surface on a later Write
//   out.Close();                       // flushes; raises when the final write fails
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace morvane {

class TextFileWriter {
  public:
    TextFileWriter() = default;
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    //! Creates (or truncates) the regular file at path for writing.
    void Open(const QString& path);
    bool IsOpen() const { return fd_ >= 0; }
    //! Appends the ANSI bytes of text.
    void Write(QStringView text);
    //! The buffer bytes already in the ANSI page may be appended to (the export run's fast
    //! path formats records into it); call FlushIfFull after appending.
    QByteArray& PendingBytes() { return buffer_; }
    //! Hands the buffer to the writing thread once it is full. When the file is not open,
    //! the pending bytes are dropped and the error Write would raise is raised.
    void FlushIfFull();
    //! Writes every byte handed over or buffered to the file and waits for it; raises when
    //! some could not be written (those bytes are then dropped, and the file stays open
    //! for Close or Abandon).
    void Flush();
    //! Flushes and closes. Always releases the file, even when the flush fails (the error
    //! is raised after the descriptor is closed).
    void Close();
    //! Releases the file without raising (after a failure); buffered bytes are written
    //! when possible.
    void Abandon() noexcept;

    //! True when path names something that exists and is not a regular file (or a link to
    //! one): such a path is never deleted or written by an export.
    static bool IsSpecialPath(const QString& path);

  private:
    //! Queues the buffer for the writing thread (waiting while kMaxQueued are queued) and
    //! takes a spare one; raises a failure of an earlier write.
    void Submit();
    //! Waits until the writing thread wrote everything queued.
    void WaitWritten(std::unique_lock<std::mutex>& lock);
    //! Raises the failure of a background write once. Holding the lock (released first).
    void RaiseWriteFailure(std::unique_lock<std::mutex>& lock);
    //! Ends the writing thread (after WaitWritten) and closes the file; answers close's errno.
    int StopAndClose() noexcept;
    void WriteQueued();

    int fd_ = -1;
    QString path_;
    QByteArray buffer_;  //!< bytes being appended (the caller's thread only)

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QByteArray> queued_;  //!< full buffers to write, oldest first
    std::vector<QByteArray> spare_;  //!< written buffers kept for reuse
    bool busy_ = false;              //!< the thread is writing a buffer it took off the queue
    int failure_ = 0;                //!< errno of a failed write not raised yet
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace morvane
