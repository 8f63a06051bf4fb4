#include "export/data/odbc/OdbcParameterRows.h"

#include "export/data/odbc/OdbcDatabase.h"

#include <algorithm>
#include <cstring>

namespace morvane {

namespace {

//! Character data longer than this is declared as long text, as some data sources want.
constexpr SQLLEN kLongTextUnits = 4000;

//! The digits a number's text needs in plain decimal form: before and after the point,
//! its exponent applied ("1e+20" needs 21 before, "1.5e-7" 8 after).
struct NumberDigits {
    int integer = 1;
    int scale = 0;
};

NumberDigits DigitsOf(const QString& number) {
    int before = 0;
    int after = 0;
    int exponent = 0;
    bool point = false;
    for (qsizetype index = 0; index < number.size(); ++index) {
        const QChar c = number.at(index);
        if (c.isDigit()) {
            ++(point ? after : before);
        } else if (c == QLatin1Char('.')) {
            point = true;
        } else if (c == QLatin1Char('e') || c == QLatin1Char('E')) {
            exponent = number.mid(index + 1).toInt();
            break;
        }
    }
    return {std::max(1, before + exponent), std::max(0, after - exponent)};
}

}  // namespace

OdbcParameterRows::OdbcParameterRows(std::shared_ptr<OdbcDatabase> database, const QString& sql,
                                     int parameters, int capacity)
    : database_(std::move(database)),
      sql_(ToOdbcText(sql)),
      statement_(database_->NewStatement()),
      columns_(static_cast<size_t>(std::max(parameters, 0))) {
    OdbcCheck(SQLPrepareW(statement_.Get(), OdbcText(sql_), static_cast<SQLINTEGER>(sql_.size())),
              statement_);
    // Arrays only where the data source takes them and a failed one can be rolled back:
    // a data source may store some rows of an array that fails.
    SQLUSMALLINT transactions = SQL_TC_NONE;
    SQLGetInfo(database_->Connection(), SQL_TXN_CAPABLE, &transactions, sizeof transactions,
               nullptr);
    if (capacity > 1 && transactions != SQL_TC_NONE &&
        SQL_SUCCEEDED(SQLSetStmtAttr(statement_.Get(), SQL_ATTR_PARAMSET_SIZE,
                                     reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(capacity)),
                                     0))) {
        SQLULEN taken = 0;
        SQLGetStmtAttr(statement_.Get(), SQL_ATTR_PARAMSET_SIZE, &taken, 0, nullptr);
        status_.resize(static_cast<size_t>(capacity));
        if (taken == static_cast<SQLULEN>(capacity) &&
            SQL_SUCCEEDED(
                SQLSetStmtAttr(statement_.Get(), SQL_ATTR_PARAM_STATUS_PTR, status_.data(), 0)) &&
            SQL_SUCCEEDED(
                SQLSetStmtAttr(statement_.Get(), SQL_ATTR_PARAMS_PROCESSED_PTR, &processed_, 0)))
            capacity_ = capacity;
    }
    if (capacity_ == 1) {
        SQLSetStmtAttr(statement_.Get(), SQL_ATTR_PARAM_STATUS_PTR, nullptr, 0);
        SQLSetStmtAttr(statement_.Get(), SQL_ATTR_PARAMS_PROCESSED_PTR, nullptr, 0);
        SQLSetStmtAttr(statement_.Get(), SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(1),
                       0);
    }
}

OdbcParameterRows::~OdbcParameterRows() {
    // The statements of a connection go with its disconnection.
    if (database_->IsOpen()) {
        statement_.Free();
        single_.Free();
    } else {
        statement_.Forget();
        single_.Forget();
    }
}

OdbcParameterRows::Column& OdbcParameterRows::At(int parameter) {
    if (parameter < 0 || parameter >= static_cast<int>(columns_.size()))
        throw EngineError::Of(ErrInvalidArgument);
    return columns_[static_cast<size_t>(parameter)];
}

void OdbcParameterRows::SetNull(int parameter) {
    Column& column = At(parameter);
    column.stagedKind = OdbcValueKind::Null;
    column.staged.clear();
}

