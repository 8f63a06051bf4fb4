// XbaseTableWriter: creates a table file (and its memo file) and appends records to it.
// Records are gathered in a buffer of about 256 kB and written after the last record; the
// header's record count and date are rewritten after the records themselves, so a table
// that a failure interrupts still reads as the records written before. An exclusive lock
// keeps other programs that lock from reading a half-written file (3045 when one holds a
// lock on it).
//
// Usage:
//   XbaseTableWriter::Create(path, header);             // 3010 when the file exists
//   XbaseTableWriter writer(path, false);
//   char* record = writer.NewRecord(); codec.Write(...); writer.Append();
//   writer.Flush();
#pragma once

#include "export/data/xbase/XbaseFormat.h"
#include "export/data/xbase/XbaseMemo.h"
#include "export/data/xbase/XbaseValues.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace morvane {

class XbaseTableWriter {
  public:
    //! Writes a new empty table `path` with the header of `header` (and its empty memo file
    //! when it has memo fields). Raises 3010 when the file exists, 3051 when it cannot be
    //! written.
    static void Create(const QString& path, const XbaseHeader& header);

    //! Opens the table for appending. Raises 3051 when it cannot be written, 3045 when
    //! another program holds a lock on it.
    XbaseTableWriter(const QString& path, bool hexBinary);
    ~XbaseTableWriter();

    const XbaseHeader& Header() const { return header_; }
    const XbaseValueCodec& Codec() const { return *codec_; }
    XbaseMemoWriter* Memo() const { return memo_.get(); }

    //! A blank record (live, Null flags clear) to fill with Codec().Write.
    char* NewRecord();
    //! Adds the record filled since NewRecord. Raises 3035 when the file would pass the
    //! format's 2 GB.
    void Append();
    //! Writes the gathered records, the end mark and the header count.
    void Flush();
    bool Pending() const { return !buffer_.isEmpty(); }

  private:
    QString path_;
    QFile file_;
    XbaseHeader header_;
    std::unique_ptr<XbaseValueCodec> codec_;
    std::unique_ptr<XbaseMemoWriter> memo_;
    QByteArray record_;
    QByteArray buffer_;
    qint64 written_ = 0;  //!< records in the file
    qint64 pending_ = 0;  //!< records in the buffer
};

}  // namespace morvane
