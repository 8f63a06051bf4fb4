// XbaseMemo: the memo files of xBase tables (.dbt, .fpt) as this driver reads and writes
// them. A memo field of a record holds the number of the block where its value starts.
//
//   dBASE III .dbt: 512-byte blocks; block 0 is the header (bytes 0-3 the next free block,
//     little endian); a value is its bytes ended by 0x1A 0x1A.
//   dBASE IV / 5 .dbt: block 0 bytes 0-3 the next free block, 8-15 the table's base name,
//     20-21 the block size (512); a value starts with FF FF 08 00 and its length (little
//     endian, these 8 bytes included), then its bytes.
//   FoxPro .fpt: bytes 0-3 the next free block, 6-7 the block size (both big endian; 64
//     when written here), the header filling the first 512 bytes; a value starts with its
//     kind (big endian: 0 binary, 1 text, 2 object) and its length (big endian), then its
//     bytes.
//
// Usage:
//   XbaseMemoReader memo(path, XbaseMemoKind::FoxPro);   // 3024 when missing
//   QByteArray text = memo.Read(block);                   // 3049 when past its end
//   XbaseMemoWriter out(path, XbaseMemoKind::Dbase4, true); quint32 at = out.Append(bytes, true);
#pragma once

#include "export/data/xbase/XbaseFormat.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace morvane {

class XbaseMemoReader {
  public:
    //! Opens the memo file read-only. Raises 3024 when it is missing, 3051 when it cannot be
    //! read, 3049 when its header is damaged.
    XbaseMemoReader(const QString& path, XbaseMemoKind kind);

    //! The value starting at `block`. Raises 3049 naming the file when the block or the
    //! value's length lies past the end of the file.
    QByteArray Read(quint32 block);

  private:
    [[noreturn]] void Damaged(const QString& why) const;
    //! Up to `length` bytes from `offset` (fewer at the end of the file), through a window
    //! of 64 kB so that values read in turn cost no system call each.
    QByteArray ReadAt(qint64 offset, qint64 length);

    QString path_;
    XbaseMemoKind kind_;
    QFile file_;
    qint64 size_ = 0;
    int blockSize_ = 512;
    QByteArray window_;
    qint64 windowStart_ = 0;
};

class XbaseMemoWriter {
  public:
    //! Creates (`create`) or opens for appending the memo file. Raises 3051 when it cannot
    //! be written, 3049 when an existing file's header is damaged.
    XbaseMemoWriter(const QString& path, XbaseMemoKind kind, bool create);
    ~XbaseMemoWriter();

    //! Stores a value and answers its block number. Raises 3035 when the file would pass
    //! 2 GB. Values are gathered (about 256 kB) and written together.
    quint32 Append(const QByteArray& bytes, bool text);
    //! Writes the gathered values and the next free block into the header.
    void Flush();

  private:
    void WritePending();

    QString path_;
    XbaseMemoKind kind_;
    QFile file_;
    int blockSize_ = 512;
    quint32 nextBlock_ = 1;
    bool dirty_ = false;
    QByteArray pending_;       //!< values not yet written
    qint64 pendingStart_ = 0;  //!< where in the file they go
};

}  // namespace morvane
