// ParadoxRecordset: the records of one Paradox table, read through a TableReader (one block
// in memory, records found by index through the block list) and appended through the
// database's TableWriter of that table. Field values are decoded from the current record
// when first read (Field::DeferValue); ReadRaw hands numbers, dates and text out without
// building a QVariant. RecordCount is the exact count of the block chain.
#pragma once

#include "export/data/Recordset.h"
#include "export/data/paradox/ParadoxBlob.h"
#include "export/data/paradox/ParadoxTable.h"

#include <memory>
#include <vector>

namespace morvane {

class ParadoxDatabase;

class ParadoxRecordset : public Recordset, private FieldValueSource {
  public:
    ParadoxRecordset(std::shared_ptr<ParadoxDatabase> database,
                     std::unique_ptr<paradox::TableReader> reader, short type, bool updatable);
    ~ParadoxRecordset() override;

    void ReadRaw(int ordinal, RawValue& out) override;

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
    //! Makes the fields describe the current record (or Null when `found` is false).
    bool Arrive(bool found);
    void Sync();

    std::shared_ptr<ParadoxDatabase> paradox_;
    std::unique_ptr<paradox::TableReader> reader_;
    mutable paradox::MbReader mb_;
    std::vector<short> engineTypes_;
    std::vector<QByteArray> scratch_;  //!< UTF-8 text handed out by ReadRaw
    QByteArray record_;                //!< a record being assembled by doInsert
};

}  // namespace morvane
