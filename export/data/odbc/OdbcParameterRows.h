// OdbcParameterRows: ParameterRows on an ODBC statement handle (SQLPrepare once, then
// SQLBindParameter with column-wise arrays of UTF-16 text and SQL_ATTR_PARAMSET_SIZE rows
// per SQLExecute); a row run alone goes through SQLExecDirect on a second handle. Each parameter
// keeps its pending values one after another in one buffer; the bound arrays are rebuilt per
// execution with the width of the longest value, and a row does not join when the bound arrays
// would pass kMaxBoundBytes, so a long memo makes smaller arrays rather than a large allocation.
#pragma once

#include "export/data/odbc/OdbcHandle.h"
#include "export/data/odbc/OdbcLiteral.h"
#include "export/data/odbc/ParameterRows.h"

#include <string>
#include <vector>

namespace morvane {

class OdbcDatabase;

class OdbcParameterRows : public ParameterRows {
  public:
    static constexpr size_t kMaxBoundBytes = 8 * 1024 * 1024;

    OdbcParameterRows(std::shared_ptr<OdbcDatabase> database, const QString& sql, int parameters,
                      int capacity);
    ~OdbcParameterRows() override;

    int Capacity() const override { return capacity_; }
    int PendingRows() const override { return pending_; }
    void SetNull(int parameter) override;
    void SetText(int parameter, const QString& text) override;
    void SetValue(int parameter, const QVariant& value, short type) override;
    bool AddRow() override;
    void Execute() override;
    void ExecuteRow(int row) override;
    void Clear() override;

  private:
    struct Column {
        OdbcValueKind kind = OdbcValueKind::Null;  //!< of the pending values not Null
        std::u16string data;                       //!< the pending values, one after another
        std::vector<size_t> starts;                //!< where each pending value starts
        std::vector<SQLLEN> lengths;               //!< its length in units, or SQL_NULL_DATA
        SQLLEN width = 0;                          //!< the longest pending value
        int integerDigits = 1;                     //!< most digits before "." of a number
        int scale = 0;                             //!< most digits after "." of a number
        OdbcValueKind stagedKind = OdbcValueKind::Null;
        QString staged;
        std::vector<SQLWCHAR> bound;  //!< the array bound for one execution
        std::vector<SQLLEN> indicators;
    };

    Column& At(int parameter);
    void DropPending();
    void Bind(const OdbcHandle& statement, int parameter, int first, int count);
    void Run(int first, int count);

    std::shared_ptr<OdbcDatabase> database_;
    std::u16string sql_;
    OdbcHandle statement_;  //!< prepared, runs arrays
    OdbcHandle single_;     //!< runs one row at a time (made when first needed)
    std::vector<Column> columns_;
    int capacity_ = 1;
    int pending_ = 0;
    std::vector<SQLUSMALLINT> status_;
    SQLULEN processed_ = 0;
};

}  // namespace morvane
