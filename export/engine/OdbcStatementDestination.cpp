#include "export/engine/OdbcStatementDestination.h"

#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/odbc/OdbcLiteral.h"

namespace morvane {

OdbcStatementDestination::OdbcStatementDestination(std::shared_ptr<Database> database,
                                                   const QString& tableName)
    : database_(std::move(database)), table_(database_->QuoteIdentifier(tableName)) {}

OdbcStatementDestination::~OdbcStatementDestination() {
    Abandon();
}

void OdbcStatementDestination::BeginRecord() {
    names_.resize(0);
    values_.resize(0);
}

void OdbcStatementDestination::Deliver(const FieldDelivery& value) {
    QString item;
    if (value.text->isEmpty() && value.sourceNull) {
        item = QStringLiteral("NULL");
    } else if (value.valueClass == ValueClass::Text || value.type == dbChar) {
        item = QuotedSqlText(*value.text);
    } else if (value.typedValue) {
        item = OdbcLiteral(*value.typedValue, value.type);
    } else {
        // The host's own text of a scalar, as it left it (apostrophes doubled); an empty
        // text would leave an empty item, which no data source accepts.
        item = value.text->isEmpty()
                   ? QStringLiteral("NULL")
                   : QString(*value.text).replace(QLatin1Char('\''), QLatin1String("''"));
    }
    if (!names_.isEmpty()) {
        names_ += QLatin1Char(',');
        values_ += QLatin1Char(',');
    }
    names_ += database_->QuoteIdentifier(*value.name);
    values_ += item;
}

QString OdbcStatementDestination::Statement() const {
    return QStringLiteral("INSERT INTO ") + table_ + QLatin1Char('(') + names_ +
           QStringLiteral(") VALUES (") + values_ + QLatin1Char(')');
}

void OdbcStatementDestination::EndRecord() {
    if (!inTransaction_) {
        database_->BeginTrans();
        inTransaction_ = true;
    }
    database_->Execute(Statement(), dbSQLPassThrough);
    if (++pendingRows_ >= kBatchRows) Commit();
}

void OdbcStatementDestination::DiscardRecord() noexcept {
    names_.resize(0);
    values_.resize(0);
}

void OdbcStatementDestination::Commit() {
    pendingRows_ = 0;
    if (!inTransaction_) return;
    inTransaction_ = false;
    database_->CommitTrans();
}

void OdbcStatementDestination::Flush() {
    Commit();
}

void OdbcStatementDestination::Close() {
    Commit();
    if (database_ && database_->IsOpen()) database_->Close();
}

void OdbcStatementDestination::Abandon() noexcept {
    DiscardRecord();
    try {
        Commit();
    } catch (...) {
        // The data source went away or refused the commit; the error that stopped the
        // run has been reported, and the connection is released below.
    }
    try {
        if (database_ && database_->IsOpen()) database_->Close();
    } catch (...) {
    }
}

}  // namespace morvane
