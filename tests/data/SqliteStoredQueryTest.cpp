#include "export/data/sqlite/SqliteQueryCatalog.h"
#include "tests/data/EngineTestSupport.h"

namespace morvane {
namespace {

using test::ErrorNumberOf;

const QString kCatalog = QStringLiteral("morvane_queries");

class SqliteStoredQueryTest : public test::EngineTest {
  protected:
    // Orders(id, qty, price, country, code): ids 1..8.
    std::shared_ptr<Database> OrdersDatabase() {
        auto db = NewDatabase();
        db->Execute(
            "CREATE TABLE Orders (id INTEGER, qty INTEGER, price DOUBLE, country VARCHAR(20), "
            "code VARCHAR(10));"
            "INSERT INTO Orders VALUES (1, 5, 2.5, 'Spain', '007'), (2, 12, 1.0, 'Spain', '7'),"
            "(3, 40, 0.5, 'Ireland', '2.50'), (4, 3, 10.0, 'Ireland', NULL),"
            "(5, 7, 3.0, 'Spain', NULL), (6, 50, 1.5, NULL, NULL), (7, 6, 1.0, 'Peru', NULL),"
            "(8, 10, 0.25, 'Spain', NULL)");
        return db;
    }
    static QList<int> Ids(Recordset& rs) {
        QList<int> ids;
        for (; !rs.Eof(); rs.MoveNext()) ids << rs.Fields().Item(0).Value().toInt();
        return ids;
    }
    static QStringList TableNames(Database& db) {
        QStringList names;
        for (int i = 0; i < db.TableDefs().Count(); ++i) names << db.TableDefs().Item(i).Name();
        return names;
    }
    static int Count(Database& db, const QString& table) {
        auto rs = db.OpenRecordset(table, dbOpenTable);
        return static_cast<int>(rs->RecordCount());
    }
};

TEST_F(SqliteStoredQueryTest, DefineListAndDrop) {
    auto db = OrdersDatabase();
    EXPECT_FALSE(TableNames(*db).contains(kCatalog));
    db->Execute("CREATE VIEW Early AS SELECT id FROM Orders WHERE id < 3");
    db->CreateQueryDef("Above", 0, "SELECT id FROM Orders WHERE qty > :Min AND country = :Land");
    db->CreateQueryDef("Purge", 32, "DELETE FROM Orders WHERE country = :Land;");
    db->CreateQueryDef("Plain", 0, "SELECT id FROM Orders ;");
    db->CreateQueryDef("Raw", 112, "SELECT count(*) FROM Orders");
    db->CreateQueryDef("RawDelete", 112, "DELETE FROM Orders WHERE 0");
    db->CreateQueryDef("Odd", 200, "UPDATE Orders SET qty = qty");

    // Views (select queries without parameters) come first, then the catalogue's queries,
    // each in creation order.
    struct Expected {
        const char* name;
        short type;
        bool returnsRecords;
        QStringList parameters;
        const char* sql;
    };
    const Expected expected[] = {
        {"Early", 0, true, {}, "SELECT id FROM Orders WHERE id < 3"},
        {"Plain", 0, true, {}, "SELECT id FROM Orders"},
        {"Above",
         0,
         true,
         {"Min", "Land"},
         "SELECT id FROM Orders WHERE qty > :Min AND country = :Land"},
        {"Purge", 32, false, {"Land"}, "DELETE FROM Orders WHERE country = :Land;"},
        {"Raw", 112, true, {}, "SELECT count(*) FROM Orders"},
        {"RawDelete", 112, false, {}, "DELETE FROM Orders WHERE 0"},
        {"Odd", 200, false, {}, "UPDATE Orders SET qty = qty"},
    };
    QueryDefs& queries = db->QueryDefs();
    ASSERT_EQ(queries.Count(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < queries.Count(); ++i) {
        QueryDef& query = queries.Item(i);
        const Expected& e = expected[i];
        EXPECT_EQ(query.Name(), e.name);
        EXPECT_EQ(query.Type(), e.type) << e.name;
        EXPECT_EQ(query.ReturnsRecords(), e.returnsRecords) << e.name;
        QStringList names;
        for (int p = 0; p < query.Parameters().Count(); ++p)
            names << query.Parameters().Item(p).Name();
        EXPECT_EQ(names, e.parameters) << e.name;
        EXPECT_EQ(query.SQL().trimmed(), e.sql) << e.name;
    }
    // The catalogue is a system table, never a user table.
    TableDefs& tables = db->TableDefs();
    ASSERT_GE(tables.IndexOf(kCatalog), 0);
    EXPECT_EQ(tables.Item(kCatalog).Attributes(), int(dbSystemObject));

    // The list survives reopening; dropping every catalogue query drops the catalogue.
    db->Close();
    db = Open("test.db");
    EXPECT_EQ(db->QueryDefs().Count(), 7);
    for (const char* name : {"early", "PLAIN", "Above", "Purge", "Raw", "RawDelete"})
        db->QueryDefs().Delete(name);
    EXPECT_EQ(db->QueryDefs().Count(), 1);
    EXPECT_TRUE(TableNames(*db).contains(kCatalog));
    db->QueryDefs().Delete("Odd");
    EXPECT_EQ(db->QueryDefs().Count(), 0);
    EXPECT_EQ(TableNames(*db), QStringList({"Orders"}));
}

TEST_F(SqliteStoredQueryTest, RefusedDefinitions) {
    auto db = OrdersDatabase();
    db->Execute("CREATE VIEW V AS SELECT 1");
    db->CreateQueryDef("Q", 32, "DELETE FROM Orders");
    struct Case {
        const char* name;
        short type;
        const char* sql;
        int error;
    };
    const Case cases[] = {
        {"orders", 32, "DELETE FROM Orders", ErrTableExists},
        {"v", 32, "DELETE FROM Orders", ErrTableExists},
        {"q", 0, "SELECT :x", ErrTableExists},
        {"morvane_queries", 32, "DELETE FROM Orders", ErrTableExists},
        {"", 32, "DELETE FROM Orders", ErrInvalidArgument},
        {"  ", 32, "DELETE FROM Orders", ErrInvalidArgument},
        {"New", 32, "  ", ErrInvalidArgument},
        {"New", 32, "-- nothing", ErrInvalidArgument},
        {"New", -1, "DELETE FROM Orders", ErrInvalidArgument},
        {"New", 32, "DELETE FROM Orders WHERE id = ?", ErrInvalidArgument},
        {"New", 0, "SELECT * FROM Orders WHERE id = @id", ErrInvalidArgument},
        {"New", 0, "DELETE FROM Orders WHERE id = :id", ErrInvalidArgument},
        {"New", 16, "SELECT :a; SELECT 2", ErrInvalidArgument},
        {"New", 0, "SELECT FROM", ErrSqlError},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorNumberOf([&] { db->CreateQueryDef(c.name, c.type, c.sql); }), c.error)
            << c.name << " " << c.sql;
    EXPECT_EQ(db->QueryDefs().Count(), 2);
    EXPECT_EQ(ErrorNumberOf([&] { db->QueryDefs().Delete("Missing"); }), ErrItemNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { db->QueryDefs().ItemShared("Missing"); }), ErrItemNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { db->QueryDefs().Delete("Orders"); }), ErrItemNotFound);
    EXPECT_EQ(Count(*db, "Orders"), 8);
}

TEST_F(SqliteStoredQueryTest, CatalogueOnlyOnceDefined) {
    auto db = OrdersDatabase();
    db->CreateQueryDef("Plain", 0, "SELECT id FROM Orders");  // a view: no catalogue
    db->Close();
    db = DBEngine::Instance().OpenDatabase(PathOf("test.db"), 0, true, QString());
    EXPECT_EQ(db->QueryDefs().Count(), 1);
    EXPECT_EQ(ErrorNumberOf([&] { db->CreateQueryDef("Q", 32, "DELETE FROM Orders"); }),
              ErrReadOnly);
    EXPECT_FALSE(TableNames(*db).contains(kCatalog));
    db->Close();

    // A read-only database lists, opens and refuses to run its catalogue queries.
    db = Open("test.db");
    db->CreateQueryDef("Q", 32, "DELETE FROM Orders");
    db->CreateQueryDef("P", 0, "SELECT id FROM Orders WHERE qty > :Min");
    db->Close();
    db = DBEngine::Instance().OpenDatabase(PathOf("test.db"), 0, true, QString());
    ASSERT_EQ(db->QueryDefs().Count(), 3);
    EXPECT_EQ(db->QueryDefs().Item(1).Name(), "Q");
    auto query = db->QueryDefs().ItemShared("P");
    query->Parameters().Item("min").SetValue("20");
    auto rs = query->OpenRecordset(dbOpenSnapshot);
    EXPECT_EQ(Ids(*rs), QList<int>({3, 6}));
    EXPECT_EQ(ErrorNumberOf([&] { db->QueryDefs().Item("Q").Execute(); }), ErrReadOnly);
    EXPECT_EQ(ErrorNumberOf([&] { db->QueryDefs().Delete("Q"); }), ErrReadOnly);
    EXPECT_EQ(Count(*db, "Orders"), 8);
}

TEST_F(SqliteStoredQueryTest, ParameterQueryRows) {
    auto db = OrdersDatabase();
    db->CreateQueryDef("ByQty", 0, "SELECT id FROM Orders WHERE qty > :Min ORDER BY id");
    db->CreateQueryDef("ByValue", 0, "SELECT id FROM Orders WHERE qty * price >= :Min");
    db->CreateQueryDef("ByCode", 0, "SELECT id FROM Orders WHERE code = :Code");
    db->CreateQueryDef("ByLand", 16,
                       "SELECT id FROM Orders WHERE country = :Land AND qty >= :min "
                       "OR :LAND = 'all' ORDER BY id DESC");
    struct Case {
        const char* query;
        QList<QPair<QString, QString>> values;
        QList<int> ids;
    };
    const Case cases[] = {
        {"ByQty", {{"Min", "5"}}, {2, 3, 5, 6, 7, 8}},  // integer against an INTEGER column
        {"ByQty", {{"MIN", "39.5"}}, {3, 6}},
        {"ByQty", {{"Min", "040"}}, {6}},  // text, converted by the column's affinity
        {"ByQty", {{"Min", "abc"}}, {}},
        {"ByValue", {{"Min", "20"}}, {3, 4, 5, 6}},  // a computed value needs a number
        {"ByValue", {{"Min", "30.00"}}, {4, 6}},
        {"ByCode", {{"Code", "007"}}, {1}},  // the exact spelling against a text column
        {"ByCode", {{"Code", "7"}}, {2}},
        {"ByCode", {{"Code", ""}}, {}},
        {"ByLand", {{"Land", "Spain"}, {"Min", "7"}}, {8, 5, 2}},
        {"ByLand", {{"land", "all"}, {"min", "0"}}, {8, 7, 6, 5, 4, 3, 2, 1}},
    };
    for (const Case& c : cases) {
        auto query = db->QueryDefs().ItemShared(c.query);
        for (const auto& value : c.values)
            query->Parameters().Item(value.first).SetValue(value.second);
        auto rs = query->OpenRecordset(dbOpenSnapshot);
        EXPECT_EQ(Ids(*rs), c.ids) << c.query << " " << c.values.first().second.toStdString();
    }
}

TEST_F(SqliteStoredQueryTest, SnapshotNavigationAndCount) {
    auto db = OrdersDatabase();
    db->Execute(
        "WITH RECURSIVE n(i) AS (SELECT 9 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
        "INSERT INTO Orders (id, qty) SELECT i, i % 100 FROM n");
    auto query = db->CreateQueryDef("Big", 0, "SELECT id, qty FROM Orders WHERE qty >= :Min");
    query->Parameters().Item(0).SetValue("50");
    auto rs = query->OpenRecordset(dbOpenSnapshot, dbSQLPassThrough);
    EXPECT_EQ(rs->Type(), dbOpenSnapshot);
    EXPECT_FALSE(rs->Updatable());
    EXPECT_EQ(rs->Fields().Item("id").Type(), dbLong);
    EXPECT_EQ(rs->Fields().Item(0).Value(), 6);
    rs->MoveNext();
    EXPECT_EQ(rs->RecordCount(), 2);  // reached so far
    rs->MoveLast();
    const int expected = 1 + 200 * 50;  // id 6, then ids 9..20000 whose qty (id % 100) >= 50
    EXPECT_EQ(rs->RecordCount(), expected);
    EXPECT_EQ(rs->Fields().Item(0).Value(), 19999);
    rs->Move(-2);
    EXPECT_EQ(rs->Fields().Item(0).Value(), 19997);
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields().Item(0).Value(), 6);
    EXPECT_EQ(ErrorNumberOf([&] { rs->AddNew(); }), ErrReadOnly);
    // A schema change parks the cursor; the recordset resumes where it stood.
    rs->MoveNext();
    db->Execute("CREATE TABLE Other (x INTEGER); DROP TABLE Other");
    rs->MoveNext();
    EXPECT_EQ(rs->Fields().Item(0).Value(), 51);
}

