#include "export/data/sqlite/SqliteTypes.h"
#include "export/data/sqlite/SqliteViewQuery.h"
#include "tests/data/EngineTestSupport.h"

#include <sqlite3.h>
#include <QDateTime>
#include <QTimeZone>

namespace morvane {
namespace {

TEST(SqliteTypesTest, MapsForeignDeclaredTypes) {
    struct Case {
        QString declared;
        short type;
        int size;
    };
    const Case cases[] = {
        {"INTEGER", dbLong, 4},
        {"int", dbLong, 4},
        {"SMALLINT", dbInteger, 2},
        {"TINYINT", dbByte, 1},
        {"BIGINT", dbBigInt, 8},
        {"REAL", dbDouble, 8},
        {"DOUBLE", dbDouble, 8},
        {"double precision", dbDouble, 8},
        {"FLOAT", dbDouble, 8},
        {"NUMERIC(10,2)", dbDouble, 8},
        {"VARCHAR(30)", dbText, 30},
        {"TEXT(12)", dbText, 12},
        {"CHAR(3)", dbText, 3},
        {"NVARCHAR ( 80 )", dbText, 80},
        {"VARCHAR(1000)", dbMemo, 0},
        {"TEXT", dbMemo, 0},
        {"CLOB", dbMemo, 0},
        {"", dbMemo, 0},
        {"BLOB", dbLongBinary, 0},
        {"BINARY(16)", dbBinary, 16},
        {"DATE", dbDate, 8},
        {"DATETIME", dbDate, 8},
        {"TIMESTAMP", dbDate, 8},
        {"BOOLEAN", dbBoolean, 1},
        {"BIT", dbBoolean, 1},
        {"MONEY", dbCurrency, 8},
        {"GUID", dbGUID, 16},
        {"UNIQUEIDENTIFIER", dbGUID, 16},
        {"UNSIGNED BIG INT", dbBigInt, 8},
        {"POSITIVE INTEGER", dbLong, 4},
        {"STRANGE", dbDouble, 8},
        {"MYTEXTTYPE", dbMemo, 0},
    };
    for (const Case& c : cases) {
        const SqliteColumnType column = MapDeclaredType(c.declared);
        EXPECT_EQ(column.Type, c.type) << c.declared.toStdString();
        EXPECT_EQ(EngineFieldSize(column.Type, column.Size), c.size) << c.declared.toStdString();
    }
}

// Values stored by other SQLite programs come back in the representation of the field type.
TEST(SqliteTypesTest, ReadsForeignValues) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "SELECT 5000000000, 7, 1, '2024-01-02', 0, x'00ff', 'abc', "
                                 "2440587.5, 'x12', NULL",
                                 -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    struct Case {
        int column;
        short type;
        QVariant expected;
    };
    const Case cases[] = {
        {0, dbLong, QVariant::fromValue(5000000000LL)},
        {1, dbLong, 7},
        {2, dbBoolean, true},
        {3, dbDate, QDate(2024, 1, 2)},
        {4, dbDate, QDateTime::fromSecsSinceEpoch(0, QTimeZone::utc())},
        {5, dbLongBinary, QByteArray("\x00\xff", 2)},
        {6, dbMemo, "abc"},
        {7, dbDate, QDateTime::fromSecsSinceEpoch(0, QTimeZone::utc())},
        {8, dbLong, "x12"},  // text in a numeric column stays text
        {9, dbText, QVariant()},
    };
    for (const Case& c : cases) {
        const QVariant value = ReadColumnValue(st, c.column, c.type);
        EXPECT_EQ(value, c.expected) << "column " << c.column;
        EXPECT_EQ(value.typeId(), c.expected.typeId()) << "column " << c.column;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST(SqliteTypesTest, ViewSelectText) {
    struct Case {
        QString create, select;
    };
    const Case cases[] = {
        {"CREATE VIEW v AS SELECT 1", "SELECT 1"},
        {"create view \"my view\" as\n select a from t", "select a from t"},
        {"CREATE VIEW IF NOT EXISTS [x] (a, b) AS SELECT 1, 2", "SELECT 1, 2"},
    };
    for (const Case& c : cases) EXPECT_EQ(SqliteViewQuery::SelectOf(c.create), c.select);
}

}  // namespace
}  // namespace morvane
