// TextFileWriter: the destination file of a text export. It creates the file anew, takes
// text pieces, converts them to bytes of the ANSI code page and writes them through a
// buffer of its own, with no line ends, length prefix or byte-order mark added. Every
// failure raises a RuntimeError with the number a user would recognise (61 "Disk full",
// 70 "Permission denied", 75 "Path/File access error", 76 "Path not found", ...).
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
    //! Writes the buffer out once it is full. When the file is not open, the pending bytes
    //! are dropped and the error Write would raise is raised.
    void FlushIfFull();
    //! Writes the buffered bytes to the file; raises when they cannot be written (the
    //! bytes are then dropped, and the file stays open for Close or Abandon).
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
    int fd_ = -1;
    QString path_;
    QByteArray buffer_;
};

}  // namespace morvane
