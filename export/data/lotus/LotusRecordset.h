// LotusRecordset: the records of a worksheet's one table. Reading goes through the
// database's LotusSheet (the row index makes every move direct; only the current record
// is decoded); AddNew/Update hand the new record to the database, which appends it to the
// file. Read-only when the database is.
#pragma once

#include "export/data/Recordset.h"
#include "export/data/lotus/LotusSheet.h"

#include <memory>

namespace morvane {

class LotusDatabase;

class LotusRecordset : public Recordset {
  public:
    //! Reads `sheet` (null for a table with no row yet) with the fields of `columns`.
    LotusRecordset(std::shared_ptr<LotusDatabase> database, std::shared_ptr<LotusSheet> sheet,
                   std::vector<LotusColumn> columns, short type, bool updatable);
    ~LotusRecordset() override;

    bool AppendsFromAnyThread() const override { return true; }

  protected:
    bool doSeek(qint64 index) override;
    bool doNext() override;
    qint64 doCount() override;
    void doInsert() override;
    void doClose() override;

  private:
    std::shared_ptr<LotusDatabase> lotus_;
    std::shared_ptr<LotusSheet> sheet_;
    std::vector<LotusColumn> columns_;
    std::vector<QVariant> values_;
    qint64 position_ = -1;
    bool wrote_ = false;
};

}  // namespace morvane
