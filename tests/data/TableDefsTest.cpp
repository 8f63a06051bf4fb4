#include "export/data/QueryDef.h"
#include "export/data/TableDef.h"
#include "tests/data/EngineTestSupport.h"

#include <QUuid>
#include <type_traits>
#include <utility>

namespace morvane {
namespace {

// The driver hooks are out of reach of code that is not a driver: they take a DriverKey, which
// only the engine's base classes can make, or are not public at all. Each check below is
// evaluated from this file, an ordinary user of the object model; a hook made public again
// (or a key anyone can make) fails the build. The checks with a key show that the
// detection names the hooks rightly.
template <typename Void, template <typename...> class Call, typename... Args>
struct Detect : std::false_type {};
template <template <typename...> class Call, typename... Args>
struct Detect<std::void_t<Call<Args...>>, Call, Args...> : std::true_type {};
//! Whether Call<Args...> (a call expression's type) is well-formed here.
template <template <typename...> class Call, typename... Args>
constexpr bool kCallable = Detect<void, Call, Args...>::value;

template <typename... A>
using BraceInit = decltype(DriverKey{std::declval<A>()...});
template <typename... A>
using LoadValue = decltype(std::declval<Field&>().LoadValue(std::declval<A>()...));
template <typename... A>
using DeferValue = decltype(std::declval<Field&>().DeferValue(std::declval<A>()...));
template <typename... A>
using IsDeferred = decltype(std::declval<const Field&>().IsDeferred(std::declval<A>()...));
template <typename... A>
using SetDefinitionLocked =
    decltype(std::declval<Field&>().SetDefinitionLocked(std::declval<A>()...));
template <typename... A>
using SetValueWritable = decltype(std::declval<Field&>().SetValueWritable(std::declval<A>()...));
template <typename... A>
using SetLocked = decltype(std::declval<Fields&>().SetLocked(std::declval<A>()...));
template <typename... A>
using MarkStored = decltype(std::declval<TableDef&>().MarkStored(std::declval<A>()...));
template <typename... A>
using ListTables = decltype(std::declval<Database&>().ListTables(std::declval<A>()...));
template <typename... A>
using ListQueries = decltype(std::declval<Database&>().ListQueries(std::declval<A>()...));
template <typename... A>
using AppendTable = decltype(std::declval<Database&>().AppendTable(std::declval<A>()...));
template <typename... A>
using DropTable = decltype(std::declval<Database&>().DropTable(std::declval<A>()...));
template <typename... A>
using DropQuery = decltype(std::declval<Database&>().DropQuery(std::declval<A>()...));
template <typename... A>
using CheckOpen = decltype(std::declval<const Database&>().CheckOpen(std::declval<A>()...));
template <typename... A>
using AppendParameter = decltype(std::declval<Parameters&>().Append(std::declval<A>()...));
template <typename... A>
using InvalidateTables = decltype(std::declval<TableDefs&>().Invalidate(std::declval<A>()...));
template <typename... A>
using InvalidateQueries = decltype(std::declval<QueryDefs&>().Invalidate(std::declval<A>()...));
template <typename... A>
using RecordsetKey = decltype(Recordset::Key(std::declval<A>()...));
template <typename... A>
using DatabaseKey = decltype(Database::Key(std::declval<A>()...));
template <typename... A>
using QueryDefKey = decltype(QueryDef::Key(std::declval<A>()...));

using Key = DriverKey;
using Source = const FieldValueSource*;

static_assert(!std::is_default_constructible_v<DriverKey> && !kCallable<BraceInit>);
static_assert(!kCallable<RecordsetKey> && !kCallable<DatabaseKey> && !kCallable<QueryDefKey>);

static_assert(kCallable<LoadValue, Key, QVariant> && !kCallable<LoadValue, QVariant>);
static_assert(kCallable<DeferValue, Key, Source, int> && !kCallable<DeferValue, Source, int>);
static_assert(kCallable<IsDeferred, Key> && !kCallable<IsDeferred>);
static_assert(kCallable<SetDefinitionLocked, Key, bool> && !kCallable<SetDefinitionLocked, bool>);
static_assert(!kCallable<SetValueWritable, bool> && !kCallable<SetValueWritable, Key, bool>);
static_assert(kCallable<SetLocked, Key, bool> && !kCallable<SetLocked, bool>);
static_assert(kCallable<MarkStored, Key> && !kCallable<MarkStored>);
static_assert(kCallable<ListTables, Key> && !kCallable<ListTables>);
static_assert(kCallable<ListQueries, Key> && !kCallable<ListQueries>);
static_assert(kCallable<AppendTable, Key, const TableDef&> &&
              !kCallable<AppendTable, const TableDef&>);
static_assert(kCallable<DropTable, Key, QString> && !kCallable<DropTable, QString>);
static_assert(kCallable<DropQuery, Key, QString> && !kCallable<DropQuery, QString>);
static_assert(!kCallable<CheckOpen>);
static_assert(kCallable<AppendParameter, Key, Parameter> && !kCallable<AppendParameter, Parameter>);
static_assert(!kCallable<InvalidateTables> && !kCallable<InvalidateQueries>);

using test::EngineTest;
using test::ErrorNumberOf;

struct TypeCase {
    short type;
    int declaredSize;
    int reportedSize;
    bool required;
};

// Every type code of the native format, as created and as the engine reports it.
const TypeCase kTypeCases[] = {
    {dbBoolean, 0, 1, false},   {dbByte, 0, 1, true},      {dbInteger, 0, 2, false},
    {dbLong, 0, 4, true},       {dbCurrency, 0, 8, false}, {dbSingle, 0, 4, true},
    {dbDouble, 0, 8, false},    {dbDate, 0, 8, true},      {dbBinary, 16, 16, false},
    {dbText, 0, 50, true},      {dbText, 255, 255, false}, {dbText, 7, 7, false},
    {dbLongBinary, 0, 0, true}, {dbMemo, 0, 0, false},     {dbGUID, 0, 16, true},
};

TEST_F(EngineTest, TypeCodesRoundTrip) {
    {
        auto db = NewDatabase();
        auto table = db->CreateTableDef("AllTypes");
        int column = 0;
        for (const TypeCase& c : kTypeCases) {
            // Size before type, as destination tables copy them.
            auto field = table->CreateField(QStringLiteral("f%1").arg(column++));
            field->SetSize(c.declaredSize);
            field->SetRequired(c.required);
            field->SetType(c.type);
            table->Fields().Append(field);
        }
        db->TableDefs().Append(table);
        db->Close();
    }
    auto db = Open("test.db");
    const TableDef& table = db->TableDefs().Item("AllTypes");
    auto rs = db->OpenRecordset("AllTypes", dbOpenTable);
    ASSERT_EQ(table.Fields().Count(), static_cast<int>(std::size(kTypeCases)));
    for (int column = 0; column < table.Fields().Count(); ++column) {
        const TypeCase& c = kTypeCases[column];
        for (const Field* field : {&table.Fields().Item(column), &rs->Fields().Item(column)}) {
            EXPECT_EQ(field->Type(), c.type) << "column " << column;
            EXPECT_EQ(field->Size(), c.reportedSize) << "column " << column;
            EXPECT_EQ(field->Required(), c.required) << "column " << column;
        }
    }
}

TEST_F(EngineTest, ValuesRoundTripInTheirRepresentation) {
    auto db = NewDatabase();
    auto table = db->CreateTableDef("V");
    const QVariant values[] = {
        true,
        200,
        -300,
        123456,
        12.3456,
        1.5f,
        2.25,
        QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9)),
        QByteArray("\x01\x02", 2),
        QStringLiteral("Crème, \"brûlée\" d'été"),
        QByteArray(1000, 'x'),
        QStringLiteral("line 1\r\nline 2"),
        QVariant::fromValue(QUuid("{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}"))};
    const short types[] = {dbBoolean,    dbByte,   dbInteger, dbLong,   dbCurrency,
                           dbSingle,     dbDouble, dbDate,    dbBinary, dbText,
                           dbLongBinary, dbMemo,   dbGUID};
    for (size_t i = 0; i < std::size(types); ++i)
        table->Fields().Append(table->CreateField(QStringLiteral("c%1").arg(i), types[i]));
    db->TableDefs().Append(table);
    auto rs = db->OpenRecordset("V");
    for (int row = 0; row < 2; ++row) {  // one row of values, one of Nulls
        rs->AddNew();
        if (row == 0)
            for (size_t i = 0; i < std::size(values); ++i)
                rs->Fields().Item(static_cast<int>(i)).SetValue(values[i]);
        rs->Update();
    }
    rs->Close();
    rs = db->OpenRecordset("V", dbOpenSnapshot);
    for (size_t i = 0; i < std::size(values); ++i) {
        const QVariant value = rs->Fields().Item(static_cast<int>(i)).Value();
        EXPECT_EQ(value, values[i]) << "column " << i;
        EXPECT_EQ(value.typeId(), values[i].typeId()) << "column " << i;
    }
    rs->MoveNext();
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_TRUE(rs->Fields().Item(static_cast<int>(i)).Value().isNull()) << "column " << i;
}

