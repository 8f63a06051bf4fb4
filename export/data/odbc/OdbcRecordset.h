// OdbcRecordset: the rows of an ODBC table through one forward-only "SELECT *" cursor; only
// the current row is held. Moving back or jumping runs the statement again and steps to the
// record; counting runs "SELECT COUNT(*)". AddNew/Update insert one row with an INSERT
// statement of typed literals (OdbcLiteral); binary values cannot be written that way and
// raise 3146.
//
// The data source's driver decides how much of a result it keeps on the client side (the
// PostgreSQL driver, for instance, reads a whole result unless its DSN asks for a
// declare/fetch cursor).
#pragma once

#include "export/data/Recordset.h"
#include "export/data/odbc/OdbcHandle.h"

#include <QString>
#include <memory>
#include <vector>

namespace morvane {

class OdbcDatabase;

class OdbcRecordset : public Recordset {
  public:
    //! `from` is the quoted table name. `appendOnly` (option dbAppendOnly): the cursor reads
    //! no rows, so opening costs nothing whatever the table's size.
    OdbcRecordset(const std::shared_ptr<OdbcDatabase>& database, const QString& from, short type,
                  bool updatable, bool appendOnly = false);
    ~OdbcRecordset() override;

  protected:
    bool doSeek(qint64 index) override;
    bool doNext() override;
    qint64 doCount() override;
    void doInsert() override;
    void doClose() override;

  private:
    void Execute();
    bool FetchRow();

    OdbcDatabase& database_;
    QString from_;
    QString select_;  //!< the cursor's statement
    OdbcHandle cursor_;
    qint64 index_ = -1;  //!< the row the cursor stands on; -1 before the first
    bool done_ = false;  //!< the cursor has passed the last row
    std::vector<short> types_;
};

}  // namespace morvane
