// XbaseRecordset: the records of one xBase table, streamed from its file: the current
// record is copied out of the reader's window and its fields converted when first read
// (Field::DeferValue); deleted records are skipped. A table with no deleted records (known
// after a count) moves straight to any record; otherwise moves step over the flags.
// AddNew/Update append through an XbaseTableWriter opened on the first insert; the
// records gathered are written before the next read and when the recordset closes.
#pragma once

#include "export/data/Recordset.h"
#include "export/data/xbase/XbaseTableFile.h"
#include "export/data/xbase/XbaseTableWriter.h"

#include <memory>
#include <vector>

namespace morvane {

//! The engine type of a field a table was created with in this session.
struct XbaseSessionField {
    short type = 0;
    int size = 0;
};

class XbaseRecordset : public Recordset, private FieldValueSource {
  public:
    //! `sessionFields`: the engine types the table was created with in this session
    //! (empty: the types the file's fields read as). `hexBinary`: see XbaseTableFile.
    XbaseRecordset(std::shared_ptr<Database> database, const QString& path, short type,
                   bool updatable, bool appendOnly,
                   const std::vector<XbaseSessionField>& sessionFields, bool hexBinary);
    ~XbaseRecordset() override;

    void ReadRaw(int ordinal, RawValue& out) override;
    //! Writes what the writer gathered so that reads see it (also when the database closes).
    void FlushWrites();

    bool AppendsFromAnyThread() const override { return true; }

  protected:
    bool doSeek(qint64 index) override;
    bool doNext() override;
    qint64 doCount() override;
    void doInsert() override;
    void doClose() override;
    qint64 doChangeStamp() override;

  private:
    QVariant DeferredValue(int column) const override;
    //! Makes record `physical` current (deferring its values); false (fields Null) when null.
    bool Arrive(qint64 physical, qint64 logical);
    void Leave();
    //! The next live record at or after `physical`, -1 when none.
    qint64 NextLive(qint64 physical);

    QString path_;
    bool appendOnly_;
    bool hexBinary_;
    std::unique_ptr<XbaseTableFile> file_;
    std::unique_ptr<XbaseTableWriter> writer_;
    std::vector<short> types_;
    std::vector<int> sizes_;
    QByteArray row_;  //!< the current record's bytes
    bool onRow_ = false;
    qint64 physical_ = -1;             //!< the current record's place in the file
    qint64 logical_ = -1;              //!< its index among live records
    qint64 liveStamp_ = -1;            //!< ChangeStamp when allLive_ was learnt
    bool allLive_ = false;             //!< no deleted record (as of liveStamp_)
    std::vector<QByteArray> scratch_;  //!< each column's raw text
};

}  // namespace morvane