void OdbcParameterRows::SetText(int parameter, const QString& text) {
    Column& column = At(parameter);
    column.stagedKind = OdbcValueKind::Text;
    column.staged = text;
}

void OdbcParameterRows::SetValue(int parameter, const QVariant& value, short type) {
    Column& column = At(parameter);
    OdbcValueText bare = OdbcValueOf(value, type);
    column.stagedKind = bare.kind;
    column.staged = std::move(bare.text);
}

bool OdbcParameterRows::AddRow() {
    if (pending_ > 0) {
        if (pending_ >= capacity_) return false;
        size_t bytes = 0;
        for (Column& column : columns_) {
            // A date joins date-times as the date-time at midnight, the value a date or
            // date-time column stores for it.
            if (column.stagedKind == OdbcValueKind::Date &&
                column.kind == OdbcValueKind::DateTime) {
                column.stagedKind = OdbcValueKind::DateTime;
                column.staged += QStringLiteral(" 00:00:00");
            }
            if (column.stagedKind != OdbcValueKind::Null && column.kind != OdbcValueKind::Null &&
                column.stagedKind != column.kind)
                return false;
            const SQLLEN width = std::max<SQLLEN>(column.width, column.staged.size());
            bytes += static_cast<size_t>(pending_ + 1) * static_cast<size_t>(width + 1) *
                     sizeof(SQLWCHAR);
        }
        if (bytes > kMaxBoundBytes) return false;
    }
    for (Column& column : columns_) {
        column.starts.push_back(column.data.size());
        if (column.stagedKind == OdbcValueKind::Null) {
            column.lengths.push_back(SQL_NULL_DATA);
            continue;
        }
        const SQLLEN length = column.staged.size();
        column.data.append(reinterpret_cast<const char16_t*>(column.staged.utf16()),
                           static_cast<size_t>(length));
        column.lengths.push_back(length);
        column.width = std::max(column.width, length);
        if (column.kind == OdbcValueKind::Null) column.kind = column.stagedKind;
        if (column.stagedKind == OdbcValueKind::Number) {
            const NumberDigits digits = DigitsOf(column.staged);
            column.integerDigits = std::max(column.integerDigits, digits.integer);
            column.scale = std::max(column.scale, digits.scale);
        }
        column.stagedKind = OdbcValueKind::Null;
        column.staged.clear();
    }
    ++pending_;
    return true;
}

void OdbcParameterRows::Bind(const OdbcHandle& statement, int parameter, int first, int count) {
    Column& column = columns_[static_cast<size_t>(parameter)];
    SQLLEN width = 0;
    for (int row = first; row < first + count; ++row)
        width = std::max(width, column.lengths[static_cast<size_t>(row)]);
    const size_t slot = static_cast<size_t>(width) + 1;
    column.bound.resize(slot * static_cast<size_t>(count));
    column.indicators.resize(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        const size_t from = static_cast<size_t>(first + row);
        const SQLLEN length = column.lengths[from];
        if (length == SQL_NULL_DATA) {
            column.indicators[static_cast<size_t>(row)] = SQL_NULL_DATA;
            continue;
        }
        SQLWCHAR* target = column.bound.data() + slot * static_cast<size_t>(row);
        std::memcpy(target, column.data.data() + column.starts[from],
                    static_cast<size_t>(length) * sizeof(SQLWCHAR));
        target[length] = 0;
        column.indicators[static_cast<size_t>(row)] =
            length * static_cast<SQLLEN>(sizeof(SQLWCHAR));
    }
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN size = static_cast<SQLULEN>(std::max<SQLLEN>(width, 1));
    SQLSMALLINT digits = 0;
    switch (column.kind) {
        case OdbcValueKind::Null:
        case OdbcValueKind::Text:
            if (width > kLongTextUnits) sqlType = SQL_WLONGVARCHAR;
            break;
        case OdbcValueKind::Number:
            // Precision and scale that hold every pending number: a data source may round
            // a value to the declared scale.
            sqlType = SQL_NUMERIC;
            size = static_cast<SQLULEN>(column.integerDigits + column.scale);
            digits = static_cast<SQLSMALLINT>(std::min(column.scale, 32767));
            break;
        case OdbcValueKind::Date:
            sqlType = SQL_TYPE_DATE;
            size = 10;
            break;
        case OdbcValueKind::Time:
            sqlType = SQL_TYPE_TIME;
            size = 8;
            break;
        case OdbcValueKind::DateTime:
            sqlType = SQL_TYPE_TIMESTAMP;
            size = width > 19 ? 23 : 19;
            digits = width > 19 ? 3 : 0;
            break;
    }
    OdbcCheck(
        SQLBindParameter(statement.Get(), static_cast<SQLUSMALLINT>(parameter + 1), SQL_PARAM_INPUT,
                         SQL_C_WCHAR, sqlType, size, digits, column.bound.data(),
                         static_cast<SQLLEN>(slot * sizeof(SQLWCHAR)), column.indicators.data()),
        statement);
}

