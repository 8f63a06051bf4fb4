// Exports into ODBC tables: a real PostgreSQL server (started by the test, reached through
// the PostgreSQL ODBC driver) and the SQLite ODBC driver. Every table is read back with
// psql or the sqlite3 shell. Also: the existing-table rule, values and connections the data
// source refuses, and a server that goes away in the middle of a run.
#include "tests/data/DriverContract.h"
#include "tests/odbc/OdbcTestConfig.h"
#include "tests/odbc/PgTestServer.h"
#include "tests/wizard/SessionTestSupport.h"
#include "tests/wizard/TableReadBack.h"

#include "export/data/odbc/OdbcLogon.h"
#include "export/engine/TypeConnect.h"

#include <QDateTime>

namespace morvane::test {
namespace {

//! The process-wide ODBC configuration (set before the first ODBC call) and the server.
class OdbcWorld : public ::testing::Environment {
  public:
    void SetUp() override {
        config = std::make_unique<OdbcTestConfig>();
        config->ApplyToProcess();
        server = std::make_unique<PgTestServer>();
        serverUp = server->Start();
        WriteConfig();
    }
    void TearDown() override { server.reset(); }

    //! The driver list and the "pg" and "lite" data sources (the port may change when the
    //! server restarts).
    void WriteConfig() {
        QFile drivers(config->SystemDir() + QStringLiteral("/odbcinst.ini"));
        drivers.open(QIODevice::WriteOnly | QIODevice::Truncate);
        drivers.write(QStringLiteral("[SQLite3]\nDriver=%1\n\n[PostgreSQL]\nDriver=%2\n")
                          .arg(OdbcTestConfig::DriverPath(), QStringLiteral(MORVANE_PG_ODBC_DRIVER))
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
    QString LitePath() const { return config->Path(QStringLiteral("lite.db")); }

    std::unique_ptr<OdbcTestConfig> config;
    std::unique_ptr<PgTestServer> server;
    bool serverUp = false;
};

OdbcWorld* world = nullptr;

const QString kPgConnect = QStringLiteral("ODBC;DSN=pg;UID=morvane;PWD=s3cret;");
const QString kLiteConnect = QStringLiteral("ODBC;DSN=lite;UID=;PWD=;");

// Skips the test (from its body) when the server could not be started.
#define REQUIRE_SERVER() \
    if (!world->serverUp) GTEST_SKIP() << world->server->Problem().toStdString()

class OdbcDestinationTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (QStringLiteral(MORVANE_PG_ODBC_DRIVER).isEmpty() ||
            OdbcTestConfig::DriverPath().isEmpty())
            GTEST_SKIP() << "ODBC drivers (odbc-postgresql, libsqliteodbc) not installed";
    }

    void CreatePeople() {
        CreateSource(
            {{"Id", dbLong},
             {"Name", dbText, 30},
             {"Notes", dbMemo},
             {"Amount", dbDouble},
             {"Price", dbCurrency},
             {"Born", dbDate},
             {"Active", dbBoolean},
             {"Photo", dbLongBinary},
             {"First Name's", dbText, 10}},
            {{1, QStringLiteral("O'Brien \"Bob\""), QStringLiteral("line1\r\nline2"), 1234.5, 12.25,
              QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)), true, QByteArray("\x01\x02", 2),
              QStringLiteral("Zoë")},
             {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
              QVariant()},
             {3, QStringLiteral(""), QStringLiteral("x"), -0.5, 0.0,
              QDateTime(QDate(2024, 2, 9), QTime(0, 0)), false, QVariant(), QStringLiteral("a b")}},
            QStringLiteral("People"));
        OpenSource(QStringLiteral("People"));
    }

    void ExportToOdbc(const QString& connect, const QString& file) {
        session_->Setting().TypeFormat = TypeConnect::ODBC;
        session_->Destination().Connect = connect;
        session_->Destination().File = file;
        session_->StartExport();
    }

    QString Psql(const QString& sql) const {
        bool ok = false;
        const QString out = world->server->Psql(sql, &ok);
        EXPECT_TRUE(ok) << out.toStdString();
        return out;
    }
};

TEST_F(OdbcDestinationTest, PeopleReadBackFromPostgreSql) {
    REQUIRE_SERVER();
    SetRegionalLocale(QLocale(QLocale::German, QLocale::Germany));
    Psql("DROP TABLE IF EXISTS people");
    CreatePeople();
    ExportToOdbc(kPgConnect, PathOf("people.txt"));
    ExpectOnlySummary(3);
    EXPECT_FALSE(QFile::exists(PathOf("people.txt"))) << "nothing is written to the file";
    EXPECT_EQ(Psql("SELECT column_name || ':' || data_type || ':' || "
                   "coalesce(character_maximum_length::text, '') || ':' || is_nullable "
                   "FROM information_schema.columns WHERE table_name = 'people' "
                   "ORDER BY ordinal_position"),
              "Id:integer::YES\nName:character varying:30:YES\nNotes:text::YES\n"
              "Amount:double precision::YES\nPrice:numeric::YES\n"
              "Born:timestamp without time zone::YES\nActive:boolean::YES\n"
              "Photo:bytea::YES\nFirst Name's:character varying:10:YES");
    EXPECT_EQ(Psql("SELECT \"Id\", \"Name\", \"Notes\", \"Amount\", \"Price\", \"Born\", "
                   "\"Active\", \"Photo\", \"First Name's\" FROM people ORDER BY \"Id\""),
              QString::fromUtf8(
                  "1|O'Brien \"Bob\"|line1  line2|1234.5|12.2500|1999-12-31 15:04:05|t|<null>|Zoë\n"
                  "2|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>\n"
                  "3||x|-0.5|0.0000|2024-02-09 00:00:00|f|<null>|a b"));
}

