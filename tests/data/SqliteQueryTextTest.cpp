#include "export/data/sqlite/SqliteParameterBinding.h"
#include "export/data/sqlite/SqliteQueryText.h"
#include "export/data/sqlite/SqliteStoredQuery.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(SqliteQueryTextTest, ParametersInOrderOfFirstUse) {
    struct Case {
        const char* sql;
        QStringList names;
        bool other;
    };
    const Case cases[] = {
        {"SELECT * FROM t WHERE a >= :Min AND b = :Country", {"Min", "Country"}, false},
        {"SELECT * FROM t WHERE a = :B OR c = :A OR d = :b", {"B", "A"}, false},
        {"SELECT ':x', \":y\", [:z], `:w` FROM t -- :c\n/* :d */ WHERE e = :e", {"e"}, false},
        {"SELECT 'it''s :no' FROM t WHERE v = :v_1$", {"v_1$"}, false},
        {"SELECT :Größe, :a2", {"Größe", "a2"}, false},
        {"SELECT ? FROM t", {}, true},
        {"SELECT ?3, :ok FROM t", {"ok"}, true},
        {"SELECT @x", {}, true},
        {"SELECT $x", {}, true},
        {"SELECT a$b FROM t", {}, false},
        {"SELECT '?', '@x' FROM t", {}, false},
    };
    for (const Case& c : cases) {
        const SqliteQueryText text = SqliteQueryText::Scan(QString::fromUtf8(c.sql));
        EXPECT_EQ(text.ParameterNames, c.names) << c.sql;
        EXPECT_EQ(text.OtherPlaceholders, c.other) << c.sql;
    }
}

TEST(SqliteQueryTextTest, StatementsAndVerb) {
    struct Case {
        const char* sql;
        int statements;
        int firstLength;
        const char* verb;
        bool rows;
    };
    const Case cases[] = {
        {"SELECT 1", 1, 8, "SELECT", true},
        {"  select 1;  ", 1, 10, "SELECT", true},
        {"SELECT ';'; -- only a comment\n;;", 1, 10, "SELECT", true},
        {"VALUES (1), (2)", 1, 15, "VALUES", true},
        {"WITH x(n) AS (SELECT 1) SELECT n FROM x", 1, 39, "SELECT", true},
        {"WITH x AS (SELECT 1) DELETE FROM t WHERE a IN x", 1, 47, "DELETE", false},
        {"(SELECT 1)", 1, 10, "SELECT", true},
        {"DELETE FROM t; INSERT INTO t VALUES (1)", 2, 13, "DELETE", false},
        {"UPDATE t SET a = 1", 1, 18, "UPDATE", false},
        {"CREATE TABLE u AS SELECT * FROM t", 1, 33, "CREATE", false},
        {"PRAGMA table_info(t)", 1, 20, "PRAGMA", false},
        {"", 0, 0, "", false},
        {" -- nothing\n ; /* */", 0, 0, "", false},
    };
    for (const Case& c : cases) {
        const SqliteQueryText text = SqliteQueryText::Scan(QString::fromUtf8(c.sql));
        EXPECT_EQ(text.Statements, c.statements) << c.sql;
        if (c.statements > 0) {
            EXPECT_EQ(text.FirstStatementLength, c.firstLength) << c.sql;
        }
        EXPECT_EQ(text.Verb, QString::fromUtf8(c.verb)) << c.sql;
        EXPECT_EQ(text.ReturnsRows(), c.rows) << c.sql;
    }
}

TEST(SqliteQueryTextTest, ReturnsRecordsByTypeCode) {
    struct Case {
        short type;
        const char* sql;
        bool returnsRecords;
    };
    const Case cases[] = {
        {0, "SELECT 1", true},
        {16, "SELECT 1", true},
        {32, "DELETE FROM t", false},
        {48, "UPDATE t SET a = 1", false},
        {64, "INSERT INTO t SELECT 1", false},
        {80, "CREATE TABLE u AS SELECT 1", false},
        {96, "DROP TABLE t", false},
        {112, "SELECT 1", true},
        {112, "with x as (select 1) select * from x", true},
        {112, "VALUES (1)", true},
        {112, "DELETE FROM t", false},
        {112, "PRAGMA optimize", false},
        {128, "SELECT 1 UNION SELECT 2", false},
        {144, "SELECT 1", false},
        {200, "SELECT 1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SqliteStoredQuery::ReturnsRecordsFor(c.type, c.sql), c.returnsRecords)
            << c.type << " " << c.sql;
}

TEST(SqliteQueryTextTest, BoundValues) {
    struct Case {
        const char* text;
        QVariant value;
    };
    const Case cases[] = {
        {"5", QVariant(qlonglong(5))},
        {"-12", QVariant(qlonglong(-12))},
        {"0", QVariant(qlonglong(0))},
        {"9223372036854775807", QVariant(qlonglong(9223372036854775807LL))},
        {"2.5", QVariant(2.5)},
        {"-0.125", QVariant(-0.125)},
        {"05", QVariant(QString("05"))},
        {"+5", QVariant(QString("+5"))},
        {" 5", QVariant(QString(" 5"))},
        {"2.50", QVariant(2.5)},
        {"30.00", QVariant(30.0)},
        {"02.5", QVariant(QString("02.5"))},
        {".5", QVariant(QString(".5"))},
        {"5.", QVariant(QString("5."))},
        {"1e3", QVariant(QString("1e3"))},
        {"9223372036854775808", QVariant(QString("9223372036854775808"))},
        {"nan", QVariant(QString("nan"))},
        {"", QVariant(QString(""))},
        {"Spain", QVariant(QString("Spain"))},
    };
    for (const Case& c : cases) {
        const QVariant value = BoundParameterValue(QString::fromUtf8(c.text));
        EXPECT_EQ(value.typeId(), c.value.typeId()) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

}  // namespace
}  // namespace morvane
