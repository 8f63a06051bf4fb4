// A database with stored queries of every kind, for the stored-query tests: it wraps a
// native database (tables, records, statements) and adds the queries described by
// FakeQueryDefinition. A select query opens a table or view of the native database as a
// snapshot; an action query runs its SQL there with its parameters put in as literals.
// Every open and run is logged with the parameter values it saw. FakeQueryDriver serves
// such databases to DBEngine under the type specifier "QueryTest", for batch runs.
//
// Usage:
//   auto db = FakeQueryDatabase::Wrap(path, {{"Purge", 32, false, "DELETE FROM T"}}, &log);
//   session.Source().SetDb(db);
//   session.OpenStoredQuery("Purge");
#pragma once

#include "export/data/Database.h"
#include "export/data/Driver.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/QueryDef.h"
#include "export/data/dbengine/DBEngine.h"

#include <QStringList>
#include <vector>

namespace morvane::test {

struct FakeQueryParam {
    QString name{};
    short type = dbText;  //!< dbLong: the value must be a whole number
};

struct FakeQueryDefinition {
    QString name{};
    short type = 0;
    bool returnsRecords = true;
    QString sql{};                         //!< run by Execute; "[name]" takes a parameter
    QString source{};                      //!< opened by OpenRecordset
    std::vector<FakeQueryParam> params{};  //!< in the engine's order
    int executeError = 0;                  //!< engine error raised by Execute, 0 for none
};

//! What the queries were asked to do, in order.
struct FakeQueryLog {
    struct Call {
        QString query;
        bool execute = false;
        int options = 0;
        int type = 0;
        QStringList values;  //!< the parameter values seen
    };
    std::vector<Call> calls;
};

class FakeQueryDef : public QueryDef {
  public:
    FakeQueryDef(std::weak_ptr<Database> database, std::shared_ptr<Database> inner,
                 FakeQueryDefinition definition, FakeQueryLog* log)
        : QueryDef(std::move(database), definition.name, definition.type,
                   definition.returnsRecords),
          inner_(std::move(inner)),
          definition_(std::move(definition)),
          log_(log) {
        for (const FakeQueryParam& param : definition_.params)
            parameters_.Append(Key(), Parameter(param.name, param.type));
    }

    QString SQL() const override { return definition_.sql; }

  protected:
    std::unique_ptr<Recordset> doOpenRecordset(Database&, int type, int options) override {
        log_->calls.push_back({Name(), false, options, type, Values()});
        CheckValues();
        return inner_->OpenRecordset(definition_.source, dbOpenSnapshot);
    }

    void doExecute(Database&, int options) override {
        log_->calls.push_back({Name(), true, options, 0, Values()});
        if (definition_.executeError)
            throw EngineError::Raise(definition_.executeError, QStringLiteral("Query failed."));
        CheckValues();
        QString sql = definition_.sql;
        for (int index = 0; index < parameters_.Count(); ++index) {
            Parameter& param = parameters_.Item(index);
            const QString value = param.Value().toString();
            sql.replace(
                QLatin1Char('[') + param.Name() + QLatin1Char(']'),
                param.Type() == dbLong ? value : QLatin1Char('\'') + value + QLatin1Char('\''));
        }
        inner_->Execute(sql);
    }

  private:
    QStringList Values() {
        QStringList values;
        for (int index = 0; index < parameters_.Count(); ++index)
            values << parameters_.Item(index).Value().toString();
        return values;
    }

    void CheckValues() {
        for (int index = 0; index < parameters_.Count(); ++index) {
            Parameter& param = parameters_.Item(index);
            bool ok = true;
            if (param.Type() == dbLong) param.Value().toString().toInt(&ok);
            if (!ok || !param.Value().isValid())
                throw EngineError::Raise(ErrConversion,
                                         QStringLiteral("Data type conversion error."));
        }
    }

    std::shared_ptr<Database> inner_;
    FakeQueryDefinition definition_;
    FakeQueryLog* log_;
};

class FakeQueryDatabase : public Database {
  public:
    FakeQueryDatabase(std::shared_ptr<Database> inner, std::vector<FakeQueryDefinition> definitions,
                      FakeQueryLog* log)
        : Database(inner->Name(), QStringLiteral("QueryTest;")),
          inner_(std::move(inner)),
          definitions_(std::move(definitions)),
          log_(log) {}

    static std::shared_ptr<FakeQueryDatabase> Wrap(const QString& path,
                                                   std::vector<FakeQueryDefinition> definitions,
                                                   FakeQueryLog* log) {
        return std::make_shared<FakeQueryDatabase>(DBEngine::Instance().OpenDatabase(path),
                                                   std::move(definitions), log);
    }

  protected:
    std::vector<std::shared_ptr<TableDef>> doListTables() override {
        return inner_->ListTables(Key());
    }
    std::vector<std::shared_ptr<QueryDef>> doListQueries() override {
        std::vector<std::shared_ptr<QueryDef>> queries;
        for (const FakeQueryDefinition& definition : definitions_)
            queries.push_back(
                std::make_shared<FakeQueryDef>(weak_from_this(), inner_, definition, log_));
        return queries;
    }
    std::unique_ptr<Recordset> doOpenRecordset(const QString& name, int type,
                                               int options) override {
        return inner_->OpenRecordset(name, type, options);
    }
    void doExecute(const QString& sql, int options) override { inner_->Execute(sql, options); }
    void doClose() override { inner_->Close(); }

  private:
    std::shared_ptr<Database> inner_;
    std::vector<FakeQueryDefinition> definitions_;
    FakeQueryLog* log_;
};

//! Serves FakeQueryDatabases over native files under the type specifier "QueryTest".
class FakeQueryDriver : public Driver {
  public:
    FakeQueryDriver(std::vector<FakeQueryDefinition> definitions, FakeQueryLog* log)
        : definitions_(std::move(definitions)), log_(log) {}

    std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions&, const QString&,
                                           const ConnectInfo&) override {
        return FakeQueryDatabase::Wrap(name, definitions_, log_);
    }

    //! Registers a driver with these queries (replacing the one of an earlier test).
    static void Install(std::vector<FakeQueryDefinition> definitions, FakeQueryLog* log) {
        DBEngine::Instance().Drivers().Register(
            {QStringLiteral("QueryTest")},
            std::make_shared<FakeQueryDriver>(std::move(definitions), log));
    }

  private:
    std::vector<FakeQueryDefinition> definitions_;
    FakeQueryLog* log_;
};

}  // namespace morvane::test
