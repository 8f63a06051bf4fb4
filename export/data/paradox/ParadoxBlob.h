// ParadoxBlob: the memo/blob file (.mb) beside a table (layout in ParadoxLayout.h).
//
// MbReader reads one value from its pointer in a record, checking every offset against the
// file: a pointer past the end, a block of the wrong type, a slot out of range or a length
// that disagrees raise 3049 naming the .mb file. It never writes.
//
// MbWriter appends values: under 2048 bytes into shared 4 KB blocks (64 slots each), longer
// ones into a block of their own. The shared block being filled is written by Flush (and
// whenever it is full), so call Flush before the file is read.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace morvane::paradox {

class MbReader {
  public:
    explicit MbReader(QString path) : path_(std::move(path)) {}
    //! The value stored at `mbOffset` with `length` bytes. Opens the file on first use
    //! (3024 when it is missing).
    QByteArray Read(quint32 mbOffset, quint32 length);
    //! Forgets what was read (the file changed).
    void Invalidate();

  private:
    void Damaged(const QString& reason) const;
    void ReadAt(qint64 offset, char* out, qint64 size);

    QString path_;
    QFile file_;
    qint64 size_ = -1;
    QByteArray cache_;  //!< the 4 KB chunk read last
    qint64 cachedAt_ = -1;
};

class MbWriter {
  public:
    //! Writes the header chunk of a new, empty .mb file.
    static void Create(const QString& path);
    //! Opens an existing .mb file for appending. 3051 when it cannot be written.
    explicit MbWriter(const QString& path);
    ~MbWriter();

    //! Stores a value and answers its mbOffset (the record keeps it with the length).
    quint32 Write(const QByteArray& value);
    void Flush();

  private:
    void WriteAt(qint64 offset, const char* data, qint64 size);
    void StartSharedBlock();

    QString path_;
    QFile file_;
    qint64 end_ = 0;     //!< the next free chunk offset
    QByteArray shared_;  //!< the type 3 block being filled (empty: none)
    qint64 sharedAt_ = 0;
    int nextSlot_ = 0;  //!< counts down from 63
    int nextUnit_ = 0;  //!< next free 16-byte unit in the shared block
    bool dirty_ = false;
};

}  // namespace morvane::paradox
