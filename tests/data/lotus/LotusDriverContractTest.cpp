// The driver contract for the Lotus WK1 and WK3 drivers. Each database is a file named
// after its table ("Nav.wk1"), since a worksheet's table takes the file's name.
#include "tests/data/DriverContract.h"

#include "export/data/dbengine/DBEngine.h"
#include "export/data/TableDef.h"

#include <QDir>
#include <QTemporaryDir>

namespace morvane::test {
namespace {

template <bool Wk3>
struct LotusHarness {
    static constexpr bool kWritable = true;
    QTemporaryDir dir;
    QString path;
    int made = 0;

    QString Connect() const { return Wk3 ? "Lotus WK3;" : "Lotus WK1;"; }
    std::shared_ptr<Database> CreateWithTable(int rows) {
        const QString folder = dir.filePath(QString::number(++made));
        QDir().mkpath(folder);
        path = folder + (Wk3 ? "/Nav.wk3" : "/Nav.wk1");
        auto db = DBEngine::Instance().OpenDatabase(path, 0, false, Connect());
        auto tableDef = db->CreateTableDef("Nav");
        tableDef->Fields().Append(tableDef->CreateField("Id", dbLong));
        tableDef->Fields().Append(tableDef->CreateField("Name", dbText, 20));
        db->TableDefs().Append(tableDef);
        auto rs = db->OpenRecordset("Nav");
        for (int id = 1; id <= rows; ++id) {
            rs->AddNew();
            rs->Fields().Item(0).SetValue(id);
            rs->Fields().Item(1).SetValue(QStringLiteral("N%1").arg(id));
            rs->Update();
        }
        rs->Close();  // the file is written here
        // The same database: the table keeps the definition it was appended with (the file
        // itself keeps numbers only; opened again, Id reads as a Double).
        return db;
    }
    std::shared_ptr<Database> OpenReadOnly() {
        return DBEngine::Instance().OpenDatabase(path, 0, true, Connect());
    }
};

using LotusWk1Harness = LotusHarness<false>;
using LotusWk3Harness = LotusHarness<true>;
using LotusHarnesses = ::testing::Types<LotusWk1Harness, LotusWk3Harness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Lotus, DriverContract, LotusHarnesses);

}  // namespace
}  // namespace morvane::test