TEST_F(EngineTest, TableDefinitionFailures) {
    auto db = NewDatabase();
    auto table = db->CreateTableDef("T");
    table->Fields().Append(table->CreateField("a", dbLong));
    db->TableDefs().Append(table);

    auto again = db->CreateTableDef("t");  // names match without regard to case
    again->Fields().Append(again->CreateField("a", dbLong));
    EXPECT_EQ(ErrorNumberOf([&] { db->TableDefs().Append(again); }), ErrTableExists);
    EXPECT_EQ(ErrorNumberOf([&] { db->TableDefs().Append(db->CreateTableDef("Empty")); }),
              ErrTableWithoutFields);
    auto untyped = db->CreateTableDef("Untyped");
    untyped->Fields().Append(untyped->CreateField("a"));
    EXPECT_EQ(ErrorNumberOf([&] { db->TableDefs().Append(untyped); }), ErrInvalidFieldType);
    auto wide = db->CreateTableDef("Wide");
    wide->Fields().Append(wide->CreateField("a", dbText, 256));
    EXPECT_EQ(ErrorNumberOf([&] { db->TableDefs().Append(wide); }), ErrInvalidArgument);
    EXPECT_EQ(ErrorNumberOf([&] { table->Fields().Append(table->CreateField("b", dbLong)); }),
              ErrInvalidOperation);
    EXPECT_EQ(ErrorNumberOf([&] { again->Fields().Append(again->CreateField("A", dbLong)); }),
              ErrFieldDefinedTwice);
    EXPECT_EQ(ErrorNumberOf([&] { db->TableDefs().Delete("Nope"); }), ErrItemNotFound);
    EXPECT_EQ(db->TableDefs().Count(), 1);
}

