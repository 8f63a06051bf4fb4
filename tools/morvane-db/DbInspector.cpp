#include "tools/morvane-db/DbInspector.h"

#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/engine/ValueText.h"

namespace morvane {

namespace {

const QString kTab = QStringLiteral("\t");

QString Flag(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString Escape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar ch : text) {
        switch (ch.unicode()) {
            case '\\':
                escaped += QLatin1String("\\\\");
                break;
            case '\t':
                escaped += QLatin1String("\\t");
                break;
            case '\r':
                escaped += QLatin1String("\\r");
                break;
            case '\n':
                escaped += QLatin1String("\\n");
                break;
            default:
                escaped += ch;
        }
    }
    return escaped;
}

// Reads "--name N" pairs; false when one is unknown or not a number (>= minimum).
bool ReadCountOption(const QStringList& arguments, int* index, qint64 minimum, qint64* value) {
    if (*index + 1 >= arguments.size()) return false;
    bool ok = false;
    *value = arguments.at(*index + 1).toLongLong(&ok);
    *index += 2;
    return ok && *value >= minimum;
}

// Takes "--param NAME=VALUE" out of `arguments` into `parameters`; false when malformed.
bool TakeParameters(QStringList* arguments, QList<QPair<QString, QString>>* parameters) {
    for (int index = 0; index < arguments->size();) {
        if (arguments->at(index) != QLatin1String("--param")) {
            ++index;
            continue;
        }
        if (index + 1 >= arguments->size()) return false;
        const QString pair = arguments->at(index + 1);
        const int equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0) return false;
        parameters->append({pair.left(equals), pair.mid(equals + 1)});
        arguments->remove(index, 2);
    }
    return true;
}

}  // namespace

QString DbInspector::UsageText() {
    return QStringLiteral(
        "usage: morvane-db [--connect TYPE] [--password PW] [--param NAME=VALUE]... DATABASE "
        "COMMAND [ARGS]\n"
        "  (--connect may be a whole connect string: \"ODBC;DSN=name;UID=user;PWD=pw;\" \"\")\n"
        "commands:\n"
        "  tables\n"
        "  queries\n"
        "  fields SOURCE\n"
        "  count SOURCE\n"
        "  rows SOURCE [--start N] [--limit N]\n"
        "  exec SQL\n"
        "  define-query NAME TYPE SQL\n"
        "  drop-query NAME\n"
        "  set-password OLD NEW\n"
        "  create\n");
}

bool DbInspector::ParseArguments(const QStringList& arguments, DbToolRequest* request) {
    int index = 0;
    while (index < arguments.size() && arguments.at(index).startsWith(QLatin1String("--"))) {
        const QString option = arguments.at(index);
        if (index + 1 >= arguments.size()) return false;
        if (option == QLatin1String("--connect")) {
            request->Connect = arguments.at(index + 1);
        } else if (option == QLatin1String("--password")) {
            request->Password = arguments.at(index + 1);
        } else if (option == QLatin1String("--param")) {
            QStringList pair = {option, arguments.at(index + 1)};
            if (!TakeParameters(&pair, &request->Parameters)) return false;
        } else {
            return false;
        }
        index += 2;
    }
    if (arguments.size() - index < 2) return false;
    request->DatabaseName = arguments.at(index);
    request->Command = arguments.at(index + 1);
    request->Arguments = arguments.mid(index + 2);
    static const QHash<QString, int> argumentCounts = {
        {"tables", 0}, {"queries", 0},      {"fields", 1}, {"count", 1},        {"rows", -1},
        {"exec", 1},   {"set-password", 2}, {"create", 0}, {"define-query", 3}, {"drop-query", 1}};
    const auto expected = argumentCounts.constFind(request->Command);
    if (expected == argumentCounts.constEnd()) return false;
    static const QStringList readers = {"fields", "count", "rows"};
    if (readers.contains(request->Command) &&
        !TakeParameters(&request->Arguments, &request->Parameters))
        return false;
    if (expected.value() >= 0) return request->Arguments.size() == expected.value();
    return !request->Arguments.isEmpty();
}

bool DbInspector::Run(const DbToolRequest& request) {
    DBEngine& engine = DBEngine::Instance();
    if (request.Command == QLatin1String("create")) {
        auto database = engine.CreateDatabase(
            request.DatabaseName, QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), 32);
        if (!request.Password.isEmpty()) database->NewPassword(QString(), request.Password);
        database->Close();
        return true;
    }
    const QString password = request.Command == QLatin1String("set-password")
                                 ? request.Arguments.at(0)
                                 : request.Password;
    // A whole connect string ("ODBC;DSN=...;UID=...;PWD=...;") is passed as it is: a
    // second password item would contradict the one it holds.
    const QString connect = request.Connect.contains(QLatin1Char(';')) && password.isEmpty()
                                ? request.Connect
                                : request.Connect + ";pwd=" + password + ";";
    auto database = engine.OpenDatabase(request.DatabaseName, 0, false, connect);
    const QString& command = request.Command;
    parameters_ = request.Parameters;
    bool ok = true;
    if (command == QLatin1String("tables"))
        Tables(*database);
    else if (command == QLatin1String("queries"))
        Queries(*database);
    else if (command == QLatin1String("fields"))
        FieldsOf(*database, request.Arguments.at(0));
    else if (command == QLatin1String("count"))
        Count(*database, request.Arguments.at(0));
    else if (command == QLatin1String("rows"))
        ok = Rows(*database, request.Arguments);
    else if (command == QLatin1String("exec"))
        database->Execute(request.Arguments.at(0));
    else if (command == QLatin1String("define-query"))
        ok = DefineQuery(*database, request.Arguments);
    else if (command == QLatin1String("drop-query"))
        database->QueryDefs().Delete(request.Arguments.at(0));
    else if (command == QLatin1String("set-password"))
        database->NewPassword(request.Arguments.at(0), request.Arguments.at(1));
    out_.flush();
    database->Close();
    return ok;
}

