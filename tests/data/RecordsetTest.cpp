#include "export/data/sqlite/SqliteDatabase.h"
#include "tests/data/EngineTestSupport.h"

#include <QDateTime>
#include <QTimeZone>

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

// A group of records is stored by one statement: all of them, or none when one fails
// (here a CHECK constraint, as SQLite reports it for the whole statement).
TEST_F(RecordsetTest, AppendedGroupsAreStoredWholeOrNotAtAll) {
    auto db = NewDatabase();
    db->Execute(
        "CREATE TABLE G (n INTEGER CHECK (n <> 13), label VARCHAR(20) NOT NULL, "
        "d DATETIME)");
    auto rs = db->OpenRecordset("G");
    const auto group = [](int first, int count) {
        std::vector<std::vector<QVariant>> records;
        for (int n = first; n < first + count; ++n)
            records.push_back({n, QStringLiteral("L%1").arg(n),
                               QDateTime(QDate(2024, 2, 29), QTime(1, 2), QTimeZone::utc())});
        return records;
    };
    auto failing = group(1, 32);
    EXPECT_EQ(ErrorNumberOf([&] { rs->AppendRecords(failing.data(), failing.size()); }),
              ErrRuleViolation);
    auto noLabel = group(14, 32);
    noLabel[5][1] = QVariant();
    EXPECT_EQ(ErrorNumberOf([&] { rs->AppendRecords(noLabel.data(), noLabel.size()); }),
              ErrRequiredNull);
    EXPECT_EQ(rs->RecordCount(), 0) << "nothing of a failed group";
    auto good = group(14, 32);
    EXPECT_TRUE(rs->AppendRecords(good.data(), good.size()));
    EXPECT_EQ(good[31][0], 45) << "the records keep their values";
    EXPECT_FALSE(rs->AppendRecords(good.data(), 1)) << "a group of one is left to AppendRecord";
    rs->Close();
    auto check = db->OpenRecordset("G");
    EXPECT_EQ(check->Fields().Item(0).Value(), 14);
    check->MoveLast();
    EXPECT_EQ(check->RecordCount(), 32);
    EXPECT_EQ(check->Fields().Item(0).Value(), 45);
    EXPECT_EQ(check->Fields().Item(1).Value(), QStringLiteral("L45"));
    const QDateTime stored = check->Fields().Item(2).Value().toDateTime();
    EXPECT_EQ(stored.date(), QDate(2024, 2, 29)) << "stored by its date and time of day";
    EXPECT_EQ(stored.time(), QTime(1, 2));
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

// Every read of a table, the first one and each re-read after a park or a jump, returns the
// rows in one order whatever plan SQLite picks. reverse_unordered_selects is SQLite's own
// way of making a read without ORDER BY come out in another order.
TEST_F(RecordsetTest, ReReadsKeepTheTableOrderWhateverThePlan) {
    auto db = NumbersDatabase(10);
    db->Execute("CREATE TABLE W (k TEXT PRIMARY KEY, v INTEGER) WITHOUT ROWID");
    db->Execute("INSERT INTO W VALUES ('b', 2), ('a', 1), ('c', 3)");
    db->Execute("CREATE TABLE R (rowid TEXT, v INTEGER)");  // a column hides one rowid alias
    db->Execute("INSERT INTO R VALUES ('z', 1), ('a', 2), ('m', 3)");

    auto numbers = db->OpenRecordset("N");
    numbers->Move(3);
    EXPECT_EQ(Current(*numbers), 4);
    db->Execute("PRAGMA reverse_unordered_selects = 1");  // parks the recordset
    numbers->MoveNext();
    EXPECT_EQ(Current(*numbers), 5) << "a resumed read must go on after the record it left";
    numbers->Move(-2);
    EXPECT_EQ(Current(*numbers), 3);
    numbers->MoveFirst();
    EXPECT_EQ(Current(*numbers), 1);
    numbers->MoveLast();
    EXPECT_EQ(Current(*numbers), 10);

    for (const char* table : {"W", "R"}) {
        auto rs = db->OpenRecordset(table);
        QVariantList seen;
        for (; !rs->Eof(); rs->MoveNext()) seen << rs->Fields().Item("v").Value();
        EXPECT_EQ(seen, (QVariantList{1, 2, 3})) << table;
        rs->MoveLast();
        EXPECT_EQ(rs->Fields().Item("v").Value(), 3) << table;
        rs->Move(-1);  // a re-read at an offset
        EXPECT_EQ(rs->Fields().Item("v").Value(), 2) << table;
    }
}

// Jumps deep into a table start from the last place jumped to (the preview jumps to the same
// record on every refresh), and find the right record again after the table changed, on a
// table whose rowids have gaps.
TEST_F(RecordsetTest, RepeatedJumpsFindTheSameRecordsAsAFreshRead) {
    auto db = NumbersDatabase(200);
    db->Execute("DELETE FROM N WHERE n % 7 = 0");  // gaps in the rowids
    auto rs = db->OpenRecordset("N");
    const auto jump = [&](qint64 to) {
        rs->MoveFirst();
        if (to > 0) rs->Move(to);
        return Current(*rs).toInt();
    };
    const auto expected = [](qint64 position) {  // the position-th number not divisible by 7
        int n = 0;
        for (qint64 seen = -1; seen < position;)
            if (++n % 7 != 0) ++seen;
        return n;
    };
    for (const qint64 to : {150, 150, 160, 120, 150, 0, 170})
        EXPECT_EQ(jump(to), expected(to)) << "to " << to;
    db->Execute("DELETE FROM N WHERE n < 10");  // the positions shift under the anchor
    EXPECT_EQ(jump(150), expected(150 + 8));
    db->Execute("INSERT INTO N (rowid, n) VALUES (-5, -5)");  // a row before all others
    EXPECT_EQ(jump(0), -5);
    EXPECT_EQ(jump(151), expected(150 + 8));
}

// The count MoveLast and RecordCount report follows the table when it shrinks or grows.
TEST_F(RecordsetTest, CountFollowsTheTableAfterItWasTaken) {
    auto db = NumbersDatabase(10);
    auto rs = db->OpenRecordset("N");
    rs->MoveLast();
    EXPECT_EQ(Current(*rs), 10);
    EXPECT_EQ(rs->RecordCount(), 10);
    db->Execute("DELETE FROM N WHERE n > 6");
    EXPECT_EQ(rs->RecordCount(), 6);
    rs->MoveLast();
    EXPECT_EQ(Current(*rs), 6);
    rs->AddNew();
    rs->Fields().Item("n").SetValue(42);
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 7);
    rs->MoveLast();
    EXPECT_EQ(Current(*rs), 42);
    db->Execute("DELETE FROM N");
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(ErrorNumberOf([&] { rs->MoveLast(); }), ErrNoCurrentRecord);
}

