#include "tests/data/EngineTestSupport.h"

#include <QProcess>

namespace morvane {
namespace {

struct ToolResult {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolResult RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

ToolResult Db(const QStringList& arguments) {
    return RunTool(MORVANE_DB_TOOL, arguments);
}

class MorvaneDbToolTest : public test::EngineTest {};

TEST_F(MorvaneDbToolTest, FieldsReportEveryTypeCode) {
    auto db = NewDatabase();
    auto table = db->CreateTableDef("T");
    const short types[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15};
    for (const short type : types) {
        auto field = table->CreateField(QStringLiteral("f%1").arg(type), type, type == 9 ? 12 : 0);
        field->SetRequired(type % 2 == 1);
        table->Fields().Append(field);
    }
    db->TableDefs().Append(table);
    db->Close();
    const ToolResult result = Db({PathOf("test.db"), "fields", "T"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out,
              "0\tf1\t1\t1\t1\n1\tf2\t2\t1\t0\n2\tf3\t3\t2\t1\n3\tf4\t4\t4\t0\n"
              "4\tf5\t5\t8\t1\n5\tf6\t6\t4\t0\n6\tf7\t7\t8\t1\n7\tf8\t8\t8\t0\n"
              "8\tf9\t9\t12\t1\n9\tf10\t10\t50\t0\n10\tf11\t11\t0\t1\n11\tf12\t12\t0\t0\n"
              "12\tf15\t15\t16\t1\n");
}

TEST_F(MorvaneDbToolTest, ListsCountsAndRows) {
    auto db = NewDatabase();
    db->Execute(
        "CREATE TABLE t (id INTEGER, txt TEXT, bin BLOB);"
        "INSERT INTO t VALUES (1, 'tab\there', x'00ff10');"
        "INSERT INTO t VALUES (2, 'back\\slash\r\nnew line', NULL);"
        "INSERT INTO t VALUES (NULL, 'Crème brûlée, \"quoted\"', NULL);"
        "CREATE TABLE empty (x INTEGER);"
        "CREATE VIEW v AS SELECT id FROM t WHERE id IS NOT NULL");
    db->Close();
    const QString path = PathOf("test.db");
    struct Case {
        QStringList arguments;
        QString out;
    };
    const Case cases[] = {
        {{path, "tables"}, "t\t0\nempty\t0\n"},
        {{path, "queries"}, "v\t0\t1\t\n"},
        {{path, "count", "t"}, "3\n"},
        {{path, "count", "v"}, "2\n"},
        {{path, "count", "empty"}, "0\n"},
        {{path, "rows", "t"},
         "1\ttab\\there\t0x00ff10\n2\tback\\\\slash\\r\\nnew line\t\\N\n"
         "\\N\tCrème brûlée, \"quoted\"\t\\N\n"},
        {{path, "rows", "t", "--start", "2", "--limit", "1"},
         "2\tback\\\\slash\\r\\nnew line\t\\N\n"},
        {{path, "rows", "v", "--start", "5"}, ""},
        {{path, "rows", "empty"}, ""},
        {{path, "exec", "DELETE FROM t WHERE id = 1"}, ""},
        {{path, "count", "t"}, "2\n"},
    };
    for (const Case& c : cases) {
        const ToolResult result = Db(c.arguments);
        EXPECT_EQ(result.exitCode, 0)
            << c.arguments.join(' ').toStdString() << result.err.toStdString();
        EXPECT_EQ(result.out, c.out) << c.arguments.join(' ').toStdString();
    }
}

TEST_F(MorvaneDbToolTest, ExitCodes) {
    NewDatabase()->Close();
    const QString path = PathOf("test.db");
    struct Case {
        QStringList arguments;
        int exitCode;
        QString errStart;
    };
    const Case cases[] = {
        {{}, 2, "usage: morvane-db"},
        {{path}, 2, "usage: morvane-db"},
        {{path, "frobnicate"}, 2, "usage: morvane-db"},
        {{path, "fields"}, 2, "usage: morvane-db"},
        {{path, "rows", "t", "--limit", "x"}, 2, "usage: morvane-db"},
        {{"--bogus", "1", path, "tables"}, 2, "usage: morvane-db"},
        {{PathOf("missing.db"), "tables"}, 1, "error 3024: "},
        {{path, "count", "nope"}, 1, "error 3078: "},
        {{"--connect", "Paradox 9.x", path, "tables"}, 1, "error 3170: "},
        {{path, "exec", "SELEKT"}, 1, "error 3129: "},
    };
    for (const Case& c : cases) {
        const ToolResult result = Db(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.startsWith(c.errStart))
            << c.arguments.join(' ').toStdString() << ": " << result.err.toStdString();
    }
}

TEST_F(MorvaneDbToolTest, CreateAndPasswords) {
    const QString path = PathOf("new.db");
    EXPECT_EQ(Db({"--password", "pw", path, "create"}).exitCode, 0);
    EXPECT_EQ(Db({path, "create"}).err.left(11), "error 3204:");
    const ToolResult denied = Db({path, "tables"});
    EXPECT_EQ(denied.exitCode, 1);
    EXPECT_EQ(denied.err, "error 3031: Not a valid password.\n");
    EXPECT_EQ(Db({"--password", "pw", path, "tables"}).out, "morvane_password\t-2147483646\n");
    EXPECT_EQ(Db({path, "set-password", "pw", "new"}).exitCode, 0);
    EXPECT_EQ(Db({"--password", "pw", path, "tables"}).exitCode, 1);
    EXPECT_EQ(Db({"--password", "new", path, "tables"}).exitCode, 0);
    EXPECT_EQ(Db({path, "set-password", "new", ""}).exitCode, 0);
    EXPECT_EQ(Db({path, "tables"}).out, "");
}

TEST_F(MorvaneDbToolTest, SampleDatabase) {
    const QString path = PathOf("sample.db");
    ASSERT_EQ(RunTool(MORVANE_SAMPLE_DB_TOOL, {path, "--orders", "300"}).exitCode, 0);
    EXPECT_EQ(Db({path, "tables"}).out,
              "Customers\t0\nProducts\t0\nOrders\t0\nmorvane_queries\t-2147483646\n");
    EXPECT_EQ(Db({path, "queries"}).out,
              "CustomerOrders\t0\t1\t\nOrdersAbove\t0\t1\tMinQuantity,Country\n"
              "OrdersByCountry\t112\t1\t\nDeleteUnshippedOrders\t32\t0\t\n"
              "RaisePriority\t48\t0\tMinQuantity\nMakeCustomerTotals\t80\t0\t\n");
    EXPECT_EQ(Db({path, "count", "Orders"}).out, "300\n");
    EXPECT_EQ(Db({path, "count", "CustomerOrders"}).out, "300\n");
    QSet<QString> codes;
    for (const QString table : {"Customers", "Products", "Orders"})
        for (const QString& line : Db({path, "fields", table}).out.split('\n', Qt::SkipEmptyParts))
            codes.insert(line.split('\t').at(2));
    EXPECT_EQ(codes,
              QSet<QString>({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "15"}));
    // The same options give the same file content.
    const QString again = PathOf("again.db");
    ASSERT_EQ(RunTool(MORVANE_SAMPLE_DB_TOOL, {again, "--orders", "300"}).exitCode, 0);
    for (const QString table : {"Customers", "Products", "Orders"})
        EXPECT_EQ(Db({path, "rows", table}).out, Db({again, "rows", table}).out);
    EXPECT_TRUE(Db({path, "rows", "Customers"}).out.contains("\\r\\n"));
    // The parameter query: every row it returns matches its values.
    const QStringList above = {"--param", "MinQuantity=40", "--param", "Country=Spain"};
    const QString rows = Db(QStringList({path, "rows", "OrdersAbove"}) + above).out;
    const QStringList lines = rows.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    for (const QString& line : lines) {
        EXPECT_EQ(line.split('\t').at(2), "Spain") << line.toStdString();
        EXPECT_GE(line.split('\t').at(3).toInt(), 40) << line.toStdString();
    }
    EXPECT_EQ(Db(QStringList({path, "count", "OrdersAbove"}) + above).out,
              QString::number(lines.size()) + "\n");
}

TEST_F(MorvaneDbToolTest, DefineAndDropQueries) {
    auto db = NewDatabase();
    db->Execute(
        "CREATE TABLE t (id INTEGER, qty INTEGER);"
        "INSERT INTO t VALUES (1, 5), (2, 15), (3, 25), (4, 35)");
    db->Close();
    const QString path = PathOf("test.db");
    struct Case {
        QStringList arguments;
        int exitCode;
        QString out;
        QString errStart;
    };
    const Case cases[] = {
        {{path, "define-query", "Big", "0", "SELECT id FROM t WHERE qty > :Min AND id < :Top"},
         0,
         "",
         ""},
        {{path, "define-query", "Cut", "32", "DELETE FROM t WHERE qty < :Min"}, 0, "", ""},
        {{path, "define-query", "All", "0", "SELECT id FROM t"}, 0, "", ""},
        {{path, "define-query", "Raw", "112", "SELECT count(*) AS n FROM t"}, 0, "", ""},
        {{path, "queries"},
         0,
         "All\t0\t1\t\nBig\t0\t1\tMin,Top\nCut\t32\t0\tMin\nRaw\t112\t1\t\n",
         ""},
        {{path, "tables"}, 0, "t\t0\nmorvane_queries\t-2147483646\n", ""},
        {{"--param", "Min=10", path, "rows", "Big", "--param", "top=4"}, 0, "2\n3\n", ""},
        {{path, "count", "Big", "--param", "Min=10", "--param", "Top=9"}, 0, "3\n", ""},
        {{path, "fields", "Big", "--param", "Min=1", "--param", "Top=1"},
         0,
         "0\tid\t4\t4\t0\n",
         ""},
        {{path, "rows", "Raw"}, 0, "4\n", ""},
        {{path, "count", "Big", "--param", "Min=10"}, 1, "", "error 3061: "},
        {{path, "count", "Big", "--param", "Nope=1"}, 1, "", "error 3265: "},
        {{path, "count", "Cut"}, 1, "", "error 3219: "},
        {{path, "rows", "Big", "--param", "Min"}, 2, "", "usage: morvane-db"},
        {{path, "define-query", "T", "32", "DELETE FROM t"}, 1, "", "error 3010: "},
        {{path, "define-query", "big", "32", "DELETE FROM t"}, 1, "", "error 3010: "},
        {{path, "define-query", "X", "many", "DELETE FROM t"}, 2, "", "usage: morvane-db"},
        {{path, "define-query", "X", "32"}, 2, "", "usage: morvane-db"},
        {{path, "drop-query", "Nope"}, 1, "", "error 3265: "},
        {{path, "drop-query", "cut"}, 0, "", ""},
        {{path, "drop-query", "All"}, 0, "", ""},
        {{path, "queries"}, 0, "Big\t0\t1\tMin,Top\nRaw\t112\t1\t\n", ""},
        {{path, "drop-query", "Big"}, 0, "", ""},
        {{path, "drop-query", "Raw"}, 0, "", ""},
        {{path, "tables"}, 0, "t\t0\n", ""},
    };
    for (const Case& c : cases) {
        const ToolResult result = Db(c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.exitCode, c.exitCode) << what << ": " << result.err.toStdString();
        EXPECT_EQ(result.out, c.out) << what;
        EXPECT_EQ(result.err.left(c.errStart.size()), c.errStart) << what;
    }
}

}  // namespace
}  // namespace morvane
