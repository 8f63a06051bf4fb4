// The driver contract for the ODBC driver, on a data source of the SQLite ODBC driver
// (the database file is made by the native driver, then reached only through ODBC).
#include "tests/data/DriverContract.h"
#include "tests/odbc/OdbcTestConfig.h"

#include "export/data/TableDef.h"
#include "export/data/dbengine/DBEngine.h"

namespace morvane::test {
namespace {

OdbcTestConfig& Config() {
    static OdbcTestConfig config;
    static const bool applied = (config.ApplyToProcess(), true);
    (void)applied;
    return config;
}

struct OdbcHarness {
    static constexpr bool kWritable = true;
    int made = 0;
    QString path;

    std::shared_ptr<Database> CreateWithTable(int rows) {
        path = Config().Path(QStringLiteral("contract%1.db").arg(++made));
        QFile::remove(path);
        auto native =
            DBEngine::Instance().CreateDatabase(path, QStringLiteral(";LANGID=0x0409"), 32);
        native->Execute(QStringLiteral("CREATE TABLE Nav (Id INTEGER, Name VARCHAR(20))"));
        for (int id = 1; id <= rows; ++id)
            native->Execute(QStringLiteral("INSERT INTO Nav VALUES (%1, 'N%1')").arg(id));
        native->Close();
        Config().WriteUserDsns({{QStringLiteral("contract"), path}});
        return DBEngine::Instance().OpenDatabase(QString(), 0, false,
                                                 QStringLiteral("ODBC;DSN=contract;"));
    }
    std::shared_ptr<Database> OpenReadOnly() {
        return DBEngine::Instance().OpenDatabase(QString(), 0, true,
                                                 QStringLiteral("ODBC;DSN=contract;"));
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Odbc, DriverContract, ::testing::Types<OdbcHarness>);

TEST(OdbcRecordsetTest, AppendOnlyReadsNoRowsAndAdds) {
    OdbcHarness harness;
    auto db = harness.CreateWithTable(3);
    auto rs = db->OpenRecordset(QStringLiteral("Nav"), 0, dbAppendOnly);
    EXPECT_TRUE(rs->Eof());
    rs->AddNew();
    rs->Fields().Item(0).SetValue(9);
    rs->Update();
    rs->Close();
    auto all = db->OpenRecordset(QStringLiteral("Nav"));
    all->MoveLast();
    EXPECT_EQ(all->RecordCount(), 4);
    db->Close();
}

}  // namespace
}  // namespace morvane::test
