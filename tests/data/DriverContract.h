// DriverContract: one typed GoogleTest suite that every engine driver passes. A driver's
// test instantiates it with a harness type that knows how to make its databases:
//
//   struct MyHarness {
//       static constexpr bool kWritable = true;   // false for read-only drivers
//       //! A database holding the table "Nav": Id (Long), Name (Text 20) with rows
//       //! (1, "N1") ... (rows, "Nrows").
//       std::shared_ptr<Database> CreateWithTable(int rows);
//       //! The database of the last CreateWithTable, opened read-only.
//       std::shared_ptr<Database> OpenReadOnly();
//   };
//   INSTANTIATE_TYPED_TEST_SUITE_P(My, DriverContract, ::testing::Types<MyHarness>);
//
// A harness whose format reads whole numbers back as another type (spreadsheets: Double)
// says so with `static constexpr short kIdType = dbDouble;` (default dbLong).
//
// The contract: the navigation table, moves on an empty source, AddNew/Update,
// RecordCount after MoveLast, the errors after Close and on a read-only database.
#pragma once

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"

#include <gtest/gtest.h>
#include <functional>
#include <type_traits>

namespace morvane::test {

//! The engine error number `operation` raises, 0 when it raises none.
inline int ErrorOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const EngineError& error) {
        return error.Number();
    }
    return 0;
}

//! The type the harness expects the Id field to read back as (Harness::kIdType or dbLong).
template <typename Harness, typename = void>
struct ContractIdType {
    static constexpr short kValue = dbLong;
};
template <typename Harness>
struct ContractIdType<Harness, std::void_t<decltype(Harness::kIdType)>> {
    static constexpr short kValue = Harness::kIdType;
};

template <typename Harness>
class DriverContract : public ::testing::Test {
  protected:
    Harness harness_;
};

TYPED_TEST_SUITE_P(DriverContract);

TYPED_TEST_P(DriverContract, NavigationTable) {
    auto db = this->harness_.CreateWithTable(5);
    auto rs = db->OpenRecordset(QStringLiteral("Nav"));
    struct Step {
        const char* what;
        std::function<void(Recordset&)> move;
        int id;  //!< Id of the current record; 0: Eof
    };
    const Step steps[] = {
        {"open", [](Recordset&) {}, 1},
        {"MoveNext", [](Recordset& r) { r.MoveNext(); }, 2},
        {"Move 2", [](Recordset& r) { r.Move(2); }, 4},
        {"MoveFirst", [](Recordset& r) { r.MoveFirst(); }, 1},
        {"MoveLast", [](Recordset& r) { r.MoveLast(); }, 5},
        {"Move -3", [](Recordset& r) { r.Move(-3); }, 2},
        {"MoveLast, MoveNext", [](Recordset& r) { r.MoveLast(), r.MoveNext(); }, 0},
        {"MoveFirst, Move 10", [](Recordset& r) { r.MoveFirst(), r.Move(10); }, 0},
    };
    for (const Step& step : steps) {
        step.move(*rs);
        if (step.id == 0) {
            EXPECT_TRUE(rs->Eof()) << step.what;
            continue;
        }
        ASSERT_FALSE(rs->Eof()) << step.what;
        EXPECT_EQ(rs->Fields().Item(QStringLiteral("Id")).Value().toInt(), step.id) << step.what;
        EXPECT_EQ(rs->Fields().Item(1).Value().toString(), QStringLiteral("N%1").arg(step.id))
            << step.what;
    }
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 5);
    EXPECT_EQ(rs->Fields().Count(), 2);
    EXPECT_EQ(rs->Fields().Item(0).Type(), ContractIdType<TypeParam>::kValue);
    EXPECT_EQ(rs->Fields().Item(1).Type(), dbText);
    rs->Close();
    db->Close();
}

TYPED_TEST_P(DriverContract, MovesOnAnEmptySource) {
    auto db = this->harness_.CreateWithTable(0);
    auto rs = db->OpenRecordset(QStringLiteral("Nav"));
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), ErrNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->MoveLast(); }), ErrNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), ErrNoCurrentRecord);
    EXPECT_EQ(rs->RecordCount(), 0);
    db->Close();
}

TYPED_TEST_P(DriverContract, AddNewUpdateAndCountAfterMoveLast) {
    if (!TypeParam::kWritable) GTEST_SKIP() << "read-only driver";
    auto db = this->harness_.CreateWithTable(3);
    {
        auto rs = db->OpenRecordset(QStringLiteral("Nav"));
        rs->AddNew();
        rs->Fields().Item(0).SetValue(QStringLiteral("42"));
        rs->Fields().Item(1).SetValue(QStringLiteral("O'Brien"));
        rs->Update();
        rs->AddNew();
        rs->Fields().Item(0).SetValue(43);
        rs->CancelUpdate();  // never stored
        EXPECT_EQ(ErrorOf([&] { rs->Update(); }), ErrUpdateWithoutAddNew);
        rs->Close();
    }
    auto rs = db->OpenRecordset(QStringLiteral("Nav"));
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(rs->Fields().Item(0).Value().toInt(), 42);
    EXPECT_EQ(rs->Fields().Item(1).Value().toString(), QStringLiteral("O'Brien"));
    db->Close();
}

TYPED_TEST_P(DriverContract, ErrorsAfterClose) {
    auto db = this->harness_.CreateWithTable(2);
    auto rs = db->OpenRecordset(QStringLiteral("Nav"));
    rs->Close();
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), ErrObjectInvalid);
    auto other = db->OpenRecordset(QStringLiteral("Nav"));
    db->Close();
    EXPECT_EQ(ErrorOf([&] { other->MoveFirst(); }), ErrObjectInvalid);
    EXPECT_EQ(ErrorOf([&] { db->TableDefs(); }), ErrObjectInvalid);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset(QStringLiteral("Nav")); }), ErrObjectInvalid);
    EXPECT_EQ(ErrorOf([&] { db->Close(); }), 0) << "closing twice is harmless";
}

TYPED_TEST_P(DriverContract, ReadOnlyDatabaseRefusesWrites) {
    this->harness_.CreateWithTable(2)->Close();
    auto db = this->harness_.OpenReadOnly();
    auto rs = db->OpenRecordset(QStringLiteral("Nav"));
    EXPECT_EQ(ErrorOf([&] { rs->AddNew(); }), ErrReadOnly);
    auto tableDef = db->CreateTableDef(QStringLiteral("More"));
    tableDef->Fields().Append(tableDef->CreateField(QStringLiteral("x"), dbLong));
    EXPECT_EQ(ErrorOf([&] { db->TableDefs().Append(tableDef); }), ErrReadOnly);
    EXPECT_EQ(ErrorOf([&] { db->Execute(QStringLiteral("DELETE FROM Nav")); }), ErrReadOnly);
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 2) << "nothing was written";
    db->Close();
}

REGISTER_TYPED_TEST_SUITE_P(DriverContract, NavigationTable, MovesOnAnEmptySource,
                            AddNewUpdateAndCountAfterMoveLast, ErrorsAfterClose,
                            ReadOnlyDatabaseRefusesWrites);

}  // namespace morvane::test
