// Rows sent as parameter arrays to a real PostgreSQL server (started by the test, reached
// through the PostgreSQL ODBC driver) and read back with psql: the driver's ParameterRows
// (values of every kind, array boundaries, a failed array undone and run again row by
// row), and the ODBC destination holding records back as a run that stores them at the
// record stage does (a failing row inside an array, the host's own text, memory).
#include "tests/odbc/OdbcTestConfig.h"
#include "tests/odbc/PgTestServer.h"
#include "tests/odbc/QtPrinters.h"
#include "tests/wizard/TableReadBack.h"

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/dbengine/DBEngine.h"
#include "export/data/odbc/ParameterRows.h"
#include "export/engine/OdbcStatementDestination.h"
#include "export/engine/ValueText.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QFile>
#include <QUuid>
#include <iterator>

namespace morvane::test {
namespace {

const QString kPgConnect = QStringLiteral("ODBC;DSN=pg;UID=morvane;PWD=s3cret;");
const QString kLiteConnect = QStringLiteral("ODBC;DSN=lite;UID=;PWD=;");

class PgWorld : public ::testing::Environment {
  public:
    void SetUp() override {
        config = std::make_unique<OdbcTestConfig>();
        config->ApplyToProcess();
        server = std::make_unique<PgTestServer>();
        serverUp = server->Start();
        QFile drivers(config->SystemDir() + QStringLiteral("/odbcinst.ini"));
        drivers.open(QIODevice::WriteOnly | QIODevice::Truncate);
        drivers.write(QStringLiteral("[PostgreSQL]\nDriver=%1\n\n[SQLite3]\nDriver=%2\n")
                          .arg(QStringLiteral(MORVANE_PG_ODBC_DRIVER), OdbcTestConfig::DriverPath())
                          .toUtf8());
        drivers.close();
        QFile sources(config->UserIni());
        sources.open(QIODevice::WriteOnly | QIODevice::Truncate);
        sources.write(QStringLiteral("[pg]\nDriver=PostgreSQL\nServername=127.0.0.1\nPort=%1\n"
                                     "Database=postgres\n\n[lite]\nDriver=SQLite3\nDatabase=%2\n")
                          .arg(server->Port())
                          .arg(LitePath())
                          .toUtf8());
    }
    void TearDown() override { server.reset(); }
    QString LitePath() const { return config->Path(QStringLiteral("lite.db")); }

    std::unique_ptr<OdbcTestConfig> config;
    std::unique_ptr<PgTestServer> server;
    bool serverUp = false;
};

PgWorld* world = nullptr;

class OdbcParameterRowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QStringLiteral(MORVANE_PG_ODBC_DRIVER).isEmpty())
            GTEST_SKIP() << "PostgreSQL ODBC driver (odbc-postgresql) not installed";
        if (!world->serverUp) GTEST_SKIP() << world->server->Problem().toStdString();
    }
    void TearDown() override {
        if (db_ && db_->IsOpen()) db_->Close();
    }

    QString Psql(const QString& sql) const {
        bool ok = false;
        const QString out = world->server->Psql(sql, &ok);
        EXPECT_TRUE(ok) << out.toStdString();
        return out;
    }
    Database& Open(const QString& connect = kPgConnect) {
        db_ = DBEngine::Instance().OpenDatabase(QString(), 0, false, connect);
        return *db_;
    }

    std::shared_ptr<Database> db_;
};