TEST_F(OdbcDestinationTest, PeopleReadBackThroughTheSqliteDriver) {
    QFile::remove(world->LitePath());
    CreateTable(world->LitePath(), "Placeholder", {{"x", dbLong}}, {});
    CreatePeople();
    // The host sees the default (regional) text; a scalar text it changes is used as it
    // left it, a scalar it leaves alone goes in as a typed literal.
    SetRegionalLocale(QLocale(QLocale::German, QLocale::Germany));
    QStringList seen;
    caller_.Hooks.BeforeFieldExport = [&](const QString&, const QString& field, short, short,
                                          QString& text) {
        if (field == "Amount") seen << text;
        if (field == "Id" && text == "3") text = "3+0";
    };
    ExportToOdbc(kLiteConnect, PathOf("people.txt"));
    caller_.Hooks.BeforeFieldExport = nullptr;
    EXPECT_EQ(seen, QStringList({"1234,5", "", "-0,5"}));
    ExpectOnlySummary(3);
    bool ok = false;
    EXPECT_EQ(Sqlite3Rows(world->LitePath(),
                          "SELECT Id, Name, Notes, Amount, Price, Born, Active, Photo, "
                          "\"First Name's\" FROM people ORDER BY Id",
                          &ok),
              QStringList({QString::fromUtf8("1|O'Brien \"Bob\"|line1  line2|1234.5|12.25|"
                                             "1999-12-31 15:04:05|1|<null>|Zoë"),
                           "2|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>",
                           "3||x|-0.5|0.0|2024-02-09 00:00:00|0|<null>|a b"}));
    EXPECT_TRUE(ok);
}

TEST_F(OdbcDestinationTest, ExistingTableGetsTheRowsWithoutAQuestion) {
    REQUIRE_SERVER();
    Psql(
        "DROP TABLE IF EXISTS orders; CREATE TABLE orders (\"Id\" integer, extra text); "
        "INSERT INTO orders VALUES (100, 'old'); DROP SCHEMA IF EXISTS sales CASCADE; "
        "CREATE SCHEMA sales; CREATE TABLE sales.items (\"Id\" integer)");
    CreateSource({{"Id", dbLong}}, {{1}, {2}});
    OpenSource();
    ExportToOdbc(kPgConnect, PathOf("orders.csv"));
    ExpectOnlySummary(2);
    EXPECT_EQ(Psql("SELECT \"Id\" || ':' || coalesce(extra, '') FROM orders ORDER BY \"Id\""),
              "1:\n2:\n100:old");
    // A table listed as "sales.items" counts as existing for the user id "sales": nothing
    // is created or asked. The run then opens "items" by the name as given, which this
    // data source does not resolve to sales.items (the logon's user is another one), so
    // it stops at stage 3.
    OdbcLogon::Instance().SetUID(QStringLiteral("sales"));
    session_->Source().Rs()->MoveFirst();
    const size_t before = Boxes().size();
    ExportToOdbc(kPgConnect, PathOf("items"));
    OdbcLogon::Instance().SetUID(QString());
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), before + 1);
    EXPECT_TRUE(boxes.back().text.startsWith("Error in openning export table 'items'\r\n"))
        << boxes.back().text.toStdString();
    EXPECT_EQ(Psql("SELECT count(*) FROM information_schema.tables WHERE table_name = 'items'"),
              "1")
        << "no table was created";
}

TEST_F(OdbcDestinationTest, RefusedValueStopsAtTheFieldStageKeepingEarlierRows) {
    REQUIRE_SERVER();
    Psql("DROP TABLE IF EXISTS narrow; CREATE TABLE narrow (\"Code\" varchar(3))");
    CreateSource({{"Code", dbText, 10}},
                 {{QStringLiteral("abc")}, {QStringLiteral("abcdef")}, {QStringLiteral("xyz")}});
    OpenSource();
    ExportToOdbc(kPgConnect, PathOf("narrow"));
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith("The following Error Occured:\r\n\r\n"))
        << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains("value too long")) << boxes[0].text.toStdString();
    EXPECT_EQ(Psql("SELECT \"Code\" FROM narrow"), "abc");
    EXPECT_FALSE(session_->LastRunCompleted());
}

