// The Jet driver on the fixture files and on changed copies of them: catalogue, fields,
// navigation, stored queries, password, read-only refusals and damaged files.
//
// The checks every read-only driver passes (navigation, RecordCount after MoveLast, errors
// after Close, refusals to write) are the shared read-only driver contract, instantiated
// here on tables of the fixtures.
#include "export/data/QueryDef.h"
#include "export/data/jet/JetHeader.h"
#include "tests/data/ReadOnlyDriverContract.h"
#include "tests/data/jet/JetTestSupport.h"

#include <QDate>
#include <QProcess>

namespace morvane::test {
namespace {

// The read-only driver contract on tables of the fixtures (the system table is the
// largest there).
ReadOnlySource JetSource(const char* file, const char* table, qint64 count) {
    return ReadOnlySource{std::string(file).substr(0, std::string(file).find('.')) + "_" + table,
                          [file] { return OpenJet(JetFixture(file)); }, table, count,
                          [] {
                              return QFile::exists(JetFixture("testV1997.mdb"))
                                         ? QString()
                                         : "Jet fixtures not found in " + JetFixtureDir();
                          }};
}

INSTANTIATE_TEST_SUITE_P(Jet, ReadOnlyDriverContract,
                         ::testing::Values(JetSource("testV1997.mdb", "Table1", 2),
                                           JetSource("testV1997.mdb", "Table2", 0),
                                           JetSource("test2V2000.mdb", "MSP_PROJECTS", 1),
                                           JetSource("test2V2003.mdb", "MSP_PROJECTS", 1),
                                           JetSource("queryTestV1997.mdb", "MSysObjects", 30)),
                         [](const auto& info) { return info.param.Name; });

class JetDriverTest : public ::testing::Test {
  protected:
    void SetUp() override { SKIP_WITHOUT_JET_FIXTURES(); }
    QTemporaryDir dir_;
};

TEST_F(JetDriverTest, ListsUserTablesWithZeroAttributesAndSystemTablesWithout) {
    auto db = OpenJet(JetFixture("test2V2003.mdb"));
    TableDefs& tables = db->TableDefs();
    QStringList user;
    for (int index = 0; index < tables.Count(); ++index) {
        const TableDef& table = tables.Item(index);
        if (table.Attributes() == 0)
            user << table.Name();
        else
            EXPECT_TRUE(table.Name().startsWith("MSys")) << qPrintable(table.Name());
    }
    EXPECT_EQ(user, QStringList{"MSP_PROJECTS"});
}

TEST_F(JetDriverTest, FieldsCarryEngineTypesSizesAndValues) {
    auto db = OpenJet(JetFixture("testV1997.mdb"));
    auto rs = db->OpenRecordset("Table1", dbOpenTable);
    struct Case {
        const char* Name;
        short Type;
        int Size;
        QVariant Second;  // the value of the second record
    };
    const Case cases[] = {
        {"A", dbText, 50, QString("abcdefg")},
        {"B", dbText, 100, QString("hijklmnop")},
        {"C", dbByte, 1, 2},
        {"D", dbInteger, 2, 222},
        {"E", dbLong, 4, 333333333},
        {"F", dbDouble, 8, 444.555},
        {"G", dbDate, 8, QDate(1974, 9, 21)},
        {"H", dbCurrency, 8, 3.5},
        {"I", dbBoolean, 1, true},
    };
    rs->MoveNext();
    ASSERT_EQ(rs->Fields().Count(), 9);
    for (const Case& c : cases) {
        const Field& field = rs->Fields().Item(c.Name);
        EXPECT_EQ(field.Type(), c.Type) << c.Name;
        EXPECT_EQ(field.Size(), c.Size) << c.Name;
        EXPECT_EQ(field.Value(), c.Second) << c.Name;
    }
}

TEST_F(JetDriverTest, StoredQueriesHaveTheirTypesAndOnlySimpleSelectsOpen) {
    for (const char* file : {"queryTestV1997.mdb", "queryTestV2000.mdb"}) {
        auto db = OpenJet(JetFixture(file));
        QueryDefs& queries = db->QueryDefs();
        const QHash<QString, int> expected = {
            {"SelectQuery", 0},          {"CrosstabQuery", 16},     {"DeleteQuery", 32},
            {"UpdateQuery", 48},         {"AppendQuery", 64},       {"MakeTableQuery", 80},
            {"DataDefinitionQuery", 96}, {"PassthroughQuery", 112}, {"UnionQuery", 128}};
        ASSERT_EQ(queries.Count(), expected.size()) << file;
        for (int index = 0; index < queries.Count(); ++index) {
            QueryDef& query = queries.Item(index);
            EXPECT_EQ(query.Type(), expected.value(query.Name(), -1)) << qPrintable(query.Name());
            if (query.ReturnsRecords()) {
                // Joins, crosstabs, unions and pass-through are beyond libmdb's SQL engine.
                EXPECT_EQ(ErrorNumberOf([&] { query.OpenRecordset(dbOpenSnapshot); }),
                          ErrNotSupported);
                EXPECT_TRUE(DbErrors().Item(0).Description.contains(query.Name()));
            } else {
                EXPECT_EQ(ErrorNumberOf([&] { query.Execute(); }), ErrReadOnly);
            }
        }
        QueryDef& update = queries.Item("UpdateQuery");
        ASSERT_EQ(update.Parameters().Count(), 1);
        EXPECT_EQ(update.Parameters().Item(0).Name(), "User Name");
        EXPECT_TRUE(update.SQL().contains("UPDATE Table1 SET")) << qPrintable(update.SQL());
        EXPECT_EQ(queries.Item("DataDefinitionQuery").SQL(),
                  "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);");
    }
}

TEST_F(JetDriverTest, PasswordIsEnforcedLikeTheNativeOne) {
    for (const char* file : {"testV1997.mdb", "test2V2000.mdb"}) {
        const QByteArray bytes = ReadBytes(JetFixture(file));
        const QString path = WriteFile(dir_, QString("protected-") + file,
                                       JetHeader::WithPassword(bytes, QStringLiteral("Sésame")));
        EXPECT_EQ(ErrorNumberOf([&] { OpenJet(path); }), ErrNotValidPassword) << file;
        EXPECT_EQ(ErrorNumberOf([&] { OpenJet(path, "sésame"); }), ErrNotValidPassword) << file;
        auto db = OpenJet(path, QStringLiteral("Sésame"));
        EXPECT_GT(db->TableDefs().Count(), 0);
        // The unprotected original refuses a password it does not have.
        EXPECT_EQ(ErrorNumberOf([&] { OpenJet(JetFixture(file), "x"); }), ErrNotValidPassword);
    }
}

TEST_F(JetDriverTest, MorvaneDbToolTakesThePassword) {
    const QString path = WriteFile(
        dir_, "protected.mdb",
        JetHeader::WithPassword(ReadBytes(JetFixture("test2V2000.mdb")), QStringLiteral("pw")));
    struct Case {
        QStringList Arguments;
        int Status;
        const char* Output;
    };
    const Case cases[] = {
        {{"--password", "pw", path, "tables"}, 0, "MSP_PROJECTS\t0"},
        {{path, "tables"}, 1, "error 3031"},
        {{"--password", "PW", path, "count", "MSP_PROJECTS"}, 1, "error 3031"},
        {{"--password", "pw", path, "count", "MSP_PROJECTS"}, 0, "1"},
    };
    for (const Case& c : cases) {
        QProcess tool;
        tool.start(MORVANE_DB_TOOL, c.Arguments);
        ASSERT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitCode(), c.Status) << qPrintable(c.Arguments.join(' '));
        const QString output =
            QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
        EXPECT_TRUE(output.contains(c.Output)) << qPrintable(output);
    }
}

TEST_F(JetDriverTest, BadFilesGiveClearErrorsNamingThem) {
    const QByteArray bytes = ReadBytes(JetFixture("queryTestV2000.mdb"));
    struct Case {
        const char* Name;
        QByteArray Content;
        int Error;
    };
    const Case cases[] = {
        {"cut-in-header.mdb", bytes.left(100), ErrUnrecognizedFormat},
        {"two-pages.mdb", bytes.left(8192), ErrUnrecognizedFormat},
        {"catalogue-cut.mdb", bytes.left(3 * 4096), ErrCorruptDatabase},
        {"catalogue-page-wrong.mdb", bytes.left(8192) + QByteArray(4096, '\x01') + bytes.mid(12288),
         ErrCorruptDatabase},
    };
    for (const Case& c : cases) {
        const QString path = WriteFile(dir_, c.Name, c.Content);
        EXPECT_EQ(ErrorNumberOf([&] { OpenJet(path)->TableDefs().Count(); }), c.Error) << c.Name;
        EXPECT_TRUE(DbErrors().Item(0).Description.contains(path))
            << qPrintable(DbErrors().Item(0).Description);
        EXPECT_EQ(ReadBytes(path), c.Content) << c.Name;  // never modified
    }
    EXPECT_EQ(ErrorNumberOf([&] { OpenJet(dir_.filePath("missing.mdb")); }), ErrFileNotFoundEngine);
}

TEST_F(JetDriverTest, ADamagedTableLeavesTheOthersReadable) {
    QByteArray bytes = ReadBytes(JetFixture("testV1997.mdb"));
    bytes[29 * 2048] = 0x01;  // Table1's definition page (Id 29) no longer is one
    const QString path = WriteFile(dir_, "table1-damaged.mdb", bytes);
    auto db = OpenJet(path);
    ASSERT_GE(db->TableDefs().IndexOf("Table1"), 0);
    EXPECT_EQ(db->TableDefs().Item("Table1").Fields().Count(), 0);
    EXPECT_EQ(ErrorNumberOf([&] { db->OpenRecordset("Table1", dbOpenTable); }), ErrCorruptDatabase);
    EXPECT_TRUE(DbErrors().Item(0).Description.contains("Table1"));
    auto rs = db->OpenRecordset("Table4", dbOpenTable);
    EXPECT_EQ(rs->Fields().Count(), 2);
}

TEST_F(JetDriverTest, NativeFilesKeepTheNativeDriver) {
    auto native = DBEngine::Instance().CreateDatabase(dir_.filePath("native.db"), kLocale, 32);
    native->Close();
    auto db = OpenJet(dir_.filePath("native.db"));
    EXPECT_EQ(db->TableDefs().Count(), 0);
    EXPECT_NE(std::dynamic_pointer_cast<Database>(db), nullptr);
    auto jet = OpenJet(JetFixture("testV1997.mdb"));
    EXPECT_EQ(ErrorNumberOf([&] { jet->OpenRecordset("NoSuchTable"); }), ErrInputTableNotFound);
}

}  // namespace
}  // namespace morvane::test