TEST_F(SqliteStoredQueryTest, ExecuteActionQueries) {
    auto db = OrdersDatabase();
    db->CreateQueryDef("Purge", 32, "DELETE FROM Orders WHERE country = :Land AND qty < :Max");
    db->CreateQueryDef("Raise", 48, "UPDATE Orders SET qty = qty + :Step WHERE id = :Id");
    db->CreateQueryDef("Copy", 80,
                       "CREATE TABLE Spanish AS SELECT * FROM Orders WHERE country = 'Spain'");
    db->CreateQueryDef("Pair", 96,
                       "INSERT INTO Orders (id) VALUES (100); INSERT INTO Missing VALUES (1)");
    auto purge = db->QueryDefs().ItemShared("Purge");
    purge->Parameters().Item("Land").SetValue("Spain");
    purge->Parameters().Item("Max").SetValue("10");
    purge->Execute();
    auto rs = db->OpenRecordset("Orders", dbOpenSnapshot);
    EXPECT_EQ(Ids(*rs), QList<int>({2, 3, 4, 6, 7, 8}));

    auto raise = db->QueryDefs().ItemShared("Raise");
    raise->Parameters().Item("Step").SetValue("100");
    raise->Parameters().Item("Id").SetValue("3");
    raise->Execute();
    rs = db->OpenRecordset("Orders", dbOpenSnapshot);
    rs->Move(1);
    EXPECT_EQ(rs->Fields().Item("qty").Value(), 140);

    // Make table: the new table shows up at once.
    db->QueryDefs().Item("Copy").Execute();
    EXPECT_EQ(Count(*db, "Spanish"), 2);
    // All statements or none: the second fails, the first is undone.
    EXPECT_EQ(ErrorNumberOf([&] { db->QueryDefs().Item("Pair").Execute(); }),
              ErrInputTableNotFound);
    EXPECT_EQ(Count(*db, "Orders"), 6);
}