//! The message of the error `operation` raises (empty when it raises none).
template <typename Operation>
QString ErrorOf(Operation&& operation) {
    try {
        operation();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

TEST_F(OdbcParameterRowsTest, ValuesOfEveryKindRoundTripAcrossArrayBoundaries) {
    SetRegionalLocale(QLocale(QLocale::German, QLocale::Germany));
    Psql(
        "DROP TABLE IF EXISTS kinds; CREATE TABLE kinds (id integer, t text, v varchar(20), "
        "d double precision, n numeric(19,4), big bigint, ts timestamp, dt date, tm time, "
        "b boolean, g uuid)");
    struct Row {
        QVariant text;  // text columns t and v
        QVariant d, n, big, ts, dt, tm, b, g;
        const char* expected;
    };
    const QUuid uuid("{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}");
    const Row rows[] = {
        {QStringLiteral("O'Brien ''x'' \"q\""), 1234.5, QStringLiteral("123.4500"),
         QVariant::fromValue(qlonglong(-9000000000LL)),
         QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)), QDate(2024, 2, 9), QTime(23, 59, 1), true,
         QVariant::fromValue(uuid),
         "O'Brien ''x'' \"q\"|1234.5|123.4500|-9000000000|1999-12-31 15:04:05|2024-02-09|"
         "23:59:01|t|0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"},
        {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
         QVariant(), QVariant(), "<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>"},
        {QStringLiteral(""), -0.5, 12.25, 0, QDateTime(QDate(2024, 2, 9), QTime(1, 2, 3, 450)),
         QDateTime(QDate(2001, 3, 6), QTime(0, 0)), QTime(0, 0), false, QVariant(),
         "|-0.5|12.2500|0|2024-02-09 01:02:03.45|2001-03-06|00:00:00|f|<null>"},
        // A date among date-times goes as the date-time at midnight.
        {QString::fromUtf8("Zoë ünïcödé 日本 €"), 1e20, QVariant(0.1f), 42, QDate(2020, 1, 2),
         QVariant(), QVariant(), QVariant(), QVariant(),
         "Zoë ünïcödé 日本 €|1e+20|0.1000|42|2020-01-02 00:00:00|<null>|<null>|<null>|<null>"},
        {QStringLiteral("line1\r\nline2\ttab;comma,C:\\dir\\"), 0.1, QStringLiteral("-0.0001"), 1,
         QDateTime(QDate(1900, 1, 1), QTime(12, 0)), QDate(1, 1, 1), QVariant(), true, QVariant(),
         "line1\r\nline2\ttab;comma,C:\\dir\\|0.1|-0.0001|1|1900-01-01 "
         "12:00:00|0001-01-01|<null>|t|"
         "<null>"},
    };
    const short types[] = {dbDouble, dbDecimal, dbBigInt,  dbDate,
                           dbDate,   dbTime,    dbBoolean, dbGUID};
    Database& database = Open();
    // Arrays of two rows: five rows make three executions, and each kind meets its own.
    std::unique_ptr<ParameterRows> statement = PrepareParameterRows(
        db_, "INSERT INTO kinds(id,t,v,d,n,big,ts,dt,tm,b,g) VALUES (?,?,?,?,?,?,?,?,?,?,?)", 11,
        2);
    ASSERT_TRUE(statement);
    ASSERT_EQ(statement->Capacity(), 2);
    database.BeginTrans();
    int executions = 0;
    for (int id = 1; id <= static_cast<int>(std::size(rows)); ++id) {
        const Row& row = rows[id - 1];
        const auto stage = [&] {
            statement->SetValue(0, id, dbLong);
            if (row.text.isNull()) {
                statement->SetNull(1);
                statement->SetNull(2);
            } else {
                statement->SetText(1, row.text.toString());
                statement->SetText(2, row.text.toString().left(20));
            }
            const QVariant* values[] = {&row.d,  &row.n,  &row.big, &row.ts,
                                        &row.dt, &row.tm, &row.b,   &row.g};
            for (int index = 0; index < 8; ++index)
                statement->SetValue(3 + index, *values[index], types[index]);
        };
        stage();
        if (!statement->AddRow()) {
            statement->Execute();
            ++executions;
            ASSERT_TRUE(statement->AddRow()) << "a row always joins when nothing is pending";
        }
    }
    statement->Execute();
    ++executions;
    database.CommitTrans();
    EXPECT_EQ(executions, 3);
    EXPECT_EQ(statement->PendingRows(), 0);
    SetRegionalLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    QStringList expected;
    for (const Row& row : rows) {
        QString line = QString::fromUtf8(row.expected);
        const QString text = line.section(QLatin1Char('|'), 0, 0);
        expected << text + QLatin1Char('|') + (text == "<null>" ? text : text.left(20)) +
                        QLatin1Char('|') + line.section(QLatin1Char('|'), 1);
    }
    EXPECT_EQ(Psql("SELECT coalesce(t, '<null>'), coalesce(v, '<null>'), d, n, big, ts, dt, tm, "
                   "b, g FROM kinds ORDER BY id"),
              expected.join(QLatin1Char('\n')));
}