// Field names the data source refuses: a column the existing table lacks (refused by the
// INSERT), and two long names PostgreSQL cuts to the same 63 bytes (refused by CREATE
// TABLE). Each stops the run with the data source's own text and stores nothing.
TEST_F(OdbcDestinationTest, FieldNamesTheDataSourceRefuses) {
    REQUIRE_SERVER();
    {
        SCOPED_TRACE("a column the existing table lacks");
        Psql("DROP TABLE IF EXISTS other; CREATE TABLE other (\"Code\" varchar(10))");
        CreateSource({{"Code", dbText, 10}, {"Extra", dbLong}},
                     {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 2}});
        OpenSource();
        ExportToOdbc(kPgConnect, PathOf("other"));
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].text.startsWith("The following Error Occured:\r\n\r\n"))
            << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.contains("Extra")) << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.contains("does not exist")) << boxes[0].text.toStdString();
        EXPECT_EQ(Psql("SELECT count(*) FROM other"), "0");
        EXPECT_FALSE(session_->LastRunCompleted());
        session_->Source().ReleaseRecordset();
        session_->Source().SetDb(nullptr);
    }
    {
        SCOPED_TRACE("two names the data source cuts to one");
        Psql("DROP TABLE IF EXISTS longnames");
        QFile::remove(SourcePath());
        const QString stem(63, QLatin1Char('n'));
        CreateSource({{stem + "_first", dbLong}, {stem + "_second", dbLong}}, {{1, 2}});
        OpenSource();
        const size_t before = Boxes().size();
        ExportToOdbc(kPgConnect, PathOf("longnames"));
        const auto boxes = Boxes();
        ASSERT_GT(boxes.size(), before);
        const QString report = boxes.back().text;
        EXPECT_TRUE(report.contains("specified more than once")) << report.toStdString();
        EXPECT_FALSE(session_->LastRunCompleted());
        EXPECT_EQ(Psql("SELECT count(*) FROM information_schema.tables "
                       "WHERE table_name = 'longnames'"),
                  "0")
            << "no table is left behind";
    }
}

TEST_F(OdbcDestinationTest, ConnectionsTheDataSourceRefuses) {
    REQUIRE_SERVER();
    CreateSource({{"Id", dbLong}}, {{1}});
    OpenSource();
    struct Case {
        const char* name;
        QString connect;
        const char* reason;
    };
    const Case cases[] = {
        {"no such data source", "ODBC;DSN=nowhere;UID=a;PWD=b;", "[IM002]"},
        {"wrong password", "ODBC;DSN=pg;UID=morvane;PWD=wrong;", "password authentication failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = Boxes().size();
        ExportToOdbc(c.connect, PathOf("t"));
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), before + 1);
        EXPECT_TRUE(boxes.back().text.startsWith("Error in opening DataBase " + PathOf("t")))
            << boxes.back().text.toStdString();
        EXPECT_TRUE(boxes.back().text.contains(c.reason)) << boxes.back().text.toStdString();
        EXPECT_FALSE(boxes.back().text.contains("PWD=")) << "the password is never shown";
    }
}

TEST_F(OdbcDestinationTest, ServerGoingAwayMidRunIsReported) {
    REQUIRE_SERVER();
    Psql("DROP TABLE IF EXISTS vanishing");
    CreateSource({{"Id", dbLong}, {"Name", dbText, 10}}, NumberedRows(50));
    OpenSource();
    caller_.Hooks.BeforeFieldExport = [](const QString&, const QString& field, short, short,
                                         QString& text) {
        if (field == "Id" && text == "20") world->server->Stop();
    };
    ExportToOdbc(kPgConnect, PathOf("vanishing"));
    caller_.Hooks.BeforeFieldExport = nullptr;
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_FALSE(session_->LastRunCompleted());
    ASSERT_TRUE(world->server->Start()) << world->server->Problem().toStdString();
    world->WriteConfig();
}

//! The driver contract against the PostgreSQL server, through its ODBC driver.
struct PostgreSqlHarness {
    static constexpr bool kWritable = true;

    std::shared_ptr<Database> CreateWithTable(int rows) {
        if (!world->serverUp) throw std::runtime_error("PostgreSQL server not started");
        QString sql = QStringLiteral(
            "DROP TABLE IF EXISTS \"Nav\"; CREATE TABLE \"Nav\" (\"Id\" integer, \"Name\" "
            "varchar(20));");
        for (int id = 1; id <= rows; ++id)
            sql += QStringLiteral("INSERT INTO \"Nav\" VALUES (%1, 'N%1');").arg(id);
        bool ok = false;
        const QString out = world->server->Psql(sql, &ok);
        if (!ok) throw std::runtime_error(out.toStdString());
        return DBEngine::Instance().OpenDatabase(QString(), 0, false, kPgConnect);
    }
    std::shared_ptr<Database> OpenReadOnly() {
        return DBEngine::Instance().OpenDatabase(QString(), 0, true, kPgConnect);
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(PostgreSql, DriverContract, ::testing::Types<PostgreSqlHarness>);

}  // namespace
}  // namespace morvane::test

int RegisterOdbcWorld = [] {
    morvane::test::world = new morvane::test::OdbcWorld;
    ::testing::AddGlobalTestEnvironment(morvane::test::world);
    return 0;
}();
