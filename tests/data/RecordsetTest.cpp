#include "export/data/sqlite/SqliteDatabase.h"
#include "tests/data/EngineTestSupport.h"

namespace morvane {
namespace {

using test::ErrorNumberOf;

class RecordsetTest : public test::EngineTest {
  protected:
    // A table "N" holding the numbers 1..count in field "n".
    std::shared_ptr<Database> NumbersDatabase(int count) {
        auto db = NewDatabase();
        auto table = db->CreateTableDef("N");
        table->Fields().Append(table->CreateField("n", dbLong));
        table->Fields().Append(table->CreateField("label", dbText, 20));
        db->TableDefs().Append(table);
        auto rs = db->OpenRecordset("N");
        for (int n = 1; n <= count; ++n) {
            rs->AddNew();
            rs->Fields().Item("n").SetValue(n);
            rs->Fields().Item("LABEL").SetValue(QString::number(n));
            rs->Update();
        }
        rs->Close();
        db->Execute("CREATE VIEW Evens AS SELECT n FROM N WHERE n % 2 = 0");
        return db;
    }
    static QVariant Current(Recordset& rs) { return rs.Fields().Item(0).Value(); }
};

TEST_F(RecordsetTest, Navigation) {
    auto db = NumbersDatabase(10);
    for (const int type : {int(dbOpenTable), int(dbOpenSnapshot)}) {
        auto rs = db->OpenRecordset("N", type);
        EXPECT_FALSE(rs->Eof());
        EXPECT_EQ(Current(*rs), 1);
        // Moves as the export walks a source: relative steps, jumps, past the end.
        struct Step {
            std::function<void(Recordset&)> move;
            QVariant expected;  // null: past the end
        };
        const Step steps[] = {
            {[](Recordset& r) { r.MoveNext(); }, 2},
            {[](Recordset& r) { r.Move(3); }, 5},
            {[](Recordset& r) { r.Move(-2); }, 3},
            {[](Recordset& r) { r.MoveLast(); }, 10},
            {[](Recordset& r) { r.MoveFirst(); }, 1},
            {[](Recordset& r) { r.Move(100); }, QVariant()},
            {[](Recordset& r) { r.MoveFirst(); }, 1},
            {[](Recordset& r) { r.Move(9); }, 10},
            {[](Recordset& r) { r.MoveNext(); }, QVariant()},
        };
        for (size_t i = 0; i < std::size(steps); ++i) {
            steps[i].move(*rs);
            if (steps[i].expected.isNull()) {
                EXPECT_TRUE(rs->Eof()) << "step " << i;
            } else {
                EXPECT_FALSE(rs->Eof()) << "step " << i;
                EXPECT_EQ(Current(*rs), steps[i].expected) << "step " << i;
            }
        }
        EXPECT_EQ(ErrorNumberOf([&] { rs->MoveNext(); }), ErrNoCurrentRecord);
        EXPECT_EQ(rs->RecordCount(), 10);
    }
}

TEST_F(RecordsetTest, RecordCount) {
    auto db = NumbersDatabase(7);
    auto table = db->OpenRecordset("N", dbOpenTable);
    EXPECT_EQ(table->RecordCount(), 7);  // table type: exact at once
    auto snapshot = db->OpenRecordset("N", dbOpenSnapshot);
    EXPECT_EQ(snapshot->RecordCount(), 1);  // only what has been reached
    snapshot->MoveNext();
    EXPECT_EQ(snapshot->RecordCount(), 2);
    snapshot->MoveLast();
    EXPECT_EQ(snapshot->RecordCount(), 7);
    auto view = db->QueryDefs().Item("Evens").OpenRecordset(dbOpenSnapshot);
    view->MoveLast();
    EXPECT_EQ(view->RecordCount(), 3);
    EXPECT_EQ(Current(*view), 6);
}

TEST_F(RecordsetTest, EmptyRecordsetRefusesMoves) {
    auto db = NumbersDatabase(0);
    for (const QString source : {"N", "Evens"}) {
        auto rs = db->OpenRecordset(source);
        EXPECT_TRUE(rs->Eof());
        EXPECT_TRUE(rs->Bof());
        EXPECT_EQ(rs->RecordCount(), 0);
        const std::function<void()> moves[] = {[&] { rs->MoveLast(); }, [&] { rs->MoveFirst(); },
                                               [&] { rs->MoveNext(); }, [&] { rs->Move(1); }};
        for (const auto& move : moves) EXPECT_EQ(ErrorNumberOf(move), ErrNoCurrentRecord);
        EXPECT_EQ(DBEngine::Instance().Errors().Item(0).Description, "No current record.");
    }
}

TEST_F(RecordsetTest, AddNewAndUpdate) {
    auto db = NumbersDatabase(3);
    auto rs = db->OpenRecordset("N");
    EXPECT_EQ(ErrorNumberOf([&] { rs->Update(); }), ErrUpdateWithoutAddNew);
    EXPECT_EQ(ErrorNumberOf([&] { rs->Fields().Item(0).SetValue(5); }), ErrUpdateWithoutAddNew);
    rs->MoveNext();
    rs->AddNew();
    rs->Fields().Item(0).SetValue("42");  // text converted to the field's type
    EXPECT_EQ(ErrorNumberOf([&] { rs->Fields().Item(0).SetValue("x"); }), ErrConversion);
    EXPECT_EQ(ErrorNumberOf([&] { rs->Fields().Item(1).SetValue(QString(21, 'a')); }),
              ErrFieldTooSmall);
    rs->Update();
    EXPECT_EQ(Current(*rs), 2);  // the record current before AddNew stays current
    EXPECT_EQ(rs->RecordCount(), 4);
    rs->AddNew();
    rs->CancelUpdate();
    rs->MoveLast();
    EXPECT_EQ(Current(*rs), 42);
    EXPECT_EQ(rs->Fields().Item(1).Value(), QVariant());
    auto snapshot = db->OpenRecordset("N", dbOpenSnapshot);
    EXPECT_EQ(ErrorNumberOf([&] { snapshot->AddNew(); }), ErrReadOnly);
    EXPECT_EQ(ErrorNumberOf([&] { db->OpenRecordset("Evens", dbOpenTable); }), ErrInvalidOperation);
    EXPECT_EQ(ErrorNumberOf([&] { db->OpenRecordset("Missing"); }), ErrInputTableNotFound);
}

TEST_F(RecordsetTest, RequiredFieldRefusesNull) {
    auto db = NewDatabase();
    auto table = db->CreateTableDef("R");
    auto field = table->CreateField("must", dbText, 10);
    field->SetRequired(true);
    table->Fields().Append(field);
    db->TableDefs().Append(table);
    auto rs = db->OpenRecordset("R");
    rs->AddNew();
    EXPECT_EQ(ErrorNumberOf([&] { rs->Update(); }), ErrRequiredNull);
    rs->Fields().Item(0).SetValue("ok");
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 1);
}

// Inserted rows survive a close of the database, and a dropped table under an open
// recordset does not break the cursor on another table.
TEST_F(RecordsetTest, WritesAreCommittedAndCursorsSurviveSchemaChanges) {
    {
        auto db = NumbersDatabase(SqliteDatabase::kBatchRows + 10);
        auto rs = db->OpenRecordset("N");
        rs->Move(5);
        db->Execute("CREATE TABLE Other (x INTEGER)");
        db->TableDefs().Delete("Other");
        rs->MoveNext();
        EXPECT_EQ(Current(*rs), 7);
    }
    auto db = Open("test.db");
    auto rs = db->OpenRecordset("N");
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), SqliteDatabase::kBatchRows + 10);
}

TEST_F(RecordsetTest, ClosedObjectsFailCleanly) {
    auto db = NumbersDatabase(2);
    auto rs = db->OpenRecordset("N");
    db->Close();
    EXPECT_EQ(ErrorNumberOf([&] { rs->MoveNext(); }), ErrObjectInvalid);
    EXPECT_EQ(ErrorNumberOf([&] { db->TableDefs(); }), ErrObjectInvalid);
    db->Close();  // twice is harmless
}

}  // namespace
}  // namespace morvane
