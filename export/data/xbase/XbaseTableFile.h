// XbaseTableFile: one table file opened for reading: its header, its memo file, and its
// records read through a window of whole records (about 64 kB), so that memory stays flat
// whatever the size of the file. The file is opened read-only and never changed here; a
// shared lock keeps it from being read while another program writes it (3045).
//
// Usage:
//   XbaseTableFile table(path);           // 3024, 3051, 3343, 3049 naming the file
//   const char* record = table.Record(0); // null past the last record
//   QVariant v = table.Codec().Read(field, record, type, size, table.Memo());
#pragma once

#include "export/data/xbase/XbaseFormat.h"
#include "export/data/xbase/XbaseMemo.h"
#include "export/data/xbase/XbaseValues.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <vector>

namespace morvane {

class XbaseTableFile {
  public:
    //! `hexBinary`: binary values written as hex text (tables this driver wrote as dBASE III
    //! or IV in this session).
    explicit XbaseTableFile(const QString& path, bool hexBinary = false);
    ~XbaseTableFile();

    const QString& Path() const { return path_; }
    const XbaseHeader& Header() const { return header_; }
    //! The descriptors shown as fields (the hidden null flags left out).
    const std::vector<int>& Columns() const { return columns_; }
    const XbaseValueCodec& Codec() const { return *codec_; }
    //! The memo file, null when the table has no memo field.
    XbaseMemoReader* Memo() const { return memo_.get(); }

    //! The record count of the header.
    qint64 PhysicalCount() const { return header_.recordCount; }
    //! Record `index` (0-based, deleted ones included), valid until the next call; null past
    //! the last record. Raises 3043 when the file cannot be read.
    const char* Record(qint64 index);
    //! Reads the record count of the header again (after rows were appended).
    void Refresh();
    //! A number that changes when records were added or the file was rewritten.
    qint64 ChangeStamp();

  private:
    QString path_;
    QFile file_;
    XbaseHeader header_;
    std::vector<int> columns_;
    std::unique_ptr<XbaseValueCodec> codec_;
    std::unique_ptr<XbaseMemoReader> memo_;
    QByteArray window_;
    qint64 windowFirst_ = 0;
    qint64 windowCount_ = 0;
};

}  // namespace morvane