// A table opens as table type, a stored query as a snapshot (pass-through queries with
// option 64) after its parameters got the --param values.
std::unique_ptr<Recordset> DbInspector::OpenSource(Database& database, const QString& source) {
    if (database.TableDefs().IndexOf(source) >= 0) {
        if (!parameters_.isEmpty())  // a table has no parameters to value
            throw EngineError::Of(ErrItemNotFound);
        return database.OpenRecordset(source, dbOpenTable);
    }
    QueryDefs& queries = database.QueryDefs();
    for (int index = 0; index < queries.Count(); ++index) {
        if (queries.Item(index).Name().compare(source, Qt::CaseInsensitive) != 0) continue;
        const std::shared_ptr<QueryDef> query = queries.ItemShared(source);
        for (const auto& parameter : parameters_)
            query->Parameters().Item(parameter.first).SetValue(parameter.second);
        return query->OpenRecordset(dbOpenSnapshot, query->Type() == 112 ? dbSQLPassThrough : 0);
    }
    return database.OpenRecordset(source);  // raises the engine's "not found"
}

bool DbInspector::DefineQuery(Database& database, const QStringList& arguments) {
    bool ok = false;
    const short type = arguments.at(1).toShort(&ok);
    if (!ok || type < 0) return false;
    database.CreateQueryDef(arguments.at(0), type, arguments.at(2));
    return true;
}

void DbInspector::Tables(Database& database) {
    TableDefs& tables = database.TableDefs();
    for (int index = 0; index < tables.Count(); ++index)
        out_ << tables.Item(index).Name() << kTab << tables.Item(index).Attributes() << '\n';
}

void DbInspector::Queries(Database& database) {
    QueryDefs& queries = database.QueryDefs();
    for (int index = 0; index < queries.Count(); ++index) {
        QueryDef& query = queries.Item(index);
        QStringList names;
        for (int p = 0; p < query.Parameters().Count(); ++p)
            names << query.Parameters().Item(p).Name();
        out_ << query.Name() << kTab << query.Type() << kTab << Flag(query.ReturnsRecords()) << kTab
             << names.join(QLatin1Char(',')) << '\n';
    }
}

void DbInspector::FieldsOf(Database& database, const QString& source) {
    auto recordset = OpenSource(database, source);
    Fields& fields = recordset->Fields();
    for (int ordinal = 0; ordinal < fields.Count(); ++ordinal) {
        const Field& field = fields.Item(ordinal);
        out_ << ordinal << kTab << field.Name() << kTab << field.Type() << kTab << field.Size()
             << kTab << Flag(field.Required()) << '\n';
    }
    recordset->Close();
}

void DbInspector::Count(Database& database, const QString& source) {
    auto recordset = OpenSource(database, source);
    qint64 count = 0;
    try {
        recordset->MoveLast();
        count = recordset->RecordCount();
    } catch (const EngineError& error) {
        if (error.Number() != ErrNoCurrentRecord) throw;
        DbErrors().Clear();  // an empty source simply counts 0
    }
    out_ << count << '\n';
    recordset->Close();
}

bool DbInspector::Rows(Database& database, const QStringList& arguments) {
    qint64 start = 1;
    qint64 limit = -1;
    for (int index = 1; index < arguments.size();) {
        const QString& option = arguments.at(index);
        if (option == QLatin1String("--start")) {
            if (!ReadCountOption(arguments, &index, 1, &start)) return false;
        } else if (option == QLatin1String("--limit")) {
            if (!ReadCountOption(arguments, &index, 0, &limit)) return false;
        } else {
            return false;
        }
    }
    auto recordset = OpenSource(database, arguments.at(0));
    if (!recordset->Eof() && start > 1) recordset->Move(start - 1);
    Fields& fields = recordset->Fields();
    const int count = fields.Count();
    QString line;
    for (qint64 written = 0; !recordset->Eof() && written != limit; ++written) {
        line.clear();
        for (int ordinal = 0; ordinal < count; ++ordinal) {
            if (ordinal > 0) line += kTab;
            const Field& field = fields.Item(ordinal);
            line += RowValueText(field.Value(), field.Type());
        }
        out_ << line << '\n';
        recordset->MoveNext();
    }
    recordset->Close();
    return true;
}

QString DbInspector::RowValueText(const QVariant& value, short fieldType) {
    if (value.isNull()) return QStringLiteral("\\N");
    if (value.typeId() == QMetaType::QByteArray)
        return QLatin1String("0x") + QString::fromLatin1(value.toByteArray().toHex());
    return Escape(ValueText(value, fieldType));
}

}  // namespace morvane