// The collections and OpenRecordset find a name by one rule: Unicode case folding, an exact
// match first. SQLite's own NOCASE folds ASCII only, so "Äpfel" and "äpfel" may both exist.
TEST_F(EngineTest, NamesMatchByUnicodeCaseFolding) {
    auto db = NewDatabase();
    db->Execute("CREATE TABLE \"Äpfel\" (n INTEGER)");
    db->Execute("INSERT INTO \"Äpfel\" VALUES (1)");
    db->Execute("CREATE TABLE \"äpfel\" (n INTEGER)");
    db->Execute("INSERT INTO \"äpfel\" VALUES (2)");
    db->Execute("CREATE VIEW \"Größe\" AS SELECT 3 AS n");
    struct Case {
        QString asked;
        QString found;
        int value;
    };
    const Case cases[] = {
        {"Äpfel", "Äpfel", 1}, {"äpfel", "äpfel", 2}, {"ÄPFEL", "Äpfel", 1},
        {"äPFEL", "Äpfel", 1}, {"GRÖSSE", "", 0},     {"GRÖßE", "Größe", 3},
    };
    for (const Case& c : cases) {
        if (c.found.isEmpty()) {
            EXPECT_EQ(ErrorNumberOf([&] { db->OpenRecordset(c.asked); }), ErrInputTableNotFound)
                << c.asked.toStdString();
            continue;
        }
        auto rs = db->OpenRecordset(c.asked);
        EXPECT_EQ(rs->Fields().Item(0).Value(), c.value) << c.asked.toStdString();
        if (c.value < 3) {
            EXPECT_EQ(db->TableDefs().Item(c.asked).Name(), c.found);
        }
    }
}

TEST_F(EngineTest, TableOrderAttributesAndDelete) {
    auto db = NewDatabase();
    for (const QString name : {"Zeta", "Alpha", "Mid"}) {
        auto table = db->CreateTableDef(name);
        table->Fields().Append(table->CreateField("id", dbLong));
        db->TableDefs().Append(table);
    }
    db->Execute("CREATE TABLE Auto (id INTEGER PRIMARY KEY AUTOINCREMENT, x TEXT)");
    db->Execute("INSERT INTO Auto (x) VALUES ('a')");
    db->NewPassword("", "pw");
    db->TableDefs().Delete("Alpha");
    db->Execute("CREATE VIEW Second AS SELECT id FROM Mid; CREATE VIEW First AS SELECT 1 AS one");

    TableDefs& tables = db->TableDefs();
    QStringList names;
    for (int i = 0; i < tables.Count(); ++i) {
        names << tables.Item(i).Name();
        const bool system =
            names.last().startsWith("sqlite_") || names.last().startsWith("morvane_");
        EXPECT_EQ(tables.Item(i).Attributes(), system ? int(dbSystemObject) : 0)
            << names.last().toStdString();
    }
    EXPECT_EQ(names, QStringList({"Zeta", "Mid", "Auto", "sqlite_sequence", "morvane_password"}));
    QueryDefs& queries = db->QueryDefs();
    ASSERT_EQ(queries.Count(), 2);
    EXPECT_EQ(queries.Item(0).Name(), "Second");
    EXPECT_EQ(queries.Item(1).Type(), 0);
    EXPECT_TRUE(queries.Item(1).ReturnsRecords());
    EXPECT_EQ(queries.Item(1).Parameters().Count(), 0);
    EXPECT_EQ(queries.Item("first").SQL(), "SELECT 1 AS one");
    EXPECT_EQ(ErrorNumberOf([&] { queries.Item("first").Execute(); }), ErrSelectQueryExecute);
    auto rs = queries.Item("First").OpenRecordset(dbOpenSnapshot);
    EXPECT_EQ(rs->Fields().Item("one").Value(), 1);
}

}  // namespace
}  // namespace morvane
