#include "export/engine/OdbcStatementDestination.h"

#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/odbc/OdbcLiteral.h"
#include "export/data/odbc/ParameterRows.h"

namespace morvane {

OdbcStatementDestination::OdbcStatementDestination(std::shared_ptr<Database> database,
                                                   const QString& tableName)
    : database_(std::move(database)), table_(database_->QuoteIdentifier(tableName)) {}

OdbcStatementDestination::~OdbcStatementDestination() {
    Abandon();
}

void OdbcStatementDestination::BeginRecord() {
    count_ = 0;
}

void OdbcStatementDestination::Deliver(const FieldDelivery& value) {
    if (count_ == items_.size()) items_.emplace_back();
    Item& item = items_[count_];
    item.position = value.position;
    item.name = value.name;
    item.type = value.type;
    if (value.text->isEmpty() && value.sourceNull) {
        item.kind = ItemKind::Null;
    } else if (value.valueClass == ValueClass::Text || value.type == dbChar) {
        item.kind = ItemKind::Text;
        item.text = *value.text;
    } else if (value.typedValue) {
        item.kind = ItemKind::Typed;
        item.value = *value.typedValue;
    } else if (value.text->isEmpty()) {
        // An empty item would make a statement no data source accepts.
        item.kind = ItemKind::Null;
    } else {
        // The host's own text of a scalar, as it left it: SQL text, not a value.
        item.kind = ItemKind::HostText;
        item.text = *value.text;
    }
    ++count_;
}

QString OdbcStatementDestination::Statement() const {
    QString names;
    QString values;
    for (size_t index = 0; index < count_; ++index) {
        const Item& item = items_[index];
        if (index > 0) {
            names += QLatin1Char(',');
            values += QLatin1Char(',');
        }
        names += database_->QuoteIdentifier(*item.name);
        switch (item.kind) {
            case ItemKind::Null:
                values += QStringLiteral("NULL");
                break;
            case ItemKind::Text:
                values += QuotedSqlText(item.text);
                break;
            case ItemKind::Typed:
                values += OdbcLiteral(item.value, item.type);
                break;
            case ItemKind::HostText:
                values += QString(item.text).replace(QLatin1Char('\''), QLatin1String("''"));
                break;
        }
    }
    return QStringLiteral("INSERT INTO ") + table_ + QLatin1Char('(') + names +
           QStringLiteral(") VALUES (") + values + QLatin1Char(')');
}

bool OdbcStatementDestination::Prepared() {
    if (rows_) return true;
    if (prepareTried_ || count_ == 0) return false;
    prepareTried_ = true;
    QString names;
    QString markers;
    preparedPositions_.clear();
    for (size_t index = 0; index < count_; ++index) {
        if (index > 0) {
            names += QLatin1Char(',');
            markers += QLatin1Char(',');
        }
        names += database_->QuoteIdentifier(*items_[index].name);
        markers += QLatin1Char('?');
        preparedPositions_.push_back(items_[index].position);
    }
    try {
        rows_ = PrepareParameterRows(database_,
                                     QStringLiteral("INSERT INTO ") + table_ + QLatin1Char('(') +
                                         names + QStringLiteral(") VALUES (") + markers +
                                         QLatin1Char(')'),
                                     static_cast<int>(count_), kArrayRows);
    } catch (const std::exception&) {
        // The data source cannot prepare it: every record goes as its own literal
        // statement, which reports any fault of the statement itself.
        rows_.reset();
    }
    return rows_ != nullptr;
}

bool OdbcStatementDestination::FitsPrepared() const {
    if (count_ != preparedPositions_.size()) return false;
    for (size_t index = 0; index < count_; ++index)
        if (items_[index].position != preparedPositions_[index] ||
            items_[index].kind == ItemKind::HostText)
            return false;
    return true;
}

void OdbcStatementDestination::StageRecord() {
    for (size_t index = 0; index < count_; ++index) {
        const Item& item = items_[index];
        const int parameter = static_cast<int>(index);
        switch (item.kind) {
            case ItemKind::Null:
                rows_->SetNull(parameter);
                break;
            case ItemKind::Text:
                rows_->SetText(parameter, item.text);
                break;
            case ItemKind::Typed:
                rows_->SetValue(parameter, item.value, item.type);
                break;
            case ItemKind::HostText:
                break;  // never staged (FitsPrepared)
        }
    }
}

void OdbcStatementDestination::AllowHeldRecords() {
    holdRecords_ = true;
}

void OdbcStatementDestination::StoreHeldRecords() {
    RunPending();
}

void OdbcStatementDestination::EndRecord() {
    if (holdRecords_ && Prepared() && FitsPrepared()) {
        StageRecord();
        if (!rows_->AddRow()) {
            RunPending();
            StageRecord();
            rows_->AddRow();
        }
        if (rows_->PendingRows() >= rows_->Capacity()) RunPending();
    } else {
        RunLiteral();
    }
    count_ = 0;
}

void OdbcStatementDestination::RunPending() {
    const int rows = rows_ ? rows_->PendingRows() : 0;
    if (rows == 0) return;
    // An array goes in a transaction of its own, so that a failed one is undone alone.
    if (rows > 1) Commit();
    Begin();
    try {
        rows_->Execute();
    } catch (const std::exception&) {
        if (rows == 1) {
            rows_->Clear();
            throw;
        }
        RunOneByOne();
        return;
    }
    pendingRows_ += rows;
    if (rows > 1 || pendingRows_ >= kBatchRows) Commit();
}

void OdbcStatementDestination::RunOneByOne() {
    // Whatever the data source stored of the failed array goes; its rows run again one at
    // a time, so the failure raised is the failing row's own and the rows before it stay.
    try {
        inTransaction_ = false;
        pendingRows_ = 0;
        database_->Rollback();
    } catch (...) {
        // The data source went away: the first row below reports it.
    }
    const int rows = rows_->PendingRows();
    try {
        Begin();
        for (int row = 0; row < rows; ++row) {
            rows_->ExecuteRow(row);
            ++pendingRows_;
        }
    } catch (...) {
        rows_->Clear();
        throw;
    }
    rows_->Clear();
    Commit();
}

void OdbcStatementDestination::RunLiteral() {
    RunPending();
    Begin();
    database_->Execute(Statement(), dbSQLPassThrough);
    if (++pendingRows_ >= kBatchRows) Commit();
}

void OdbcStatementDestination::DiscardRecord() noexcept {
    count_ = 0;
}

void OdbcStatementDestination::Begin() {
    if (inTransaction_) return;
    database_->BeginTrans();
    inTransaction_ = true;
}

void OdbcStatementDestination::Commit() {
    pendingRows_ = 0;
    if (!inTransaction_) return;
    inTransaction_ = false;
    database_->CommitTrans();
}

void OdbcStatementDestination::Flush() {
    RunPending();
    Commit();
}

void OdbcStatementDestination::Close() {
    Flush();
    rows_.reset();
    if (database_ && database_->IsOpen()) database_->Close();
}

void OdbcStatementDestination::Abandon() noexcept {
    DiscardRecord();
    try {
        // The rows still pending were reported as exported.
        RunPending();
    } catch (...) {
        // A row refused here keeps the rows before it (committed below); the error that
        // stopped the run has been reported.
    }
    try {
        Commit();
    } catch (...) {
        // The data source went away or refused the commit; the error that stopped the
        // run has been reported, and the connection is released below.
    }
    rows_.reset();
    try {
        if (database_ && database_->IsOpen()) database_->Close();
    } catch (...) {
    }
}

}  // namespace morvane