void OdbcParameterRows::Run(int first, int count) {
    if (!database_->IsOpen()) throw EngineError::Of(ErrObjectInvalid);
    if (count == 1 || capacity_ == 1) {
        // A row alone runs directly on a handle of its own: the prepared handle keeps the
        // data source's array path (the PostgreSQL driver, for one, stops sending a
        // prepared statement's arrays in one go once it has run it for a single row).
        if (!single_.IsValid()) single_ = database_->NewStatement();
        for (int parameter = 0; parameter < static_cast<int>(columns_.size()); ++parameter)
            Bind(single_, parameter, first, 1);
        const SQLRETURN code =
            SQLExecDirectW(single_.Get(), OdbcText(sql_), static_cast<SQLINTEGER>(sql_.size()));
        // SQL_NO_DATA: a statement that touched no row.
        if (code != SQL_NO_DATA) OdbcCheck(code, single_);
        return;
    }
    for (int parameter = 0; parameter < static_cast<int>(columns_.size()); ++parameter)
        Bind(statement_, parameter, first, count);
    OdbcCheck(SQLSetStmtAttr(statement_.Get(), SQL_ATTR_PARAMSET_SIZE,
                             reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(count)), 0),
              statement_);
    std::fill(status_.begin(), status_.end(), static_cast<SQLUSMALLINT>(SQL_PARAM_UNUSED));
    const SQLRETURN code = SQLExecute(statement_.Get());
    if (code != SQL_NO_DATA) OdbcCheck(code, statement_);
    // A data source may report a failed row of an array with SQL_SUCCESS_WITH_INFO.
    for (int row = 0; row < count; ++row)
        if (status_[static_cast<size_t>(row)] == SQL_PARAM_ERROR)
            throw OdbcFailure(statement_, ErrOdbcCallFailed);
}

void OdbcParameterRows::Execute() {
    if (pending_ == 0) return;
    if (capacity_ > 1)
        Run(0, pending_);
    else
        for (int row = 0; row < pending_; ++row) Run(row, 1);
    DropPending();
}

void OdbcParameterRows::ExecuteRow(int row) {
    if (row < 0 || row >= pending_) throw EngineError::Of(ErrInvalidArgument);
    Run(row, 1);
}

void OdbcParameterRows::DropPending() {
    for (Column& column : columns_) {
        column.kind = OdbcValueKind::Null;
        column.data.clear();
        column.starts.clear();
        column.lengths.clear();
        column.width = 0;
        column.integerDigits = 1;
        column.scale = 0;
        // A run of long values leaves no large buffer behind for the rest of the rows.
        if (column.data.capacity() * sizeof(char16_t) > kMaxBoundBytes) column.data.shrink_to_fit();
        if (column.bound.capacity() * sizeof(SQLWCHAR) > kMaxBoundBytes) {
            column.bound.clear();
            column.bound.shrink_to_fit();
        }
    }
    pending_ = 0;
}

void OdbcParameterRows::Clear() {
    DropPending();
    for (Column& column : columns_) {
        column.stagedKind = OdbcValueKind::Null;
        column.staged.clear();
    }
}

}  // namespace morvane
