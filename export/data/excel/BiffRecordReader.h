// BiffRecordReader: the records of one BIFF stream, read one at a time from a libgsf input
// (a compound file's workbook stream or a plain BIFF3/BIFF4 file), so that only the current
// record is in memory. A record whose length runs past the end of the stream is damage:
// Next() raises 3049 naming the file. The reader owns its input.
#pragma once

#include <gsf/gsf-input.h>
#include <QByteArray>
#include <QString>

namespace morvane {

class BiffRecordReader {
  public:
    //! Takes over the reference to `input`; `path` names the file in errors.
    BiffRecordReader(GsfInput* input, QString path);
    ~BiffRecordReader();
    BiffRecordReader(const BiffRecordReader&) = delete;
    BiffRecordReader& operator=(const BiffRecordReader&) = delete;

    //! Reads the next record; false at the end of the stream (or fewer than 4 bytes left).
    bool Next();
    quint16 Id() const { return id_; }
    const QByteArray& Data() const { return data_; }
    //! Stream offset of the current record's header.
    qint64 Offset() const { return offset_; }
    //! Positions the stream so that Next() reads the record at `offset`.
    void Seek(qint64 offset);
    qint64 Size() const { return size_; }
    const QString& Path() const { return path_; }

    //! Raises 3049 "The database '<file>' is damaged (<what>)".
    [[noreturn]] void Damaged(const QString& what) const;

  private:
    GsfInput* input_;
    QString path_;
    qint64 size_ = 0;
    qint64 offset_ = 0;
    quint16 id_ = 0;
    QByteArray data_;
};

}  // namespace morvane