TEST_F(OdbcParameterRowsTest, FailedArrayIsUndoneAndItsRowsRunAloneReportTheFailingOne) {
    Psql("DROP TABLE IF EXISTS narrow; CREATE TABLE narrow (c varchar(3))");
    Database& database = Open();
    auto statement = PrepareParameterRows(db_, "INSERT INTO narrow(c) VALUES (?)", 1, 10);
    ASSERT_TRUE(statement);
    const QStringList values = {"a", "bb", "toolong", "c"};
    for (const QString& value : values) {
        statement->SetText(0, value);
        ASSERT_TRUE(statement->AddRow());
    }
    database.BeginTrans();
    const QString failure = ErrorOf([&] { statement->Execute(); });
    EXPECT_TRUE(failure.contains("value too long")) << failure.toStdString();
    EXPECT_EQ(statement->PendingRows(), 4) << "a failed array keeps its rows";
    database.Rollback();
    EXPECT_EQ(Psql("SELECT count(*) FROM narrow"), "0");
    database.BeginTrans();
    EXPECT_EQ(ErrorOf([&] { statement->ExecuteRow(0); }), QString());
    EXPECT_EQ(ErrorOf([&] { statement->ExecuteRow(1); }), QString());
    EXPECT_EQ(ErrorOf([&] { statement->ExecuteRow(2); }), failure);
    database.CommitTrans();
    EXPECT_EQ(Psql("SELECT c FROM narrow ORDER BY c"), "a\nbb");
    // The prepared statement still takes arrays after its rows ran alone.
    statement->Clear();
    for (const char* value : {"x", "y"}) {
        statement->SetText(0, value);
        statement->AddRow();
    }
    statement->Execute();
    EXPECT_EQ(Psql("SELECT string_agg(c, ',' ORDER BY c) FROM narrow"), "a,bb,x,y");
}

//! Feeds records to an ODBC destination the way the run does: Id (a scalar, typed unless
//! the host changed its text) and Name (text; Null when the source was Null).
class HeldRecords : public OdbcParameterRowsTest {
  protected:
    void Start(const QString& table, bool hold = true, const QString& connect = kPgConnect) {
        Open(connect);
        destination_ = std::make_unique<OdbcStatementDestination>(db_, table);
        if (hold) destination_->AllowHeldRecords();
    }
    void Record(int id, const QVariant& name, const QString& hostIdText = QString()) {
        destination_->BeginRecord();
        id_ = id;
        idText_ = hostIdText;
        FieldDelivery idField;
        idField.position = 0;
        idField.name = &idName_;
        idField.type = dbLong;
        idField.valueClass = ValueClass::Scalar;
        idField.text = &idText_;
        if (hostIdText.isEmpty()) idField.typedValue = &id_;
        destination_->Deliver(idField);
        nameText_ = name.toString();
        FieldDelivery nameField;
        nameField.position = 1;
        nameField.name = &nameName_;
        nameField.type = dbText;
        nameField.valueClass = ValueClass::Text;
        nameField.text = &nameText_;
        nameField.sourceNull = name.isNull();
        destination_->Deliver(nameField);
        destination_->EndRecord();
    }
    static QString NameOf(int id) {
        return id % 7 == 0 ? QString::fromUtf8("d'Artagnan Müller %1").arg(id)
                           : QStringLiteral("n%1").arg(id);
    }

    std::unique_ptr<OdbcStatementDestination> destination_;
    QString idName_ = QStringLiteral("Id");
    QString nameName_ = QStringLiteral("Name's");
    QVariant id_;
    QString idText_;
    QString nameText_;
};

TEST_F(HeldRecords, ArrayBoundariesNullsAndTheHostsOwnText) {
    Psql("DROP TABLE IF EXISTS held; CREATE TABLE held (\"Id\" integer, \"Name's\" text)");
    Start(QStringLiteral("held"));
    const int rows = 2 * OdbcStatementDestination::kArrayRows + 3;
    for (int id = 1; id <= rows; ++id) {
        if (id == 1502)
            Record(id, NameOf(id), QStringLiteral("1501+1"));  // SQL text, as the host left it
        else if (id % 100 == 0)
            Record(id, QVariant());  // Null
        else if (id % 100 == 1)
            Record(id, QStringLiteral(""));  // empty text, not Null
        else
            Record(id, NameOf(id));
    }
    destination_->StoreHeldRecords();
    destination_->Close();
    EXPECT_EQ(Psql("SELECT count(*), count(DISTINCT \"Id\"), min(\"Id\"), max(\"Id\"), "
                   "count(*) FILTER (WHERE \"Name's\" IS NULL), "
                   "count(*) FILTER (WHERE \"Name's\" = '') FROM held"),
              QStringLiteral("%1|%1|1|%1|20|21").arg(rows));
    EXPECT_EQ(Psql("SELECT \"Name's\" FROM held WHERE \"Id\" IN (1499, 1502, 2002) ORDER BY 1"),
              QString::fromUtf8("d'Artagnan Müller 2002\nn1499\nn1502"));
}

