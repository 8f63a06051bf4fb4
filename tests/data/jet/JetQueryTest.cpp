// Stored Jet queries rebuilt from MSysQueries rows, the dialect handed to libmdb's SQL
// engine, a simple select run by it, and the column properties block.
#include "export/data/jet/JetDatabase.h"
#include "export/data/jet/JetProperties.h"
#include "export/data/jet/JetQuerySql.h"
#include "export/data/jet/JetStoredQuery.h"
#include "tests/data/jet/JetTestSupport.h"

namespace morvane::test {
namespace {

JetQueryRow Row(int attribute, QVariant flag, QString name1, QString name2, QString expression) {
    JetQueryRow row;
    row.Attribute = attribute;
    row.Flag = std::move(flag);
    row.Name1 = std::move(name1);
    row.Name2 = std::move(name2);
    row.Expression = std::move(expression);
    return row;
}

// A select of columns A and B of Table1 where C is 2, as the file stores it.
std::vector<JetQueryRow> SimpleSelect(const QString& condition) {
    return {Row(0, 0, {}, {}, {}),
            Row(1, 1, {}, {}, {}),
            Row(5, {}, "Table1", {}, {}),
            Row(6, 0, {}, {}, "Table1.A"),
            Row(6, 0, {}, {}, "[Table1].[B]"),
            Row(8, {}, {}, {}, condition),
            Row(255, {}, {}, {}, {})};
}

TEST(JetQuerySqlTest, RebuildsTheTextOfEachKind) {
    struct Case {
        std::vector<JetQueryRow> Rows;
        short Type;
        const char* Sql;
        bool Simple;
    };
    const std::vector<Case> cases = {
        {SimpleSelect("(((Table1.C)=2))"), 0,
         "SELECT Table1.A, [Table1].[B] FROM Table1 WHERE (((Table1.C)=2))", true},
        {{Row(1, 1, {}, {}, {}), Row(3, 2, {}, {}, {}), Row(5, {}, "T", {}, {}),
          Row(5, {}, "U", "V", {}), Row(6, 0, "N", {}, "Max(T.x)"),
          Row(7, 2, "T", "V", "T.id = V.id"), Row(9, 0, {}, {}, "T.y"),
          Row(11, {}, "D", {}, "T.y")},
         0,
         "SELECT DISTINCT Max(T.x) AS N FROM T LEFT JOIN U AS V ON T.id = V.id GROUP BY T.y "
         "ORDER BY T.y DESC",
         false},
        {{Row(1, 5, {}, {}, {}), Row(5, {}, "T", {}, {}), Row(8, {}, {}, {}, "T.x>1")},
         32,
         "DELETE  FROM T WHERE T.x>1",
         false},
        {{Row(1, 2, "New", {}, {}), Row(5, {}, "T", {}, {}), Row(6, 0, {}, {}, "T.x")},
         80,
         "SELECT T.x INTO New FROM T",
         false},
        {{Row(1, 3, "Dest", {}, {}), Row(5, {}, "T", {}, {}), Row(6, 0, {}, "d", "T.x")},
         64,
         "INSERT INTO Dest (d) SELECT T.x FROM T",
         false},
        {{Row(1, 8, "ODBC;", {}, "SELECT 1"), Row(2, 10, "P", {}, {})},
         112,
         "PARAMETERS [P] 10;\nSELECT 1",
         false},
        {{Row(1, 9, {}, {}, {}), Row(5, {}, {}, "X1", "SELECT a FROM T"),
          Row(5, {}, {}, "X2", "SELECT a FROM U")},
         128,
         "SELECT a FROM T UNION SELECT a FROM U",
         false},
    };
    for (const Case& c : cases) {
        const JetQuerySql query(c.Rows);
        EXPECT_EQ(query.Type(-1), c.Type);
        EXPECT_EQ(query.Sql(), QString(c.Sql));
        if (c.Type == 0) {
            EXPECT_EQ(query.SimpleSelectProblem().isEmpty(), c.Simple) << c.Sql;
        }
    }
}

TEST(JetQuerySqlTest, SimpleSelectsSpeakLibmdbsDialect) {
    struct Case {
        const char* Condition;
        const char* MdbSql;  // empty: not simple
    };
    const Case cases[] = {
        {"(((Table1.C)=2))", "SELECT A, [B] FROM [Table1] WHERE C=2"},
        {"((([Table1].[A])=\"abc\") AND ((Table1.C)>1))",
         "SELECT A, [B] FROM [Table1] WHERE [A]='abc' AND C>1"},
        {"(((Table1.C)=2) OR ((Table1.C)=3))", ""},
    };
    for (const Case& c : cases) {
        const JetQuerySql query(SimpleSelect(c.Condition));
        if (QString(c.MdbSql).isEmpty()) {
            EXPECT_FALSE(query.SimpleSelectProblem().isEmpty()) << c.Condition;
            continue;
        }
        ASSERT_TRUE(query.SimpleSelectProblem().isEmpty()) << c.Condition;
        EXPECT_EQ(query.MdbSql(), QString(c.MdbSql));
    }
}

TEST(JetStoredQueryTest, SimpleSelectRunsThroughLibmdb) {
    SKIP_WITHOUT_JET_FIXTURES();
    auto database = OpenJet(JetFixture("testV1997.mdb"));
    auto file = JetFile::Open(JetFixture("testV1997.mdb"), QString());
    auto query = std::make_shared<JetStoredQuery>(database, std::move(file), "Q", 0,
                                                  JetQuerySql(SimpleSelect("(((Table1.C)=2))")));
    auto rs = query->OpenRecordset(dbOpenSnapshot);
    ASSERT_EQ(rs->Fields().Count(), 2);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields().Item("A").Value(), QVariant(QString("abcdefg")));
    EXPECT_EQ(rs->Fields().Item("B").Value(), QVariant(QString("hijklmnop")));
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(ErrorNumberOf([&] { query->Execute(); }), ErrSelectQueryExecute);