// A field's value is the value of the record it was read on, even when it is read after the
// recordset parked, closed or went away; past the end it is Null.
TEST_F(RecordsetTest, FieldValuesOutliveTheCursorRow) {
    auto db = NumbersDatabase(3);
    auto rs = db->OpenRecordset("N");
    rs->MoveNext();
    const std::shared_ptr<Field> n = rs->Fields().Items()[0];
    const std::shared_ptr<Field> label = rs->Fields().Items()[1];
    db->Execute("CREATE TABLE Other (x INTEGER)");  // parks the cursor
    EXPECT_EQ(n->Value(), 2);
    rs->MoveNext();
    EXPECT_EQ(label->Value(), QStringLiteral("3"));
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_TRUE(n->Value().isNull());
    rs->MoveFirst();
    rs.reset();  // the fields are still held here
    EXPECT_EQ(n->Value(), 1);
    EXPECT_EQ(label->Value(), QStringLiteral("1"));

    auto other = db->OpenRecordset("N", dbOpenSnapshot);
    const std::shared_ptr<Field> kept = other->Fields().Items()[0];
    db->Close();
    EXPECT_EQ(kept->Value(), 1);
}

// ReadRaw gives what the field holds; a value the driver cannot give plainly is the field's.
TEST_F(RecordsetTest, RawValuesAgreeWithFieldValues) {
    auto db = NewDatabase();
    db->Execute(
        "CREATE TABLE V (i INTEGER, d DOUBLE, s SINGLE, t VARCHAR(9), b BOOLEAN, "
        "w DATETIME)");
    db->Execute(
        "INSERT INTO V VALUES (7, 2.5, 0.1, 'Zoë', 3, '2024-01-02'), "
        "('x', 4, 1, 5, 0, NULL)");
    auto rs = db->OpenRecordset("V");
    RawValue raw;
    rs->ReadRaw(0, raw);
    ASSERT_EQ(raw.kind, RawValue::Kind::Integer);
    EXPECT_EQ(raw.integer, 7);
    rs->ReadRaw(1, raw);
    ASSERT_EQ(raw.kind, RawValue::Kind::Real);
    EXPECT_EQ(raw.real, 2.5);
    rs->ReadRaw(2, raw);
    ASSERT_EQ(raw.kind, RawValue::Kind::Real);
    EXPECT_EQ(raw.real, static_cast<double>(0.1f));
    rs->ReadRaw(3, raw);
    ASSERT_EQ(raw.kind, RawValue::Kind::Text);
    EXPECT_EQ(QString::fromUtf8(raw.text, raw.size), QStringLiteral("Zoë"));
    rs->ReadRaw(5, raw);
    ASSERT_EQ(raw.kind, RawValue::Kind::Date);
    EXPECT_EQ(raw.date, QDate(2024, 1, 2));
    EXPECT_EQ(rs->Fields().Item(5).Value(), QVariant(QDate(2024, 1, 2)));
    rs->MoveNext();
    rs->ReadRaw(0, raw);  // text in a whole-number column: the field's own value
    ASSERT_EQ(raw.kind, RawValue::Kind::Variant);
    EXPECT_EQ(*raw.variant, QVariant(QStringLiteral("x")));
    rs->ReadRaw(3, raw);  // a number in a text column reads as its text
    ASSERT_EQ(raw.kind, RawValue::Kind::Text);
    EXPECT_EQ(QByteArray(raw.text, raw.size), "5");
    rs->ReadRaw(5, raw);
    EXPECT_EQ(raw.kind, RawValue::Kind::Null);
    EXPECT_EQ(rs->Fields().Item(0).Value(), QVariant(QStringLiteral("x")));
    rs->ReadRaw(0, raw);  // already converted: the field's value
    EXPECT_EQ(raw.kind, RawValue::Kind::Variant);
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