TEST_F(HeldRecords, FailingRowInsideAnArrayIsReportedAsItselfKeepingTheRowsBefore) {
    struct Case {
        const char* name;
        bool hold;
        int rows;
        int failing;
        int raisedAt;  //!< the record whose EndRecord raises; 0: StoreHeldRecords
    };
    const int array = OdbcStatementDestination::kArrayRows;
    const Case cases[] = {
        {"inside the second array", true, 3 * array, array + 17, 2 * array},
        {"first row of an array", true, 2 * array, array + 1, 2 * array},
        {"in the last, partial array", true, array + 40, array + 39, 0},
        {"records not held: at its own EndRecord", false, 30, 12, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Psql(
            "DROP TABLE IF EXISTS held; CREATE TABLE held (\"Id\" integer, \"Name's\" "
            "varchar(25))");
        Start(QStringLiteral("held"), c.hold);
        int raisedAt = -1;
        QString failure;
        for (int id = 1; id <= c.rows && raisedAt < 0; ++id) {
            failure = ErrorOf([&] {
                Record(id, id == c.failing ? QStringLiteral("far too long for this column")
                                           : NameOf(id));
            });
            if (!failure.isEmpty()) raisedAt = id;
        }
        if (raisedAt < 0) {
            failure = ErrorOf([&] { destination_->StoreHeldRecords(); });
            if (!failure.isEmpty()) raisedAt = 0;
        }
        // The run stops: what was stored before the failing row stays.
        destination_->Abandon();
        destination_.reset();
        EXPECT_EQ(raisedAt, c.raisedAt);
        EXPECT_TRUE(failure.contains("value too long for type character varying(25)"))
            << failure.toStdString();
        EXPECT_EQ(Psql("SELECT count(*), coalesce(max(\"Id\"), 0) FROM held"),
                  QStringLiteral("%1|%1").arg(c.failing - 1));
    }
}

TEST_F(HeldRecords, DataSourceKeepingPartOfAFailedArrayGetsNoRowTwice) {
    // The SQLite driver stores the rows of an array before a failing one: the array is
    // rolled back before its rows run again one by one.
    if (OdbcTestConfig::DriverPath().isEmpty()) GTEST_SKIP() << "libsqliteodbc not installed";
    QFile::remove(world->LitePath());
    bool ok = false;
    Sqlite3Rows(world->LitePath(),
                "CREATE TABLE held (\"Id\" integer, \"Name's\" text "
                "CHECK (length(\"Name's\") <= 25))",
                &ok);
    ASSERT_TRUE(ok) << "the sqlite3 shell is needed";
    Start(QStringLiteral("held"), true, kLiteConnect);
    const int failing = OdbcStatementDestination::kArrayRows + 300;
    QString failure;
    for (int id = 1; id <= 2 * OdbcStatementDestination::kArrayRows && failure.isEmpty(); ++id)
        failure = ErrorOf([&] {
            Record(id, id == failing ? QStringLiteral("far too long for this column") : NameOf(id));
        });
    destination_->Abandon();
    destination_.reset();
    EXPECT_TRUE(failure.contains("CHECK constraint failed")) << failure.toStdString();
    EXPECT_EQ(Sqlite3Rows(world->LitePath(),
                          "SELECT count(*), count(DISTINCT \"Id\"), max(\"Id\") FROM held"),
              QStringList{QStringLiteral("%1|%1|%1").arg(failing - 1)});
}

//! The process's peak resident memory so far, in kB (-1 when it cannot be read).
long PeakResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

TEST_F(HeldRecords, MemoryStaysFlatWithLongValuesAmongShortOnes) {
    if (PeakResidentKilobytes() < 0) GTEST_SKIP() << "no /proc/self/status";
    Psql("DROP TABLE IF EXISTS held; CREATE TABLE held (\"Id\" integer, \"Name's\" text)");
    Start(QStringLiteral("held"));
    // Every 500th value is 200,000 characters long: an array of 1000 rows bound at its
    // width would take 400 MB; the bound arrays stay under their cap instead.
    const QString longText(200000, QLatin1Char('x'));
    const long before = PeakResidentKilobytes();
    const int rows = 12 * OdbcStatementDestination::kArrayRows;
    for (int id = 1; id <= rows; ++id) Record(id, id % 500 == 0 ? longText : NameOf(id));
    destination_->StoreHeldRecords();
    const long peak = PeakResidentKilobytes();
    destination_->Close();
    EXPECT_LT(peak - before, 48 * 1024)
        << "peak resident memory grew by " << peak - before << " kB";
    EXPECT_EQ(Psql("SELECT count(*), sum(length(\"Name's\")) FILTER (WHERE \"Id\" % 500 = 0) "
                   "FROM held"),
              QStringLiteral("%1|%2").arg(rows).arg(qint64(rows / 500) * 200000));
}

}  // namespace
}  // namespace morvane::test

int RegisterPgWorld = [] {
    morvane::test::world = new morvane::test::PgWorld;
    ::testing::AddGlobalTestEnvironment(morvane::test::world);
    return 0;
}();
