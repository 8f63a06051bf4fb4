// ReadOnlyDriverContract: the checks every read-only driver passes, on tables that exist
// already (a read-only driver cannot make the contract table of DriverContract.h). A
// driver's test instantiates it with its sources:
//
//   INSTANTIATE_TEST_SUITE_P(My, ReadOnlyDriverContract, ::testing::Values(
//       ReadOnlySource{"name", [] { return Open("fixture.x"); }, "Table1", 2, SkipReason}));
//
// The contract: every record is walked and counted after MoveLast, Move reaches the same
// records as MoveNext, moves on an empty table raise 3021, the errors after Close, and
// every kind of write is refused with 3027.
#pragma once

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/TableDefs.h"
#include "tests/data/EngineTestSupport.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>

namespace morvane::test {

struct ReadOnlySource {
    std::string Name;                                 //!< the case's name in the test list
    std::function<std::shared_ptr<Database>()> Open;  //!< opens the source database
    QString Table;                                    //!< a table of it
    qint64 Count = 0;                                 //!< its exact number of records
    //! Non-empty when the source is not available here (the test is skipped with it).
    std::function<QString()> Missing = [] { return QString(); };
};

inline std::string PrintToString(const ReadOnlySource& source) {
    return source.Name;
}

class ReadOnlyDriverContract : public ::testing::TestWithParam<ReadOnlySource> {
  protected:
    void SetUp() override {
        const QString missing = GetParam().Missing();
        if (!missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
        database_ = GetParam().Open();
    }
    std::shared_ptr<Database> database_;
};

TEST_P(ReadOnlyDriverContract, WalksEveryRecordAndCountsAfterMoveLast) {
    auto rs = database_->OpenRecordset(GetParam().Table, dbOpenTable);
    QVariantList firsts;
    for (; !rs->Eof(); rs->MoveNext()) firsts << rs->Fields().Item(0).Value();
    EXPECT_EQ(firsts.size(), GetParam().Count);
    if (GetParam().Count == 0) {
        EXPECT_EQ(ErrorNumberOf([&] { rs->MoveFirst(); }), ErrNoCurrentRecord);
        EXPECT_EQ(ErrorNumberOf([&] { rs->MoveLast(); }), ErrNoCurrentRecord);
        return;
    }
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), GetParam().Count);
    EXPECT_EQ(rs->Fields().Item(0).Value(), firsts.last());
    // Move reaches the records MoveNext walked, from the first and backwards from the last.
    for (int step = 0; step < firsts.size(); ++step) {
        rs->MoveFirst();
        rs->Move(step);
        ASSERT_FALSE(rs->Eof()) << "Move " << step;
        EXPECT_EQ(rs->Fields().Item(0).Value(), firsts.at(step)) << "Move " << step;
    }
    rs->MoveLast();
    rs->Move(-(firsts.size() - 1));
    EXPECT_EQ(rs->Fields().Item(0).Value(), firsts.first());
    rs->MoveLast();
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
}

TEST_P(ReadOnlyDriverContract, RefusesEveryWrite) {
    auto rs = database_->OpenRecordset(GetParam().Table, dbOpenTable);
    EXPECT_FALSE(rs->Updatable());
    EXPECT_EQ(ErrorNumberOf([&] { rs->AddNew(); }), ErrReadOnly);
    EXPECT_EQ(ErrorNumberOf([&] { database_->Execute("DELETE FROM " + GetParam().Table); }),
              ErrReadOnly);
    auto table = database_->CreateTableDef("Added");
    table->Fields().Append(table->CreateField("A", dbLong));
    EXPECT_EQ(ErrorNumberOf([&] { database_->TableDefs().Append(table); }), ErrReadOnly);
    EXPECT_EQ(ErrorNumberOf([&] { database_->CreateQueryDef("Q", 0, "SELECT 1"); }), ErrReadOnly);
    EXPECT_EQ(ErrorNumberOf([&] { database_->NewPassword("", "x"); }), ErrReadOnly);
    if (GetParam().Count == 0) return;
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), GetParam().Count) << "nothing was written";
}

TEST_P(ReadOnlyDriverContract, FailsAfterClose) {
    auto rs = database_->OpenRecordset(GetParam().Table, dbOpenTable);
    auto closed = database_->OpenRecordset(GetParam().Table, dbOpenTable);
    closed->Close();
    EXPECT_EQ(ErrorNumberOf([&] { closed->MoveNext(); }), ErrObjectInvalid);
    database_->Close();
    EXPECT_EQ(ErrorNumberOf([&] { rs->MoveFirst(); }), ErrObjectInvalid);
    EXPECT_EQ(ErrorNumberOf([&] { database_->TableDefs(); }), ErrObjectInvalid);
    EXPECT_EQ(ErrorNumberOf([&] { database_->OpenRecordset(GetParam().Table); }), ErrObjectInvalid);
    EXPECT_EQ(ErrorNumberOf([&] { database_->Close(); }), 0) << "closing twice is harmless";
}

}  // namespace morvane::test