    auto unrunnable = std::make_shared<JetStoredQuery>(
        database, JetFile::Open(JetFixture("testV1997.mdb"), QString()), "Either", 0,
        JetQuerySql(SimpleSelect("(((Table1.C)=2) OR ((Table1.C)=3))")));
    EXPECT_EQ(ErrorNumberOf([&] { unrunnable->OpenRecordset(dbOpenSnapshot); }), ErrNotSupported);
    EXPECT_TRUE(DbErrors().Item(0).Description.contains("'Either'"));
}

// A property block with a names block and two column blocks.
QByteArray PropertyBlock(bool aRequired, bool bRequired) {
    const auto u16 = [](int value) { return QByteArray(1, char(value & 0xFF)) + char(value >> 8); };
    const auto u32 = [&](int value) { return u16(value & 0xFFFF) + u16(value >> 16); };
    const auto block = [&](int type, const QByteArray& body) {
        return u32(6 + body.size()) + u16(type) + body;
    };
    const auto name = [&](const QByteArray& text) { return u16(text.size()) + text; };
    const auto column = [&](const QByteArray& columnName, bool required) {
        const QByteArray entry = QByteArray(1, '\0') + char(1) + u16(1) + u16(1) +
                                 QByteArray(1, required ? char(0xFF) : '\0');
        return block(1,
                     u32(6 + columnName.size()) + name(columnName) + u16(2 + entry.size()) + entry);
    };
    return QByteArray("KKD\0", 4) + block(0x80, name("Format") + name("Required")) +
           column("A", aRequired) + column("b", bRequired);
}

TEST(JetPropertiesTest, FindsRequiredColumnsAndSurvivesDamage) {
    EXPECT_EQ(JetProperties::RequiredColumns(PropertyBlock(true, false), 0, 1252),
              QSet<QString>{"a"});
    EXPECT_EQ(JetProperties::RequiredColumns(PropertyBlock(true, true), 0, 1252),
              (QSet<QString>{"a", "b"}));
    const QByteArray good = PropertyBlock(true, true);
    for (int cut = 0; cut < good.size(); ++cut)
        JetProperties::RequiredColumns(good.left(cut), 0, 1252);  // must end, whatever it finds
    QByteArray looping = good;
    looping[4] = 0;  // a block length of 0
    EXPECT_TRUE(JetProperties::RequiredColumns(looping, 0, 1252).isEmpty());
}

}  // namespace
}  // namespace morvane::test