TEST_F(SqliteStoredQueryTest, FailuresOfRunningQueries) {
    auto db = OrdersDatabase();
    db->CreateQueryDef("Select", 0, "SELECT id FROM Orders WHERE qty > :Min");
    db->CreateQueryDef("Purge", 32, "DELETE FROM Orders WHERE qty > :Min");
    db->CreateQueryDef("Lost", 32, "DELETE FROM Gone");
    db->CreateQueryDef("LostSelect", 0, "SELECT * FROM Gone WHERE a = :a");
    db->CreateQueryDef("Limit", 0, "SELECT id FROM Orders LIMIT :Count");
    db->CreateQueryDef("Sneaky", 32, "SELECT id FROM Orders");
    QueryDefs& queries = db->QueryDefs();
    struct Case {
        const char* what;
        std::function<void()> action;
        int error;
    };
    const Case cases[] = {
        {"select Execute", [&] { queries.Item("Select").Execute(); }, ErrSelectQueryExecute},
        {"action OpenRecordset", [&] { queries.Item("Purge").OpenRecordset(); },
         ErrInvalidOperation},
        {"action by name", [&] { db->OpenRecordset("Purge"); }, ErrInvalidOperation},
        {"query as table", [&] { db->OpenRecordset("Select", dbOpenTable); }, ErrInvalidOperation},
        {"unset parameter", [&] { queries.Item("Select").OpenRecordset(); }, ErrTooFewParameters},
        {"unset on Execute", [&] { queries.Item("Purge").Execute(); }, ErrTooFewParameters},
        {"missing table", [&] { queries.Item("Lost").Execute(); }, ErrInputTableNotFound},
        {"missing table select",
         [&] {
             queries.Item("LostSelect").Parameters().Item(0).SetValue("1");
             queries.Item("LostSelect").OpenRecordset();
         },
         ErrInputTableNotFound},
        {"unconvertible value",
         [&] {
             queries.Item("Limit").Parameters().Item(0).SetValue("many");
             queries.Item("Limit").OpenRecordset();
         },
         ErrConversion},
        {"select text in an action", [&] { queries.Item("Sneaky").Execute(); },
         ErrSelectQueryExecute},
        {"bad type", [&] { queries.Item("Select").OpenRecordset(3); }, ErrInvalidArgument},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorNumberOf(c.action), c.error) << c.what;
    EXPECT_EQ(Count(*db, "Orders"), 8);
    // Opened by name, a parameter query has no values.
    EXPECT_EQ(ErrorNumberOf([&] { db->OpenRecordset("Select"); }), ErrTooFewParameters);
}

TEST_F(SqliteStoredQueryTest, HeldQueryOutlivesReload) {
    auto db = OrdersDatabase();
    db->CreateQueryDef("Make", 80, "CREATE TABLE Made AS SELECT id FROM Orders WHERE id = :Id");
    std::shared_ptr<QueryDef> held = db->QueryDefs().ItemShared("Make");
    std::weak_ptr<QueryDef> watched = held;
    held->Parameters().Item("Id").SetValue("4");
    held->Execute();  // changes the schema: the collection reloads on its next use
    EXPECT_EQ(db->QueryDefs().Count(), 1);
    EXPECT_NE(db->QueryDefs().ItemShared("Make"), held);
    ASSERT_FALSE(watched.expired());
    EXPECT_EQ(held->Name(), "Make");
    EXPECT_EQ(held->Parameters().Item("Id").Value(), "4");
    db->Execute("DROP TABLE Made");
    held->Execute();
    EXPECT_EQ(Count(*db, "Made"), 1);
    held.reset();
    EXPECT_TRUE(watched.expired());
}

}  // namespace
}  // namespace morvane
