// SQL literals of engine values for statements sent to a data source, and the column
// types chosen from a data source's type list.
#include "export/data/FieldTypes.h"
#include "export/data/odbc/OdbcLiteral.h"
#include "export/data/odbc/OdbcTypes.h"
#include "export/engine/ValueText.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QUuid>

namespace morvane {
namespace {

TEST(OdbcLiteralTest, LiteralsIgnoreTheRegionalSetting) {
    SetRegionalLocale(QLocale(QLocale::German, QLocale::Germany));
    struct Case {
        QVariant value;
        short type;
        const char* literal;
    };
    const Case cases[] = {
        {QVariant(), dbLong, "NULL"},
        {QVariant(), dbText, "NULL"},
        {42, dbLong, "42"},
        {QVariant::fromValue(qlonglong(-9000000000LL)), dbBigInt, "-9000000000"},
        {1234.5, dbDouble, "1234.5"},
        {1e20, dbDouble, "1e+20"},
        {12.25, dbCurrency, "12.25"},
        {QVariant(0.1f), dbSingle, "0.100000001"},
        {QStringLiteral("123.4500"), dbNumeric, "123.4500"},
        {QStringLiteral("12,5"), dbDecimal, "'12,5'"},
        {true, dbBoolean, "'1'"},
        {false, dbBoolean, "'0'"},
        {QDateTime(QDate(1999, 12, 31), QTime(15, 4, 5)), dbDate, "{ts '1999-12-31 15:04:05'}"},
        {QDateTime(QDate(2024, 2, 9), QTime(1, 2, 3, 450)), dbTimeStamp,
         "{ts '2024-02-09 01:02:03.450'}"},
        {QDate(2024, 2, 9), dbDate, "{d '2024-02-09'}"},
        {QTime(23, 59, 1), dbTime, "{t '23:59:01'}"},
        {QStringLiteral("O'Brien"), dbText, "'O''Brien'"},
        {QStringLiteral("''"), dbMemo, "''''''"},
        {QVariant::fromValue(QUuid("{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}")), dbGUID,
         "'0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OdbcLiteral(c.value, c.type), QString(c.literal)) << c.literal;
    SetRegionalLocale(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST(OdbcLiteralTest, ColumnDeclarations) {
    struct Case {
        const char* name;
        const char* params;
        OdbcTypeChoice choice;
        const char* declaration;
    };
    const Case cases[] = {
        {"varchar", "max. length", {0, 40}, "varchar(40)"},
        {"numeric", "precision, scale", {0, 19, 4}, "numeric(19,4)"},
        {"numeric", "precision,scale", {0}, "numeric"},
        {"int4", "", {0, 4}, "int4"},
        {"varchar()", "length", {0, 12}, "varchar(12)"},
        {"text", "", {0}, "text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SqlTypeDeclaration(c.name, c.params, c.choice), QString(c.declaration))
            << c.declaration;
}

TEST(OdbcLiteralTest, EveryEngineTypeHasColumnChoicesAndReadsBackAsItself) {
    const short types[] = {dbBoolean,    dbByte,   dbInteger, dbLong,   dbCurrency,
                           dbSingle,     dbDouble, dbDate,    dbBinary, dbText,
                           dbLongBinary, dbMemo,   dbGUID,    dbBigInt, dbTime};
    for (short type : types) {
        const auto choices = SqlTypeChoices(type, 20);
        ASSERT_FALSE(choices.empty()) << type;
        // The first choice of every type maps back to a type that holds its values.
        const short back = EngineTypeOfSql(choices.front().sqlType, choices.front().precision);
        if (type == dbCurrency)
            EXPECT_EQ(back, dbNumeric);
        else
            EXPECT_EQ(back, type) << type;
    }
}

}  // namespace
}  // namespace morvane
